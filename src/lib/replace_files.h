// Replacing a set of files all or nothing: the pages of a site are either all
// the new ones or all the old ones, and a page is never seen half written.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

/// One file to write: its name and the bytes it is to hold (not owned).
struct TFileContent {
  std::string FileName;
  const char* Data = nullptr;
  std::size_t Size = 0;
};

/// Writes each file's bytes to a new temporary beside it, and only when all
/// are written whole and flushed renames each over its file, in order. A
/// failure at any step puts back the files already replaced and removes the
/// temporaries, so every file is as it was. Leftovers of an interrupted save
/// in the same folders are removed first. Links at the names are replaced,
/// never followed. Framework operation (unit "File", function
/// "ReplaceFiles"): a failure records "Failed to save.", the file's name, the
/// temporary's name and the system error code. True when all were replaced.
bool ReplaceFiles(const std::vector<TFileContent>& files);

/// Removes the temporaries that an interrupted ReplaceFiles left in FOLDER:
/// only names of its own pattern, never a folder, and none that a running
/// save still holds open.
void RemoveLeftoverTemporaries(const std::string& folder);

/// Whether NAME (without a folder) has the pattern of ReplaceFiles'
/// temporaries. No page name has it: pages end in ".htm".
bool IsTemporaryFileName(const std::string& name);

/// A seam for tests: called before each step of ReplaceFiles ("create",
/// "write", "flush", "backup", "rename") with the index of the file; when it
/// returns true the step fails as if the system had refused it. Null (the
/// default) turns it off.
using TReplaceFault = bool (*)(const char* step, std::size_t index);
void SetReplaceFault(TReplaceFault fault);
