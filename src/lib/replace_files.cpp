// Replacing a set of files all or nothing.
#include "replace_files.h"

#include <cstdint>
#include <set>

#include "error.h"
#include "file.h"
#include "platform/platform.h"

namespace {

constexpr const char* UnitName = "File";
constexpr const char* Prefix = ".~orvanel-";
constexpr const char* Suffix = ".tmp";
constexpr std::size_t HexDigits = 16;

TReplaceFault Fault = nullptr;

bool Injected(const char* step, std::size_t index) {
  if (Fault == nullptr || !Fault(step, index))
    return false;
  plat::SetLastError(plat::ErrorAccessDenied);
  return true;
}

std::string TemporaryName(std::uint64_t number) {
  static const char digits[] = "0123456789abcdef";
  std::string name = Prefix;
  for (int shift = 60; shift >= 0; shift -= 4)
    name += digits[(number >> shift) & 0xF];
  return name + Suffix;
}

// A fresh temporary name in FOLDER, different on every call.
std::string NextTemporary(const std::string& folder) {
  static std::uint32_t counter = 0;
  const std::uint64_t number = (static_cast<std::uint64_t>(plat::ProcessId()) << 32) |
                               ((plat::TickCount() << 12) ^ ++counter);
  return folder + TemporaryName(number);
}

// Creates a new temporary in FOLDER; a name already taken (perhaps by a link
// planted there) is passed over, never opened.
plat::FileHandle CreateTemporary(const std::string& folder, std::string& name) {
  for (int attempt = 0; attempt < 64; ++attempt) {
    name = NextTemporary(folder);
    const plat::FileHandle file = plat::CreateNew(name);
    if (file != plat::InvalidFile)
      return file;
    if (plat::GetEntryKind(name) == plat::EntryKind::None)
      break; // not a clash: the folder refuses
  }
  name.clear();
  return plat::InvalidFile;
}

struct Page {
  const TFileContent* Content = nullptr;
  std::string Temporary;
  plat::FileHandle TemporaryFile = plat::InvalidFile;
  bool Existed = false;
  std::string Backup; // a second name for the old page, to put it back
  plat::FileHandle BackupFile = plat::InvalidFile;
  bool Replaced = false;
};

void Close(plat::FileHandle& file) {
  if (file != plat::InvalidFile)
    plat::CloseFile(file);
  file = plat::InvalidFile;
}

// Keeps the old page under a second name: a hard link where the file system
// has them, else a copy. Where open files hold their names, a second name of
// a page another program holds open could not be removed again: a copy then.
bool MakeBackup(const std::string& folder, Page& page, plat::EntryKind kind) {
  const std::string& name = page.Content->FileName;
  for (int attempt = 0; plat::OpenFilesCanBeRenamed && attempt < 64; ++attempt) {
    page.Backup = NextTemporary(folder);
    if (plat::LinkFile(name, page.Backup)) {
      page.BackupFile = plat::HoldFile(page.Backup);
      return true;
    }
    if (plat::GetEntryKind(page.Backup) == plat::EntryKind::None)
      break;
  }
  page.Backup.clear();
  if (kind != plat::EntryKind::File)
    return false;
  std::string bytes;
  if (!plat::ReadWholeFile(name, bytes))
    return false;
  page.BackupFile = CreateTemporary(folder, page.Backup);
  if (page.BackupFile == plat::InvalidFile) {
    page.Backup.clear();
    return false;
  }
  return plat::WriteFile(page.BackupFile, bytes.data(), bytes.size()) &&
         plat::FlushFile(page.BackupFile);
}

} // namespace

bool IsTemporaryFileName(const std::string& name) {
  const std::string prefix = Prefix;
  const std::string suffix = Suffix;
  if (name.size() != prefix.size() + HexDigits + suffix.size() ||
      name.compare(0, prefix.size(), prefix) != 0 ||
      name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0)
    return false;
  for (std::size_t i = prefix.size(); i < prefix.size() + HexDigits; ++i) {
    const char c = name[i];
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f')))
      return false;
  }
  return true;
}

void RemoveLeftoverTemporaries(const std::string& folder) {
  const std::uint32_t before = plat::GetLastError();
  std::vector<std::string> names;
  if (plat::ListFolder(folder, names)) {
    const std::string prefix = IncludePathDelimiter(folder);
    for (const std::string& name : names)
      if (IsTemporaryFileName(name))
        plat::RemoveIfUnused(prefix + name);
  }
  plat::SetLastError(before);
}

void SetReplaceFault(TReplaceFault fault) {
  Fault = fault;
}

bool ReplaceFiles(const std::vector<TFileContent>& files) {
  StatusFrame frame(UnitName, "ReplaceFiles", __LINE__);
  std::vector<Page> pages(files.size());
  for (std::size_t i = 0; i < files.size(); ++i)
    pages[i].Content = &files[i];
  bool result = false;

  frame.Run(__LINE__, [&] {
    auto fail = [&](int line, const Page& page) {
      frame.Record(fsError, line, "Failed to save.", page.Content->FileName, page.Temporary,
                   plat::GetLastError());
    };

    std::set<std::string> folders;
    for (const TFileContent& file : files)
      folders.insert(FilePathOf(file.FileName));
    for (const std::string& folder : folders)
      RemoveLeftoverTemporaries(folder);

    // Every new page whole on disk before any old one is touched.
    for (std::size_t i = 0; i < pages.size(); ++i) {
      Page& page = pages[i];
      const std::string folder = FilePathOf(page.Content->FileName);
      plat::SetLastError(plat::ErrorSuccess);
      if (Injected("create", i) ||
          (page.TemporaryFile = CreateTemporary(folder, page.Temporary)) == plat::InvalidFile)
        return fail(__LINE__, page);
      if (Injected("write", i) ||
          !plat::WriteFile(page.TemporaryFile, page.Content->Data, page.Content->Size))
        return fail(__LINE__, page);
      if (Injected("flush", i) || !plat::FlushFile(page.TemporaryFile))
        return fail(__LINE__, page);
    }

    // A second name for each old page, so that it can be put back.
    for (std::size_t i = 0; i < pages.size(); ++i) {
      Page& page = pages[i];
      plat::SetLastError(plat::ErrorSuccess);
      if (Injected("backup", i))
        return fail(__LINE__, page);
      const plat::EntryKind kind = plat::GetEntryKind(page.Content->FileName);
      if (kind == plat::EntryKind::None)
        continue;
      page.Existed = true;
      plat::SetLastError(plat::ErrorSuccess);
      if (kind == plat::EntryKind::Folder || kind == plat::EntryKind::Other) {
        // Not a page: a folder or a pipe is never replaced.
        plat::SetLastError(plat::ErrorAccessDenied);
        return fail(__LINE__, page);
      }
      if (!MakeBackup(FilePathOf(page.Content->FileName), page, kind))
        return fail(__LINE__, page);
    }

    for (std::size_t i = 0; i < pages.size(); ++i) {
      Page& page = pages[i];
      if (!plat::OpenFilesCanBeRenamed)
        Close(page.TemporaryFile);
      plat::SetLastError(plat::ErrorSuccess);
      if (Injected("rename", i) || !plat::ReplaceFile(page.Temporary, page.Content->FileName))
        return fail(__LINE__, page);
      page.Replaced = true;
    }
    for (const std::string& folder : folders)
      plat::FlushFolder(folder);
    result = true;
  });

  // Undo or tidy up; the failure recorded above stays the one reported.
  const std::uint32_t code = plat::GetLastError();
  for (Page& page : pages) {
    Close(page.TemporaryFile);
    if (!result && page.Replaced) {
      if (!page.Existed) {
        plat::DeleteFile(page.Content->FileName);
      } else if (!page.Backup.empty()) {
        if (!plat::OpenFilesCanBeRenamed)
          Close(page.BackupFile);
        if (plat::ReplaceFile(page.Backup, page.Content->FileName))
          page.Backup.clear();
      }
    } else if (!page.Replaced && !page.Temporary.empty()) {
      plat::DeleteFile(page.Temporary);
    }
    Close(page.BackupFile);
    if (!page.Backup.empty())
      plat::DeleteFile(page.Backup);
  }
  if (!result)
    plat::SetLastError(code);
  return result;
}
