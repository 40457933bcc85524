// The conversion driver: input checks, output names, templates, saving, the
// summary and the failure table, driven end to end through TConverter.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/converter.h"
#include "lib/error.h"
#include "lib/file.h"
#include "lib/text.h"
#include "support/test_support.h"

using namespace testing_support;

namespace {

// A project: templates and a source in src/, an empty destination out/.
class DriverTest : public ::testing::Test {
protected:
  void SetUp() override {
    // The system's own delimiter, as the front ends' absolute paths have it.
    src = IncludePathDelimiter(dir / "src");
    out = IncludePathDelimiter(dir / "out");
    MakeDirectory(src);
    MakeDirectory(out);
    WriteDefaultTemplates(src);
  }

  // The two paths as the front ends hand them over; their log lines dropped.
  void Take(const std::string& source, const std::string& destination) {
    converter.TakeArguments(2, source, destination);
    host.Log.clear();
    host.LogSourceLines.clear();
  }

  ConversionResult Convert(const std::string& sourceName, const std::string& source,
                           bool fast = false) {
    WriteFileBytes(src + sourceName, source);
    Take(src + sourceName, out);
    host.Fast = fast;
    result = converter.Process(host.Options());
    return result;
  }

  std::vector<std::string> LogWithoutTime() const {
    std::vector<std::string> log;
    for (const auto& line : host.Log)
      if (line.rfind("* Time: ", 0) != 0)
        log.push_back(line);
    return log;
  }

  TempDir dir;
  std::string src;
  std::string out;
  RecordingHost host;
  RecordingDialogs dialogs;
  RecordingErrorDialog errorDialog;
  TConverter converter{host};
  ConversionResult result;
};

TEST_F(DriverTest, ConvertsTemplatesAndSourceIntoFourFiles) {
  Convert("Guide.txt", "Hello\r\n");

  EXPECT_TRUE(result.FilesSaved);
  EXPECT_EQ(result.Failure, ConversionFailure::None);
  EXPECT_EQ(ReadFileBytes(out + "Guide.cnt.htm"), "<!--content-->\r\n<P>Hello</P>");
  EXPECT_EQ(ReadFileBytes(out + "Guide.toc.htm"), "<!--toc-->\r\n");
  EXPECT_EQ(ReadFileBytes(out + "Guide.tocbtn.htm"), "<!--buttons-->\r\n");
  EXPECT_EQ(ReadFileBytes(out + "Guide.gls.htm"), "<!--glossary-->\r\n");
  EXPECT_EQ(result.FilesWritten,
            (std::vector<std::string>{out + "Guide.cnt.htm", out + "Guide.toc.htm",
                                      out + "Guide.tocbtn.htm", out + "Guide.gls.htm"}));
  EXPECT_EQ(result.LineCount, 1);
  EXPECT_TRUE(dialogs.Boxes.empty());
  EXPECT_TRUE(errorDialog.Reports.empty());

  const std::vector<std::string> expected = {
      "* Pre-processing...",
      "* There are 0 glossary items.",
      "* Common glossary expressions are gathered.",
      "* Glossary created.",
      "* Processing content...",
      "* File has been processed.",
      "* There are 0 headers.",
      "* There are 0 links in the content (to glossary items).",
      "* There are 0 hidden glossary items."};
  EXPECT_EQ(LogWithoutTime(), expected);
  ASSERT_FALSE(host.Log.empty());
  EXPECT_EQ(host.Log.back(), "* Time: 00:00:00");
  EXPECT_EQ(FunStatContext.Status, fsPerfect);
}

TEST_F(DriverTest, WarningsNameTheSourceLineTheyAreAbout) {
  Convert("Guide.txt", "~GS=oak\r\nText.\r\n~GS=Oak\r\n\r\nSee [zz].\r\n~XY\r\n");
  ASSERT_EQ(host.Log.size(), host.LogSourceLines.size());
  std::vector<std::pair<std::string, int>> about; // the lines that name a source line
  for (std::size_t i = 0; i < host.Log.size(); ++i) {
    if (host.LogSourceLines[i] != 0)
      about.emplace_back(host.Log[i], host.LogSourceLines[i]);
    else
      EXPECT_NE(host.Log[i].rfind("* Warning: ", 0), 0u) << host.Log[i];
  }
  const std::vector<std::pair<std::string, int>> expected = {
      {"* Warning: duplicate glossary item \"~GS=Oak\". Can't add item.", 3},
      {"* Warning: unknown inline command \"zz\".", 5},
      {"* Warning: unknown paragraph command \"~XY\".", 6}};
  EXPECT_EQ(about, expected);
  // The progress and summary lines are about no line.
  ASSERT_FALSE(host.Log.empty());
  EXPECT_EQ(host.Log[0], "* Pre-processing...");
  EXPECT_EQ(host.LogSourceLines[0], 0);
  EXPECT_EQ(host.LogSourceLines.back(), 0);
}

TEST_F(DriverTest, TemplatesAreReJoinedWithCrLfAfterEveryLine) {
  WriteFileBytes(src + "BeforeContent.htm", "<HTML>\n<BODY>\rlast");
  WriteFileBytes(src + "BeforeGlossary.htm", "");
  Convert("Guide.txt", "");
  EXPECT_EQ(ReadFileBytes(out + "Guide.cnt.htm"), "<HTML>\r\n<BODY>\r\nlast\r\n");
  EXPECT_EQ(ReadFileBytes(out + "Guide.gls.htm"), "");
}

TEST_F(DriverTest, SourceLineEndsAndNulByte) {
  Convert("Guide.txt", std::string("a\rb\nc\r\nd\0e\r\nf", 13));
  EXPECT_EQ(ReadFileBytes(out + "Guide.cnt.htm"),
            "<!--content-->\r\n<P>a</P><P>b</P><P>c</P><P>d</P>");
}

TEST_F(DriverTest, OnlyTheLastExtensionIsRemovedAndCapitalTxtIsAccepted) {
  Convert("Guide.old.TXT", "x\r\n");
  EXPECT_TRUE(result.FilesSaved);
  for (const char* suffix : {".cnt.htm", ".toc.htm", ".tocbtn.htm", ".gls.htm"})
    EXPECT_TRUE(FileExists(out + "Guide.old" + suffix)) << suffix;
}

TEST_F(DriverTest, WrongExtensionsAreRefusedSilently) {
  for (const char* name : {"Guide.text", "Guide.htm", "Guide"}) {
    dialogs.Boxes.clear();
    host.Log.clear();
    Convert(name, "x\r\n");
    ASSERT_EQ(dialogs.Boxes.size(), 1u) << name;
    EXPECT_EQ(dialogs.Boxes[0].Caption, "Error");
    EXPECT_EQ(dialogs.Boxes[0].Text, "Invalid source file extension.");
    EXPECT_TRUE(host.Log.empty()) << name;
    EXPECT_FALSE(result.FilesSaved);
    EXPECT_EQ(result.Failure, ConversionFailure::Refused);
  }
  EXPECT_FALSE(FileExists(out + "Guide.cnt.htm"));
}

TEST_F(DriverTest, SizeLimitIsTenMillionBytes) {
  Convert("Big.txt", std::string(10000001, 'a'));
  ASSERT_EQ(dialogs.Boxes.size(), 1u);
  EXPECT_EQ(dialogs.Boxes[0].Text, "Source file too big.");
  EXPECT_FALSE(FileExists(out + "Big.cnt.htm"));

  dialogs.Boxes.clear();
  Convert("Exact.txt", std::string(10000000, 'a'));
  EXPECT_TRUE(dialogs.Boxes.empty());
  EXPECT_TRUE(result.FilesSaved);
  EXPECT_EQ(std::filesystem::file_size(out + "Exact.cnt.htm"),
            std::string("<!--content-->\r\n<P></P>").size() + 10000000);
}

TEST_F(DriverTest, SameSourceAndDestinationDirectoryIsRefusedBeforeAnythingIsTouched) {
  WriteFileBytes(src + "Guide.cnt.htm", "old");
  WriteFileBytes(src + "Guide.txt", "x\r\n");
  // Letter case is ignored, as the paths may come from a case-blind system.
  const std::string parent = dir.Path();
  for (const std::string& dest : {src, src.substr(0, src.size() - 1), parent + "SRC"}) {
    Take(src + "Guide.txt", dest);
    dialogs.Boxes.clear();
    result = converter.Process(host.Options());
    EXPECT_EQ(result.Failure, ConversionFailure::SameDirectories);
    EXPECT_TRUE(host.Log.empty());
    EXPECT_EQ(ReadFileBytes(src + "Guide.cnt.htm"), "old");
    EXPECT_FALSE(FileExists(src + "Guide.toc.htm"));
    EXPECT_EQ(FunStatContext.Status, fsError);
    EXPECT_EQ(FunStatContext.Description, "Source and destination directories are the same.");
    // The destination as taken (made absolute).
    EXPECT_EQ(FunStatContext.Parameter2, converter.DestinationDir());
    EXPECT_TRUE(
        SameText(IncludePathDelimiter(converter.DestinationDir()), IncludePathDelimiter(dest)));
    ASSERT_EQ(dialogs.Boxes.size(), 1u);
    EXPECT_EQ(dialogs.Boxes[0].Text, "Source and destination directories are the same.");
  }
}

TEST_F(DriverTest, MissingTemplateKeepsTheOldOutputsAndShowsTheErrorDialog) {
  std::filesystem::remove(src + "BeforeTOC.htm");
  for (const char* suffix : {".cnt.htm", ".toc.htm", ".tocbtn.htm", ".gls.htm"})
    WriteFileBytes(out + "Guide" + suffix, std::string("old") + suffix);
  Convert("Guide.txt", "~S=Intro\r\n");

  // Nothing was converted, so nothing of the last good site is lost.
  for (const char* suffix : {".cnt.htm", ".toc.htm", ".tocbtn.htm", ".gls.htm"})
    EXPECT_EQ(ReadFileBytes(out + "Guide" + suffix), std::string("old") + suffix);
  EXPECT_FALSE(result.FilesSaved);

  EXPECT_EQ(result.Failure, ConversionFailure::Exception);
  ASSERT_EQ(errorDialog.Reports.size(), 1u);
  EXPECT_EQ(errorDialog.Reports[0].Caption, "Error");
  EXPECT_EQ(errorDialog.Reports[0].Message, "Failed to process file.");
  EXPECT_NE(errorDialog.Reports[0].Report.find("* Description: \"Unhandled exception: "),
            std::string::npos);
  const std::vector<std::string> expected = {
      "* Pre-processing...", "* There are 0 headers.",
      "* There are 0 links in the content (to glossary items).",
      "* There are 0 hidden glossary items."};
  EXPECT_EQ(LogWithoutTime(), expected);
  // A shown failure is consumed.
  EXPECT_EQ(FunStatContext.Status, fsPerfect);
}

TEST_F(DriverTest, AbortRequestedBeforeTheRunStillSavesAndSaysSo) {
  converter.RequestAbort();
  Convert("Guide.txt", "~S=Intro\r\ntext\r\n");
  EXPECT_TRUE(result.FilesSaved);
  EXPECT_TRUE(result.Aborted);
  const auto log = LogWithoutTime();
  const auto abortLine = std::find(log.begin(), log.end(), "* User abort.");
  ASSERT_NE(abortLine, log.end());
  ASSERT_NE(abortLine + 1, log.end());
  EXPECT_EQ(*(abortLine + 1), "* File has been processed.");
  EXPECT_EQ(ReadFileBytes(out + "Guide.cnt.htm"), "<!--content-->\r\n");
}

TEST_F(DriverTest, FailedSaveWritesNoPageAndLogsTheFailure) {
  // A folder in place of the contents file makes the save fail; the page
  // before it, written whole already, is not put in place either.
  WriteFileBytes(out + "Guide.cnt.htm", "old");
  MakeDirectory(out + "Guide.toc.htm");
  Convert("Guide.txt", "text\r\n");

  EXPECT_FALSE(result.FilesSaved);
  EXPECT_EQ(result.Failure, ConversionFailure::SaveFailed);
  EXPECT_TRUE(result.FilesWritten.empty());
  EXPECT_EQ(ReadFileBytes(out + "Guide.cnt.htm"), "old");
  EXPECT_FALSE(FileExists(out + "Guide.tocbtn.htm"));
  EXPECT_FALSE(FileExists(out + "Guide.gls.htm"));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(out),
                          std::filesystem::directory_iterator()),
            2);
  const auto log = LogWithoutTime();
  EXPECT_NE(std::find(log.begin(), log.end(), "* Failed to process file."), log.end());
  EXPECT_EQ(std::find(log.begin(), log.end(), "* File has been processed."), log.end());
  EXPECT_EQ(log.back(), "* There are 0 hidden glossary items.");
  EXPECT_TRUE(errorDialog.Reports.empty());
}

TEST_F(DriverTest, SearchIndexIsAFifthFileSavedWithThePagesOrNotAtAll) {
  Convert("Guide.txt", "~S=Intro\r\ntext\r\n");
  EXPECT_FALSE(FileExists(out + "Guide.search.js"));
  const std::string page = ReadFileBytes(out + "Guide.cnt.htm");

  host.SearchIndex = true;
  Convert("Guide.txt", "~S=Intro\r\ntext\r\n");
  ASSERT_TRUE(result.FilesSaved);
  EXPECT_EQ(result.FilesWritten.size(), 5u);
  EXPECT_EQ(result.FilesWritten.back(), out + "Guide.search.js");
  EXPECT_EQ(ReadFileBytes(out + "Guide.cnt.htm"), page);
  const std::string index = ReadFileBytes(out + "Guide.search.js");
  EXPECT_EQ(index.rfind("// The search index of Guide.cnt.htm", 0), 0u) << index;
  EXPECT_NE(index.find("[0,-1,\"Intro\"]"), std::string::npos) << index;

  // Asked for by the source alone, and like the pages kept whole when the
  // save fails.
  host.SearchIndex = false;
  std::filesystem::remove(out + "Guide.toc.htm");
  MakeDirectory(out + "Guide.toc.htm");
  Convert("Guide.txt", "~PO_SearchIndex=TRUE\r\n~S=Other\r\n");
  EXPECT_FALSE(result.FilesSaved);
  EXPECT_EQ(ReadFileBytes(out + "Guide.search.js"), index);
  std::filesystem::remove(out + "Guide.toc.htm");
  Convert("Guide.txt", "~PO_SearchIndex=TRUE\r\n~S=Other\r\n");
  EXPECT_TRUE(result.FilesSaved);
  EXPECT_NE(ReadFileBytes(out + "Guide.search.js").find("[0,-1,\"Other\"]"), std::string::npos);
}

TEST(SaveFileTest, WritesExactlyTheContent) {
  TempDir dir;
  const std::string bytes("a\0b\r\n", 5);
  ASSERT_TRUE(SaveFile(bytes.data(), bytes.size(), dir / "x.htm"));
  EXPECT_EQ(ReadFileBytes(dir / "x.htm"), std::string("a\0b\r\n", 5));
  EXPECT_EQ(FunStatContext.Status, fsPerfect);

  // An existing file is replaced whole, and no bytes give an empty file.
  ASSERT_TRUE(SaveFile(nullptr, 0, dir / "x.htm"));
  EXPECT_EQ(ReadFileBytes(dir / "x.htm"), "");
  EXPECT_EQ(FunStatContext.Status, fsPerfect);
}

TEST(SaveFileTest, FailureIsRecordedWithTheFileName) {
  TempDir dir;
  const std::string name = dir / "missing/x.htm";
  EXPECT_FALSE(SaveFile("text", 4, name));
  EXPECT_EQ(FunStatContext.Status, fsError);
  EXPECT_EQ(FunStatContext.Description, "Failed to save.");
  EXPECT_EQ(FunStatContext.Parameter1, name);
  EXPECT_EQ(FunStatContext.RaiseFunction, "SaveFile");
  EXPECT_NE(FunStatContext.SystemErrorCode, 0u);
}

TEST(TakeArgumentsTest, LogsAbsolutePathsAndTheSize) {
  TempDir dir;
  WriteFileBytes(dir / "Guide.txt", std::string(1234, 'x'));
  RecordingHost host;
  TConverter converter(host);
  converter.TakeArguments(2, dir / "Guide.txt", dir.Path());
  ASSERT_EQ(host.Log.size(), 4u);
  EXPECT_EQ(host.Log[0], "* Source file: \"" + (dir / "Guide.txt") + "\".");
  EXPECT_EQ(host.Log[1], "* Source file size is 1,234 characters.");
  EXPECT_EQ(host.Log[3], "");
  EXPECT_EQ(converter.SourceFileName(), dir / "Guide.txt");
  EXPECT_EQ(host.LogSourceLines, std::vector<int>(4, 0));
}

TEST(TakeArgumentsTest, MissingSourceReadsAsSizeZeroAndWrongCountWarns) {
  RecordingHost host;
  TConverter converter(host);
  converter.TakeArguments(2, "/nonexistent/Guide.txt", "/nonexistent");
  ASSERT_EQ(host.Log.size(), 4u);
  EXPECT_EQ(host.Log[1], "* Source file size is 0 characters.");

  for (int count : {0, 1, 3}) {
    RecordingHost other;
    TConverter c(other);
    c.TakeArguments(count, "a", "b");
    ASSERT_EQ(other.Log.size(), 1u);
    EXPECT_EQ(other.Log[0], "* Warning: there is no source file or destination directory.");
  }
}

TEST(CheckInputsTest, RefusesMissingSourceOrDestination) {
  TempDir dir;
  WriteFileBytes(dir / "Guide.txt", "x");
  RecordingHost host;
  RecordingDialogs dialogs;
  TConverter converter(host);
  converter.TakeArguments(2, dir / "Guide.txt", dir / "nowhere");
  EXPECT_FALSE(converter.CheckInputs());
  converter.TakeArguments(2, dir / "none.txt", dir.Path());
  EXPECT_FALSE(converter.CheckInputs());
  ASSERT_EQ(dialogs.Boxes.size(), 2u);
  EXPECT_EQ(dialogs.Boxes[1].Text, "Invalid source file or destination directory.");
  converter.TakeArguments(2, dir / "Guide.txt", dir.Path());
  EXPECT_TRUE(converter.CheckInputs());
}

} // namespace
