// File and shell services.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/platform.h"

// Framework operations: they report through FunStatContext.
std::uint64_t GetFileSize(plat::FileHandle file);
std::uint64_t GetFileSize(const std::string& fileName);
void RunFile(const std::string& fileName, const std::string& parameters,
             const std::string& directory, bool minimized, bool quoteParameters);
void OpenSite(const std::string& address, const std::string& failureMessage);
/// RunFile for a file that has to be there: a name that is not a readable
/// regular file fails as RunFile's own "Failed to run file." before any
/// program is started.
void RunExistingFile(const std::string& fileName);
/// Asks the openers that RunFile and OpenSite started, and still watch, how
/// they ended. Each that failed (no program for the file, or the program
/// failed) is shown with the failure message of its caller: "Failed to run
/// file." or the one given to OpenSite. WAIT blocks until every watch has
/// ended, a few seconds at most. FunStatContext is left as it was.
void CheckOpeners(bool wait);

/// Writes SIZE bytes from DATA to FILE_NAME (created or replaced) in one
/// write; true when the whole content was written. A file cut short is removed.
bool SaveFile(const void* data, std::size_t size, const std::string& fileName);

/// The whole file; throws TOrvanelError naming it when it cannot be read.
std::string LoadFileBytes(const std::string& fileName);
/// Removes the file if it is there; a failure is not reported.
void DeleteFileQuietly(const std::string& fileName);

/// The parameters as RunFile hands them to the shell: empty when there are
/// none, else a blank and the text, in double quotes when QUOTE is true.
std::string ShellParameters(const std::string& parameters, bool quoteParameters);

// Plain functions.
std::string IncludePathDelimiter(const std::string& path);
bool IsDriveName(const std::string& path);
std::string FilePathOf(const std::string& path);
std::string FileNameOf(const std::string& path);
/// The file name's extension with its dot ("" when none).
std::string FileExtOf(const std::string& path);
/// PATH with its last extension removed.
std::string RemoveFileExt(const std::string& path);
std::string LongPathName(const std::string& path);
std::string FullPathName(const std::string& path);
bool PathExists(const std::string& path);
bool DirectoryExists(const std::string& path);
std::uint64_t MakeFileSize(std::uint32_t low, std::uint32_t high);
bool IsWindows2000OrLater();

/// Looks up optional system entry points at start-up; nothing calls them.
class TFileUnitLoader {
public:
  TFileUnitLoader();
  ~TFileUnitLoader();
  TFileUnitLoader(const TFileUnitLoader&) = delete;
  TFileUnitLoader& operator=(const TFileUnitLoader&) = delete;

  plat::ModuleHandle KernelModule;
  plat::ModuleHandle AdvapiModule;
  bool Flag1;
  bool Flag2;
  void* EntryPoints[6];
};
extern TFileUnitLoader FileUnitLoader;
