// File and shell services: path functions, file sizes, running files.
#include "lib/file.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#if !defined(_WIN32)
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "lib/error.h"
#include "support/test_support.h"

using testing_support::ReadFileBytes;
using testing_support::RecordingDialogs;
using testing_support::RecordingErrorDialog;
using testing_support::TempDir;
using testing_support::WriteFileBytes;

namespace {

[[maybe_unused]] std::string CurrentDirectory() {
  return std::filesystem::current_path().string();
}

class FileTest : public ::testing::Test {
protected:
  void SetUp() override { FunStatContext.Reset(fsPerfect); }
  void TearDown() override { FunStatContext.Reset(fsPerfect); }
};

} // namespace

// --- path functions ------------------------------------------------------------

TEST(PathFunctions, DriveNames) {
  EXPECT_TRUE(IsDriveName("C:"));
  EXPECT_FALSE(IsDriveName("C:\\"));
  EXPECT_FALSE(IsDriveName("C:/"));
  EXPECT_FALSE(IsDriveName(":"));
  EXPECT_FALSE(IsDriveName(""));
  EXPECT_EQ(FilePathOf("C:"), "");
  EXPECT_EQ(FileNameOf("C:"), "C:");
}

#if !defined(_WIN32)
// Paths written with '/' as the delimiter.

TEST(PathFunctions, IncludePathDelimiter) {
  EXPECT_EQ(IncludePathDelimiter(""), "");
  EXPECT_EQ(IncludePathDelimiter("/a/b"), "/a/b/");
  EXPECT_EQ(IncludePathDelimiter("/a/b/"), "/a/b/");
  EXPECT_EQ(IncludePathDelimiter("/"), "/");
}

TEST(PathFunctions, FilePathAndName) {
  EXPECT_EQ(FilePathOf("/tools/x.exe"), "/tools/");
  EXPECT_EQ(FileNameOf("/tools/x.exe"), "x.exe");
  EXPECT_EQ(FilePathOf("x.exe"), "");
  EXPECT_EQ(FileNameOf("x.exe"), "x.exe");
  EXPECT_EQ(FilePathOf("/tools/"), "/tools/");
  EXPECT_EQ(FileNameOf("/tools/"), "");
  EXPECT_EQ(FilePathOf(""), "");
  EXPECT_EQ(FileNameOf(""), "");
}

TEST(PathFunctions, Extensions) {
  EXPECT_EQ(FileExtOf("/a/Manual.txt"), ".txt");
  EXPECT_EQ(FileExtOf("/a/Manual.cnt.htm"), ".htm");
  EXPECT_EQ(FileExtOf("/a.b/Manual"), "");
  EXPECT_EQ(FileExtOf("Manual."), ".");
  EXPECT_EQ(FileExtOf(""), "");
  EXPECT_EQ(RemoveFileExt("/a/Manual.txt"), "/a/Manual");
  EXPECT_EQ(RemoveFileExt("/a.b/Manual"), "/a.b/Manual");
  EXPECT_EQ(RemoveFileExt("x.tar.gz"), "x.tar");
}

TEST(PathFunctions, LongPathNameLeavesPathsUnchanged) {
  EXPECT_EQ(LongPathName("/Some/Path"), "/Some/Path");
  EXPECT_EQ(LongPathName("/PROGRA~1/x"), "/PROGRA~1/x");
  EXPECT_EQ(LongPathName(""), "");
}

TEST(PathFunctions, FullPathNameIsLexical) {
  const std::string cwd = CurrentDirectory();
  EXPECT_EQ(FullPathName(""), "");
  EXPECT_EQ(FullPathName("/a/./b/../c"), "/a/c");
  EXPECT_EQ(FullPathName("/a//b/"), "/a/b/");
  EXPECT_EQ(FullPathName("/.."), "/");
  EXPECT_EQ(FullPathName("/"), "/");
  EXPECT_EQ(FullPathName("x.txt"), cwd + "/x.txt");
  EXPECT_EQ(FullPathName("./dir/../y.txt"), cwd + "/y.txt");
  EXPECT_EQ(FullPathName("."), cwd);
}

TEST(PathFunctions, FullPathNameResolvesNoLinks) {
  TempDir dir;
  std::filesystem::create_directory(dir / "real");
  std::filesystem::create_directory_symlink(dir / "real", dir / "link");
  EXPECT_EQ(FullPathName(dir / "link/../x"), dir / "x");
  EXPECT_EQ(FullPathName(dir / "link/x"), dir / "link/x");
}

#endif // !_WIN32

TEST(PathFunctions, Existence) {
  TempDir dir;
  WriteFileBytes(dir / "f.txt", "x");
  EXPECT_FALSE(PathExists(""));
  EXPECT_TRUE(PathExists(dir / "f.txt"));
  EXPECT_TRUE(PathExists(dir.Path()));
  EXPECT_FALSE(PathExists(dir / "missing"));
  EXPECT_TRUE(DirectoryExists(dir.Path()));
  EXPECT_FALSE(DirectoryExists(dir / "f.txt"));
  EXPECT_FALSE(DirectoryExists(dir / "missing"));
  EXPECT_FALSE(DirectoryExists(""));
}

TEST(PathFunctions, MakeFileSize) {
  EXPECT_EQ(MakeFileSize(0, 1), 4294967296ull);
  EXPECT_EQ(MakeFileSize(5, 0), 5ull);
  EXPECT_EQ(MakeFileSize(0xFFFFFFFFu, 0xFFFFFFFFu), 0xFFFFFFFFFFFFFFFFull);
}

TEST(PathFunctions, ShellParameters) {
  EXPECT_EQ(ShellParameters("", true), "");
  EXPECT_EQ(ShellParameters("", false), "");
  EXPECT_EQ(ShellParameters("a b", true), " \"a b\"");
  EXPECT_EQ(ShellParameters("a b", false), " a b");
}

TEST(FileUnitLoader, UnfilledSlotsStayNull) {
  EXPECT_TRUE(FileUnitLoader.Flag1);
  EXPECT_TRUE(FileUnitLoader.Flag2);
  EXPECT_EQ(FileUnitLoader.EntryPoints[0], nullptr);
  EXPECT_EQ(FileUnitLoader.EntryPoints[1], nullptr);
}

// --- file sizes ------------------------------------------------------------------

TEST_F(FileTest, SizeByName) {
  TempDir dir;
  WriteFileBytes(dir / "five.txt", "12345");
  WriteFileBytes(dir / "empty.txt", "");
  EXPECT_EQ(GetFileSize(dir / "five.txt"), 5u);
  EXPECT_EQ(FunStatContext.Status, fsPerfect);
  EXPECT_EQ(FunStatContext.RaiseFunction, "");
  EXPECT_EQ(GetFileSize(dir / "empty.txt"), 0u);
  EXPECT_EQ(FunStatContext.Status, fsPerfect);
}

#if !defined(_WIN32)
TEST_F(FileTest, SizeOfAnUnreadableFileStillWorks) {
  TempDir dir;
  WriteFileBytes(dir / "secret.txt", "abc");
  ::chmod((dir / "secret.txt").c_str(), 0);
  EXPECT_EQ(GetFileSize(dir / "secret.txt"), 3u);
  EXPECT_EQ(FunStatContext.Status, fsPerfect);
}
#endif

TEST_F(FileTest, SizeOfAMissingFileIsAWarning) {
  TempDir dir;
  const std::string name = dir / "missing.txt";
  EXPECT_EQ(GetFileSize(name), 0u);
  EXPECT_EQ(FunStatContext.Status, fsWarning);
  EXPECT_EQ(FunStatContext.RaiseFile, "File");
  EXPECT_EQ(FunStatContext.RaiseFunction, "GetFileSize");
  EXPECT_EQ(FunStatContext.Description, "Failed to access file.");
  EXPECT_EQ(FunStatContext.Parameter1, name);
  EXPECT_EQ(FunStatContext.Parameter2, "");
  EXPECT_EQ(FunStatContext.SystemErrorCode, 0u);
}

TEST_F(FileTest, SizeOfAFolderIsAWarning) {
  TempDir dir;
  EXPECT_EQ(GetFileSize(dir.Path()), 0u);
  EXPECT_EQ(FunStatContext.Status, fsWarning);
  EXPECT_EQ(FunStatContext.Description, "Failed to access file.");
}

TEST_F(FileTest, SizeByHandle) {
  TempDir dir;
  const plat::FileHandle file = plat::CreateAlways(dir / "h.txt");
  ASSERT_NE(file, plat::InvalidFile);
  ASSERT_TRUE(plat::WriteFile(file, "1234567", 7));
  EXPECT_EQ(GetFileSize(file), 7u);
  EXPECT_EQ(FunStatContext.Status, fsPerfect);
  plat::CloseFile(file);

  EXPECT_EQ(GetFileSize(plat::InvalidFile), 0u);
  EXPECT_EQ(FunStatContext.Status, fsWarning);
  EXPECT_EQ(FunStatContext.RaiseFunction, "GetFileSize");
  EXPECT_EQ(FunStatContext.Description, "Failed to get file size.");
  EXPECT_EQ(FunStatContext.Parameter1, "");
  EXPECT_EQ(FunStatContext.SystemErrorCode, 0u);
}

TEST(PlatformFiles, CreateAndOpenReportExistingFiles) {
  TempDir dir;
  const std::string name = dir / "log.txt";
  plat::SetLastError(0);
  plat::FileHandle file = plat::CreateAlways(name);
  ASSERT_NE(file, plat::InvalidFile);
  EXPECT_EQ(plat::GetLastError(), 0u);
  ASSERT_TRUE(plat::WriteFile(file, "abcdef", 6));
  plat::CloseFile(file);

  plat::SetLastError(0);
  file = plat::OpenAlways(name);
  ASSERT_NE(file, plat::InvalidFile);
  EXPECT_EQ(plat::GetLastError(), plat::ErrorAlreadyExists);
  EXPECT_FALSE(LastCreateFailed());
  ASSERT_TRUE(plat::SeekToEnd(file));
  ASSERT_TRUE(plat::WriteFile(file, "gh", 2));
  plat::CloseFile(file);
  EXPECT_EQ(ReadFileBytes(name), "abcdefgh");

  plat::SetLastError(0);
  file = plat::CreateAlways(name);
  ASSERT_NE(file, plat::InvalidFile);
  EXPECT_EQ(plat::GetLastError(), plat::ErrorAlreadyExists);
  plat::CloseFile(file);
  EXPECT_EQ(ReadFileBytes(name), "");

  file = plat::OpenAlways(name);
  ASSERT_TRUE(plat::WriteFile(file, "xyz", 3));
  ASSERT_TRUE(plat::TruncateToZero(file));
  plat::CloseFile(file);
  EXPECT_EQ(ReadFileBytes(name), "");

  plat::SetLastError(0);
  EXPECT_EQ(plat::CreateAlways(dir / "no-such-folder" + plat::PathDelimiter + "f.txt"),
            plat::InvalidFile);
  EXPECT_TRUE(LastCreateFailed());
  plat::SetLastError(0);
}

TEST(PlatformFiles, ReadAndDelete) {
  TempDir dir;
  std::string bytes;
  WriteFileBytes(dir / "r.bin", std::string("a\0b", 3));
  ASSERT_TRUE(plat::ReadWholeFile(dir / "r.bin", bytes));
  EXPECT_EQ(bytes, std::string("a\0b", 3));
  EXPECT_FALSE(plat::ReadWholeFile(dir / "missing", bytes));
  EXPECT_FALSE(plat::ReadWholeFile(dir.Path(), bytes));
  EXPECT_TRUE(plat::DeleteFile(dir / "r.bin"));
  EXPECT_FALSE(plat::DeleteFile(dir / "r.bin"));
  EXPECT_EQ(plat::GetLastError(), plat::ErrorFileNotFound);
  plat::SetLastError(0);
}

// --- running files -----------------------------------------------------------------

TEST_F(FileTest, RunFileWithAnEmptyNameShowsAMessageAndReportsPerfect) {
  RecordingDialogs boxes;
  RunFile("", "", "", false, false);
  ASSERT_EQ(boxes.Boxes.size(), 1u);
  EXPECT_EQ(boxes.Boxes[0].Caption, "Error");
  EXPECT_EQ(boxes.Boxes[0].Text, "The name of the file is empty.");
  EXPECT_EQ(boxes.Boxes[0].Flags, MB_ICONERROR_FLAG | MB_TASKMODAL_FLAG);
  EXPECT_EQ(FunStatContext.Status, fsPerfect);
  EXPECT_EQ(FunStatContext.RaiseFunction, "");
}

#if !defined(_WIN32)
namespace {

// Puts a fake xdg-open first on PATH that writes its arguments (each followed
// by a NUL byte) and its working folder to a file; restores PATH afterwards.
class RunFileTest : public FileTest {
protected:
  void SetUp() override {
    FileTest::SetUp();
    const char* path = std::getenv("PATH");
    savedPath_ = path ? path : "";
    bin_ = dir_ / "bin";
    std::filesystem::create_directory(bin_);
    output_ = dir_ / "arguments.out";
  }
  void TearDown() override {
    ::setenv("PATH", savedPath_.c_str(), 1);
    FileTest::TearDown();
  }
  void InstallFakeOpener() {
    const std::string script = bin_ + "/xdg-open";
    WriteFileBytes(
        script, "#!/bin/sh\n"
                "out='" +
                    output_ +
                    "'\n"
                    "{ pwd; for a in \"$@\"; do printf '%s\\000' \"$a\"; done; } > \"$out.tmp\"\n"
                    "mv \"$out.tmp\" \"$out\"\n");
    ::chmod(script.c_str(), 0755);
    ::setenv("PATH", (bin_ + ":/usr/bin:/bin").c_str(), 1);
  }
  // Waits for the fake opener's output: working folder, then the arguments.
  std::vector<std::string> Recorded() {
    for (int i = 0; i < 500 && !testing_support::FileExists(output_); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    const std::string bytes = ReadFileBytes(output_);
    std::vector<std::string> result;
    const std::size_t newline = bytes.find('\n');
    result.push_back(bytes.substr(0, newline));
    std::size_t start = newline + 1;
    while (start < bytes.size()) {
      const std::size_t end = bytes.find('\0', start);
      result.push_back(bytes.substr(start, end - start));
      start = end + 1;
    }
    std::filesystem::remove(output_);
    return result;
  }

  TempDir dir_;
  std::string bin_;
  std::string output_;
  std::string savedPath_;
};

using V = std::vector<std::string>;

} // namespace

TEST_F(RunFileTest, MissingOpenerIsAFailure) {
  ::setenv("PATH", bin_.c_str(), 1); // an empty folder: no xdg-open
  RunFile("Index.htm", "", "", false, false);
  EXPECT_EQ(FunStatContext.Status, fsError);
  EXPECT_EQ(FunStatContext.RaiseFile, "File");
  EXPECT_EQ(FunStatContext.RaiseFunction, "RunFile");
  EXPECT_EQ(FunStatContext.Description, "Failed to run file.");
  EXPECT_EQ(FunStatContext.Parameter1, "Index.htm");
  EXPECT_EQ(FunStatContext.SystemErrorCode, plat::ErrorFileNotFound);
}

TEST_F(RunFileTest, NamesArePassedVerbatimAsOneArgument) {
  InstallFakeOpener();
  const std::string tricky = dir_ / "my file; $(touch pwned) \"q\" 'x' `id` &.htm";
  RunFile(tricky, "", "", false, true);
  EXPECT_EQ(FunStatContext.Status, fsPerfect);
  const V recorded = Recorded();
  ASSERT_EQ(recorded.size(), 2u);
  EXPECT_EQ(recorded[1], tricky);
  EXPECT_FALSE(testing_support::FileExists(recorded[0] + "/pwned"));
}

TEST_F(RunFileTest, LeadingDashIsNotAnOption) {
  InstallFakeOpener();
  RunFile("-v.htm", "", dir_.Path(), false, false);
  EXPECT_EQ(FunStatContext.Status, fsPerfect);
  const V recorded = Recorded();
  ASSERT_EQ(recorded.size(), 2u);
  EXPECT_EQ(recorded[1], "./-v.htm");
}

TEST_F(RunFileTest, ParametersQuotedAndUnquoted) {
  InstallFakeOpener();
  RunFile("page.htm", "a b", "", false, true);
  EXPECT_EQ(Recorded(), (V{CurrentDirectory(), "page.htm", "a b"}));
  RunFile("page.htm", "a b", "", true, false);
  EXPECT_EQ(Recorded(), (V{CurrentDirectory(), "page.htm", "a", "b"}));
  RunFile("page.htm", "\"x y\" z", "", false, false);
  EXPECT_EQ(Recorded(), (V{CurrentDirectory(), "page.htm", "x y", "z"}));
}

TEST_F(RunFileTest, RunsInTheGivenFolder) {
  InstallFakeOpener();
  RunFile("Index.htm", "", dir_.Path(), false, false);
  EXPECT_EQ(FunStatContext.Status, fsPerfect);
  const V recorded = Recorded();
  ASSERT_EQ(recorded.size(), 2u);
  EXPECT_EQ(IncludePathDelimiter(recorded[0]),
            IncludePathDelimiter(std::filesystem::canonical(dir_.Path()).string()));

  RunFile("Index.htm", "", dir_ / "missing-folder", false, false);
  EXPECT_EQ(FunStatContext.Status, fsError);
  EXPECT_EQ(FunStatContext.Description, "Failed to run file.");
}

TEST_F(RunFileTest, LeavesNoChildBehind) {
  InstallFakeOpener();
  RunFile("Index.htm", "", "", false, false);
  Recorded();
  // The opener is watched until it ends, and no longer.
  CheckOpeners(true);
  int status = 0;
  errno = 0;
  EXPECT_EQ(::waitpid(-1, &status, WNOHANG), -1);
  EXPECT_EQ(errno, ECHILD);
}

TEST_F(RunFileTest, OpenSiteShowsAFailureAndConsumesIt) {
  RecordingErrorDialog dialog;
  ::setenv("PATH", bin_.c_str(), 1);
  OpenSite("https://www.example.org/", "Failed to open the web page.");
  ASSERT_EQ(dialog.Reports.size(), 1u);
  EXPECT_EQ(dialog.Reports[0].Caption, "Error");
  EXPECT_EQ(dialog.Reports[0].Message, "Failed to open the web page.");
  EXPECT_NE(dialog.Reports[0].Report.find("* Function: \"RunFile\""), std::string::npos);
  EXPECT_NE(dialog.Reports[0].Report.find("* Parameter 1: \"https://www.example.org/\""),
            std::string::npos);
  EXPECT_NE(dialog.Reports[0].Report.find("SHOW CONTEXT\r\n* File: \"File\"\r\n"),
            std::string::npos);
  EXPECT_EQ(FunStatContext.Status, fsPerfect);
}

TEST_F(RunFileTest, OpenSitePassesTheAddress) {
  RecordingErrorDialog dialog;
  InstallFakeOpener();
  OpenSite("https://www.example.org/a?b=1&c=2", "Failed.");
  EXPECT_TRUE(dialog.Reports.empty());
  EXPECT_EQ(FunStatContext.Status, fsPerfect);
  const V recorded = Recorded();
  ASSERT_EQ(recorded.size(), 2u);
  EXPECT_EQ(recorded[1], "https://www.example.org/a?b=1&c=2");
}
// A stand-in opener given through ORVANEL_OPENER: it exits with STATUS, or
// keeps running when STATUS is empty.
class WatchedOpenerTest : public RunFileTest {
protected:
  void TearDown() override {
    ::unsetenv("ORVANEL_OPENER");
    RunFileTest::TearDown();
  }
  void InstallOpener(const std::string& status) {
    const std::string script = bin_ + "/opener";
    WriteFileBytes(script,
                   "#!/bin/sh\n" + (status.empty()
                                        ? std::string("exec sleep 5 </dev/null >/dev/null 2>&1\n")
                                        : "exit " + status + "\n"));
    ::chmod(script.c_str(), 0755);
    ::setenv("ORVANEL_OPENER", script.c_str(), 1);
  }
};

TEST_F(WatchedOpenerTest, RunExistingFileRefusesWhatIsNotAReadableFile) {
  InstallFakeOpener(); // would record a start
  for (const std::string& name : {dir_ / "missing.htm", dir_.Path()}) {
    SCOPED_TRACE(name);
    RunExistingFile(name);
    EXPECT_EQ(FunStatContext.Status, fsError);
    EXPECT_EQ(FunStatContext.Description, "Failed to run file.");
    EXPECT_EQ(FunStatContext.Parameter1, name);
    EXPECT_NE(FunStatContext.SystemErrorCode, 0u);
  }
  EXPECT_FALSE(testing_support::FileExists(output_));

  const std::string page = dir_ / "Index.htm";
  WriteFileBytes(page, "<HTML></HTML>");
  RunExistingFile(page);
  EXPECT_EQ(FunStatContext.Status, fsPerfect);
  EXPECT_EQ(Recorded(), (V{CurrentDirectory(), page}));
  CheckOpeners(true);
}

TEST_F(WatchedOpenerTest, AFailureTheOpenerReportsLaterIsShownWithTheCallersMessage) {
  RecordingErrorDialog dialog;
  const std::pair<const char*, const char*> cases[] = {
      {"3", "No program is registered to open it."}, {"4", "The program failed to open it."}};
  for (const auto& [status, reason] : cases) {
    SCOPED_TRACE(status);
    dialog.Reports.clear();
    InstallOpener(status);
    OpenSite("https://www.example.org/", "Failed to open site.");
    EXPECT_EQ(FunStatContext.Status, fsPerfect);
    // What the caller had learnt last is left for it.
    FunStatContext.Reset(fsWarning);
    CheckOpeners(true);
    EXPECT_EQ(FunStatContext.Status, fsWarning);
    ASSERT_EQ(dialog.Reports.size(), 1u);
    EXPECT_EQ(dialog.Reports[0].Message, "Failed to open site.");
    EXPECT_NE(dialog.Reports[0].Report.find("* Description: \"Failed to run file.\""),
              std::string::npos);
    EXPECT_NE(dialog.Reports[0].Report.find("* Parameter 1: \"https://www.example.org/\""),
              std::string::npos);
    EXPECT_NE(dialog.Reports[0].Report.find(reason), std::string::npos);
    // Shown once: the watch has ended.
    CheckOpeners(true);
    EXPECT_EQ(dialog.Reports.size(), 1u);
  }

  dialog.Reports.clear();
  InstallOpener("4");
  RunFile("Help.txt", "", "", false, false);
  CheckOpeners(true);
  ASSERT_EQ(dialog.Reports.size(), 1u);
  EXPECT_EQ(dialog.Reports[0].Message, "Failed to run file.");
}

TEST_F(WatchedOpenerTest, AnOpenerStillRunningWhenTheWatchEndsIsASuccess) {
  RecordingErrorDialog dialog;
  InstallOpener("");
  RunFile("page.htm", "", "", false, false);
  EXPECT_EQ(FunStatContext.Status, fsPerfect);
  CheckOpeners(false); // asked at once, it is still watched
  CheckOpeners(true);
  EXPECT_TRUE(dialog.Reports.empty());
  int status = 0;
  EXPECT_EQ(::waitpid(-1, &status, WNOHANG), -1); // the watcher is gone
}

#endif // !_WIN32
