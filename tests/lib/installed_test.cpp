// An installed copy's own files: the user guide beside the program or in the
// installed documentation folder, and the user's state folder for the log.
#include "lib/installed.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>

#include "lib/file.h"
#include "lib/program.h"
#include "platform/platform.h"
#include "support/test_support.h"

using testing_support::FileExists;
using testing_support::TempDir;
using testing_support::WriteFileBytes;

namespace {

// Sets an environment variable for one test, and puts it back.
class ScopedEnv {
public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name))
      old_ = old;
    Set(value);
  }
  ~ScopedEnv() { Set(old_ ? old_->c_str() : nullptr); }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
  void Set(const char* value) {
#ifdef _WIN32
    _putenv_s(name_, value ? value : "");
#else
    if (value)
      ::setenv(name_, value, 1);
    else
      ::unsetenv(name_);
#endif
  }
  const char* name_;
  std::optional<std::string> old_;
};

std::string UniqueName() {
  return "orvanel-guide-" + std::to_string(plat::ProcessId()) + ".txt";
}

} // namespace

TEST(FindProgramDocument, PrefersTheCopyBesideTheProgramThenTheInstalledOne) {
  const std::string name = UniqueName();
  const std::string beside = MakeProgramPath(name);
  const std::string relative = ORVANEL_DOC_FROM_PROGRAM;

  // Nowhere: the name beside the program, so that opening it fails there.
  EXPECT_EQ(FindProgramDocument(name), beside);

  std::filesystem::path installedFolder;
  if (!relative.empty() && relative != ".") {
    installedFolder = std::filesystem::path(GetProgramPath()) / relative;
    std::filesystem::create_directories(installedFolder);
    WriteFileBytes((installedFolder / name).string(), "installed");
    const std::string found = FindProgramDocument(name);
    EXPECT_EQ(found, IncludePathDelimiter(MakeProgramPath(relative)) + name);
    EXPECT_TRUE(FileExists(found));
  }

  WriteFileBytes(beside, "beside");
  EXPECT_EQ(FindProgramDocument(name), beside);

  std::filesystem::remove(beside);
  if (!installedFolder.empty())
    std::filesystem::remove(installedFolder / name);
}

TEST(FindProgramDocument, LeavesTheLastErrorAlone) {
  plat::SetLastError(plat::ErrorSuccess);
  FindProgramDocument(UniqueName());
  EXPECT_EQ(plat::GetLastError(), plat::ErrorSuccess);
}

#ifdef _WIN32
TEST(UserState, IsTheProgramsFolderInLocalAppData) {
  ScopedEnv local("LOCALAPPDATA", "C:\\Users\\Ann\\AppData\\Local");
  EXPECT_EQ(MakeUserStatePath("Errors.log"), "C:\\Users\\Ann\\AppData\\Local\\Orvanel\\Errors.log");
  ScopedEnv none("LOCALAPPDATA", nullptr);
  EXPECT_EQ(MakeUserStatePath("Errors.log"), "");
}
#else
TEST(UserState, FollowsXdgStateHomeElseTheHomeFolder) {
  ScopedEnv home("HOME", "/home/ann");
  {
    ScopedEnv state("XDG_STATE_HOME", "/var/state/ann/");
    EXPECT_EQ(MakeUserStatePath("Errors.log"), "/var/state/ann/orvanel/Errors.log");
  }
  {
    ScopedEnv state("XDG_STATE_HOME", nullptr);
    EXPECT_EQ(MakeUserStatePath("Errors.log"), "/home/ann/.local/state/orvanel/Errors.log");
  }
  {
    // A relative value is not a base directory and is ignored.
    ScopedEnv state("XDG_STATE_HOME", "state");
    EXPECT_EQ(MakeUserStatePath("Errors.log"), "/home/ann/.local/state/orvanel/Errors.log");
  }
  ScopedEnv state("XDG_STATE_HOME", nullptr);
  ScopedEnv noHome("HOME", nullptr);
  EXPECT_EQ(MakeUserStatePath("Errors.log"), "");
}
#endif

TEST(CreateFolderOf, MakesTheMissingFoldersButNotThroughAFile) {
  TempDir dir;
  const std::string log = dir / "a/b/c/Errors.log";
  EXPECT_TRUE(CreateFolderOf(log));
  EXPECT_TRUE(plat::DirectoryExists(dir / "a/b/c"));
  EXPECT_FALSE(FileExists(log)) << "only the folders";
  EXPECT_TRUE(CreateFolderOf(log)) << "existing folders are fine";

  WriteFileBytes(dir / "file", "x");
  EXPECT_FALSE(CreateFolderOf(dir / "file/sub/Errors.log"));
}
