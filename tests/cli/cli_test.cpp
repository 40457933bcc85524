// orvanel-convert run as a process: its arguments, standard output (the log),
// standard error (messages and reports) and exit status.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "run_converter.h"
#include "support/test_support.h"

using namespace cli_testing;
using namespace testing_support;

namespace {

class CliTest : public ::testing::Test {
protected:
  void SetUp() override {
    src = dir / "src/";
    dest = dir / "out/";
    MakeDirectory(src);
    MakeDirectory(dest);
    WriteDefaultTemplates(src);
    WriteFileBytes(src + "Guide.txt", "~S=Intro|intro\r\n~WARNP=Mind the gap\r\n"
                                      "~PO_UseTableElem=false\r\n~NOTES=Plain\r\n");
  }
  std::string Args(const std::string& options = "") const {
    return options + " " + Quote(src + "Guide.txt") + " " + Quote(dest.substr(0, dest.size() - 1));
  }

  TempDir dir;
  std::string src;
  std::string dest;
};

TEST_F(CliTest, ConvertsAProjectAndPrintsTheWindowsLog) {
  const RunResult run = RunConverter(dir, Args());
  EXPECT_EQ(run.Status, 0) << run.Err;
  EXPECT_EQ(run.Err, "");
  const std::string expectedStart =
      "* Source file: \"" + src + "Guide.txt\".\n" + "* Source file size is 75 characters.\n" +
      "* Destination directory: \"" + dest.substr(0, dest.size() - 1) + "\".\n\n" +
      "* Pre-processing...\n* There are 1 glossary items.\n";
  EXPECT_EQ(run.Out.substr(0, expectedStart.size()), expectedStart);
  EXPECT_NE(run.Out.find("* File has been processed.\n* There are 1 headers.\n"),
            std::string::npos);
  for (const char* suffix : {".cnt.htm", ".toc.htm", ".tocbtn.htm", ".gls.htm"})
    EXPECT_TRUE(FileExists(dest + "Guide" + suffix)) << suffix;
  const std::string content = ReadFileBytes(dest + "Guide.cnt.htm");
  // Tables until the project option switches them off.
  EXPECT_NE(content.find("<TD CLASS=\"WarnCell\">"), std::string::npos);
  EXPECT_NE(content.find("</TABLE><BR><P STYLE=\"MARGIN-BOTTOM: 0\">Plain</P><BR>"),
            std::string::npos);
}

TEST_F(CliTest, OptionFlagsStandForTheCheckBoxes) {
  const RunResult run = RunConverter(dir, Args("--fast --no-table-elements --no-section-separators "
                                               "--make-code-pretty --quiet"));
  EXPECT_EQ(run.Status, 0) << run.Err;
  EXPECT_EQ(run.Out, "");
  const std::string content = ReadFileBytes(dest + "Guide.cnt.htm");
  EXPECT_EQ(content.find("<TABLE"), std::string::npos);
  EXPECT_EQ(content.find("<HR>"), std::string::npos);
  EXPECT_NE(content.find("</P><BR>\r\n\r\n"), std::string::npos);

  // Ignoring the project options keeps the tables the flags asked for.
  const RunResult second = RunConverter(dir, Args("--ignore-project-options --quiet"));
  EXPECT_EQ(second.Status, 0);
  const std::string tables = ReadFileBytes(dest + "Guide.cnt.htm");
  EXPECT_NE(tables.find("<TD CLASS=\"WarnCell\"><P STYLE=\"MARGIN-BOTTOM: 0\">Plain"),
            std::string::npos);
}

TEST_F(CliTest, UsageErrorsExitWithTwo) {
  const RunResult none = RunConverter(dir, "");
  EXPECT_EQ(none.Status, 2);
  EXPECT_EQ(none.Out, "* Warning: there is no source file or destination directory.\n");
  EXPECT_NE(none.Err.find("Usage: orvanel-convert [OPTIONS] SOURCE DESTINATION"),
            std::string::npos);

  EXPECT_EQ(RunConverter(dir, Args() + " extra").Status, 2);
  EXPECT_EQ(RunConverter(dir, Args("--bogus")).Status, 2);
  EXPECT_EQ(RunConverter(dir, Args("--fast --full")).Status, 2);
  EXPECT_FALSE(FileExists(dest + "Guide.cnt.htm"));
}

TEST_F(CliTest, HelpAndVersion) {
  const RunResult help = RunConverter(dir, "--help");
  EXPECT_EQ(help.Status, 0);
  EXPECT_NE(help.Out.find("--ignore-project-options"), std::string::npos);
  const RunResult version = RunConverter(dir, "--version");
  EXPECT_EQ(version.Status, 0);
  EXPECT_NE(version.Out.find("orvanel-convert 1.0.1"), std::string::npos);
}

TEST_F(CliTest, RefusedInputsExitWithOneAndSayWhy) {
  const RunResult missing = RunConverter(dir, Quote(src + "None.txt") + " " + Quote(dest));
  EXPECT_EQ(missing.Status, 1);
  EXPECT_EQ(missing.Err, "Error: Invalid source file or destination directory.\n");

  WriteFileBytes(src + "Guide.htm", "x");
  const RunResult extension = RunConverter(dir, Quote(src + "Guide.htm") + " " + Quote(dest));
  EXPECT_EQ(extension.Status, 1);
  EXPECT_EQ(extension.Err, "Error: Invalid source file extension.\n");
  // Only the argument lines: the conversion logged nothing.
  EXPECT_EQ(extension.Out.find("Pre-processing"), std::string::npos);

  const RunResult same = RunConverter(dir, Quote(src + "Guide.txt") + " " + Quote(src));
  EXPECT_EQ(same.Status, 1);
  EXPECT_NE(same.Err.find("Source and destination directories are the same."), std::string::npos);
}

TEST_F(CliTest, MissingTemplateReportsTheFailureWhole) {
  std::filesystem::remove(src + "BeforeSection.htm");
  const RunResult run = RunConverter(dir, Args());
  EXPECT_EQ(run.Status, 1);
  EXPECT_NE(run.Err.find("Failed to process file."), std::string::npos);
  EXPECT_NE(run.Err.find("RAISE CONTEXT"), std::string::npos);
  EXPECT_NE(run.Err.find("* Function: \"TMainForm::Process\""), std::string::npos);
  EXPECT_FALSE(FileExists(dest + "Guide.cnt.htm"));
  // The summary still follows.
  EXPECT_NE(run.Out.find("* There are 0 headers."), std::string::npos);
}

TEST_F(CliTest, OpenWithoutAnOpenerStillCountsTheFilesAsWritten) {
  WriteFileBytes(dest + "Index.htm", "<HTML></HTML>");
  const RunResult run = RunConverter(dir, Args("--open"), "PATH=/nonexistent");
  EXPECT_EQ(run.Status, 0);
  EXPECT_TRUE(FileExists(dest + "Guide.gls.htm"));
  EXPECT_NE(run.Err.find("Failed to run file."), std::string::npos);
  EXPECT_NE(run.Out.find("* File has been processed."), std::string::npos);
  // As in the window, the summary is not written after a failed open.
  EXPECT_EQ(run.Out.find("* There are 1 headers."), std::string::npos);
}

// --open with a stand-in opener that records its start and then exits with
// STATUS, or keeps running when STATUS is empty.
class CliOpenTest : public CliTest {
protected:
  RunResult ConvertAndOpen(const std::string& status) {
    const std::string opener = dir / "opener";
    WriteFileBytes(opener, "#!/bin/sh\nprintf '%s' \"$1\" > " + Quote(dir / "opened") + "\n" +
                               (status.empty() ? "exec sleep 5 </dev/null >/dev/null 2>&1\n"
                                               : "exit " + status + "\n"));
    std::filesystem::permissions(opener, std::filesystem::perms::owner_all);
    return RunConverter(dir, Args("--open"), "ORVANEL_OPENER=" + Quote(opener));
  }
  bool Opened() const { return FileExists(dir / "opened"); }
};

TEST_F(CliOpenTest, AMissingOrUnreadableFramePageIsNotHandedOver) {
  RunResult run = ConvertAndOpen("0");
  EXPECT_EQ(run.Status, 0);
  EXPECT_EQ(run.Err, "Error: Failed to run file. \"" + dest + "Index.htm\"\n");
  EXPECT_NE(run.Out.find("* File has been processed."), std::string::npos);
  EXPECT_FALSE(Opened());

  MakeDirectory(dest + "Index.htm");
  run = ConvertAndOpen("0");
  EXPECT_EQ(run.Status, 0);
  EXPECT_EQ(run.Err, "Error: Failed to run file. \"" + dest + "Index.htm\"\n");
  EXPECT_FALSE(Opened());
}

TEST_F(CliOpenTest, TheOpenersFailureIsReportedAndThePagesStayWritten) {
  WriteFileBytes(dest + "Index.htm", "<HTML></HTML>");
  const std::pair<const char*, const char*> cases[] = {
      {"3", "No program is registered to open it."},
      {"4", "The program failed to open it."},
      {"1", "The opener ended with status 1."}};
  for (const auto& [status, reason] : cases) {
    SCOPED_TRACE(status);
    const RunResult run = ConvertAndOpen(status);
    EXPECT_EQ(run.Status, 0);
    EXPECT_EQ(ReadFileBytes(dir / "opened"), dest + "Index.htm");
    EXPECT_EQ(run.Err.rfind("Error: Failed to run file.\n", 0), 0u) << run.Err;
    EXPECT_NE(run.Err.find("* Parameter 1: \"" + dest + "Index.htm\""), std::string::npos);
    EXPECT_NE(run.Err.find(reason), std::string::npos) << run.Err;
    // The failure came after the pages were written: the summary is there.
    EXPECT_NE(run.Out.find("* File has been processed.\n* There are 1 headers."),
              std::string::npos);
    std::filesystem::remove(dir / "opened");
  }
}

TEST_F(CliOpenTest, AnOpenerThatSucceedsOrKeepsRunningIsASuccess) {
  WriteFileBytes(dest + "Index.htm", "<HTML></HTML>");
  for (const char* status : {"0", ""}) {
    SCOPED_TRACE(status);
    const RunResult run = ConvertAndOpen(status);
    EXPECT_EQ(run.Status, 0);
    EXPECT_EQ(run.Err, "");
    EXPECT_TRUE(Opened());
    std::filesystem::remove(dir / "opened");
  }
}

} // namespace
