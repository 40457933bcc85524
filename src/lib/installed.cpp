#include "lib/installed.h"

#include "lib/file.h"
#include "lib/program.h"
#include "platform/platform.h"

#ifndef ORVANEL_DOC_FROM_PROGRAM
#define ORVANEL_DOC_FROM_PROGRAM ""
#endif

std::string FindProgramDocument(const std::string& fileName) {
  const std::uint32_t before = plat::GetLastError();
  const std::string beside = MakeProgramPath(fileName);
  std::string found = beside;
  // Relative to the program, so that an unpacked package finds its own copy.
  const std::string relative = ORVANEL_DOC_FROM_PROGRAM;
  if (!plat::IsReadableFile(beside) && !relative.empty()) {
    const std::string installed = IncludePathDelimiter(MakeProgramPath(relative)) + fileName;
    if (plat::IsReadableFile(installed))
      found = installed;
  }
  // Looking is not a failure of the caller's.
  plat::SetLastError(before);
  return found;
}

std::string MakeUserStatePath(const std::string& fileName) {
  const std::string folder = plat::UserStateFolder();
  return folder.empty() ? folder : folder + fileName;
}

bool CreateFolderOf(const std::string& path) {
  std::string folder = FilePathOf(path);
  while (folder.size() > 1 && plat::IsPathDelimiter(folder.back()))
    folder.pop_back();
  return !folder.empty() && plat::CreateFolders(folder);
}
