// Runs every golden case of ORVANEL_GOLDEN_DIR as its own test
// (Golden.<file name>), plus the tests of the case-file parser.
#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/converter.h"
#include "golden/golden_case.h"
#include "support/test_support.h"

namespace fs = std::filesystem;
using namespace golden;

namespace {

// The files one conversion writes, with the case section that checks each.
struct OutputFile {
  const char* Suffix;
  std::optional<std::string> GoldenCase::*Expected;
};

const OutputFile kOutputs[] = {
    {".cnt.htm", &GoldenCase::Content},
    {".toc.htm", &GoldenCase::Toc},
    {".tocbtn.htm", &GoldenCase::TocButtons},
    {".gls.htm", &GoldenCase::Glossary},
};

class GoldenCaseTest : public testing::Test {
public:
  explicit GoldenCaseTest(std::string path) : path_(std::move(path)) {}

  void TestBody() override {
    GoldenCase gc;
    try {
      gc = LoadCase(path_);
    } catch (const std::exception& e) {
      FAIL() << "malformed case: " << e.what();
    }

    testing_support::TempDir dir;
    const char sep = dir.Path().back();
    const std::string src = dir.Path() + "src" + sep;
    const std::string out = dir.Path() + "out" + sep;
    testing_support::MakeDirectory(src);
    testing_support::MakeDirectory(out);
    for (const auto& [name, text] : gc.Templates)
      testing_support::WriteFileBytes(src + name, text);
    testing_support::WriteFileBytes(src + "Guide.txt", gc.Source);

    testing_support::RecordingHost host;
    host.UseProjectOptions = gc.Options.UseProjectOptions;
    host.MakeCodePretty = gc.Options.MakeCodePretty;
    host.UseTable = gc.Options.UseTable;
    host.UseSectionSep = gc.Options.UseSectionSep;
    testing_support::RecordingDialogs dialogs;
    testing_support::RecordingErrorDialog errors;

    host.Fast = gc.Options.Fast;

    TConverter converter(host);
    converter.TakeArguments(2, src + "Guide.txt", dir.Path() + "out");
    // The log of a case starts with the conversion, not with the paths.
    host.Log.clear();
    host.LogSourceLines.clear();
    if (gc.Options.AbortAtPump > 0) {
      const int abortAt = gc.Options.AbortAtPump;
      host.OnPump = [&host, &converter, abortAt] {
        if (host.Pumps == abortAt)
          converter.RequestAbort();
      };
    }

    // A report and a pump after every text line, so that the pump count of
    // "abort-at-pump" is the number of text lines converted.
    converter.Process(host.Options());

    for (const auto& box : dialogs.Boxes)
      ADD_FAILURE() << "the conversion showed a message box \"" << box.Caption
                    << "\": " << box.Text;
    for (const auto& shown : errors.Reports)
      ADD_FAILURE() << "the conversion showed the error dialog: " << shown.Message << "\n"
                    << shown.Report;

    for (const OutputFile& file : kOutputs) {
      const std::optional<std::string>& expected = gc.*(file.Expected);
      if (!expected)
        continue;
      const std::string name = std::string("Guide") + file.Suffix;
      if (!testing_support::FileExists(out + name)) {
        ADD_FAILURE() << name << " was not written";
        continue;
      }
      std::string report =
          DescribeMismatch(name, *expected, testing_support::ReadFileBytes(out + name));
      if (!report.empty())
        ADD_FAILURE() << report;
    }

    if (gc.Log) {
      std::vector<std::string> actual;
      for (const std::string& line : host.Log)
        actual.push_back(NormaliseLogLine(line));
      std::string report = DescribeLogMismatch(*gc.Log, actual);
      if (!report.empty())
        ADD_FAILURE() << report;
    }

    if (gc.Progress) {
      std::string report =
          DescribeMismatch("progress caption", *gc.Progress, NormaliseProgress(host.Caption));
      if (!report.empty())
        ADD_FAILURE() << report;
    }
  }

private:
  std::string path_;
};

// "header-levels.case" -> "header_levels": a '-' would start a negative
// pattern in --gtest_filter.
std::string TestNameOf(const fs::path& file) {
  std::string name = file.stem().string();
  std::replace(name.begin(), name.end(), '-', '_');
  return name;
}

void RegisterGoldenCases(const std::string& folder) {
  std::vector<fs::path> files;
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
    if (it->is_regular_file() && it->path().extension() == ".case")
      files.push_back(it->path());
  std::sort(files.begin(), files.end());
  if (files.empty()) {
    testing::RegisterTest("Golden", "NoCases", nullptr, nullptr, __FILE__, __LINE__,
                          [folder]() -> testing::Test* {
                            struct NoCases : testing::Test {
                              explicit NoCases(std::string f) : folder(std::move(f)) {}
                              void TestBody() override { FAIL() << "no *.case file in " << folder; }
                              std::string folder;
                            };
                            return new NoCases(folder);
                          });
    return;
  }
  for (const fs::path& file : files) {
    const std::string path = file.string();
    testing::RegisterTest("Golden", TestNameOf(file).c_str(), nullptr, nullptr, path.c_str(), 1,
                          [path]() -> testing::Test* { return new GoldenCaseTest(path); });
  }
}

// --- the case-file parser ---------------------------------------------------

TEST(GoldenCaseParser, JoinsFileSectionsWithNothingAndSourceLinesWithCrLf) {
  GoldenCase gc =
      ParseCase("About.\n\n=== source\nA\n\nB\n\n=== content\n<P>A</P>\r\n<P>B</P>\\r\\n\n");
  EXPECT_EQ(gc.Description, "About.\n\n");
  EXPECT_EQ(gc.Source, "A\r\n\r\nB\r\n");
  ASSERT_TRUE(gc.Content);
  EXPECT_EQ(*gc.Content, "<P>A</P><P>B</P>\r\n");
  EXPECT_FALSE(gc.Toc);
  EXPECT_FALSE(gc.Log);
  EXPECT_EQ(gc.Templates.at("BeforeSection.htm"), "<HR>");
  EXPECT_EQ(gc.Templates.at("BeforeContent.htm"), "<!--content-->");
}

TEST(GoldenCaseParser, SourceBytesTemplatesLogAndProgress) {
  GoldenCase gc = ParseCase("=== source-bytes\nA\\rB\\0\n=== template BeforeSection.htm\n"
                            "\n=== log\n* One\n\n* Two\n=== progress\nConversion progress: 0.\n");
  EXPECT_EQ(gc.Source, std::string("A\rB\0", 4));
  EXPECT_EQ(gc.Templates.at("BeforeSection.htm"), "");
  ASSERT_TRUE(gc.Log);
  EXPECT_EQ(*gc.Log, (std::vector<std::string>{"* One", "", "* Two"}));
  EXPECT_EQ(gc.Progress, "Conversion progress: 0.");
}

TEST(GoldenCaseParser, Escapes) {
  EXPECT_EQ(Unescape("a\\tb\\\\c\\x41\\xe9", 1), "a\tb\\cA\xE9");
  EXPECT_THROW(Unescape("\\q", 1), CaseError);
  EXPECT_THROW(Unescape("\\x4", 1), CaseError);
  EXPECT_THROW(Unescape("end\\", 1), CaseError);
  EXPECT_EQ(Escape(std::string("a\r\n\t\\\0\xE9", 7)), "a\\r\\n\\t\\\\\\0\\xE9");
}

TEST(GoldenCaseParser, Options) {
  CaseOptions o =
      ParseOptions("fast pretty no-table no-sep no-project-options abort-at-pump=12", 1);
  EXPECT_TRUE(o.Fast);
  EXPECT_TRUE(o.MakeCodePretty);
  EXPECT_FALSE(o.UseTable);
  EXPECT_FALSE(o.UseSectionSep);
  EXPECT_FALSE(o.UseProjectOptions);
  EXPECT_EQ(o.AbortAtPump, 12);
  CaseOptions d = ParseOptions("", 1);
  EXPECT_FALSE(d.Fast);
  EXPECT_TRUE(d.UseTable);
  EXPECT_EQ(d.AbortAtPump, 0);
  EXPECT_THROW(ParseOptions("quick", 1), CaseError);
  EXPECT_THROW(ParseOptions("fast full", 1), CaseError);
  EXPECT_THROW(ParseOptions("abort-at-pump=0", 1), CaseError);
  EXPECT_THROW(ParseOptions("abort-at-pump=x", 1), CaseError);
}

TEST(GoldenCaseParser, MalformedCases) {
  EXPECT_THROW(ParseCase("=== content\nx\n"), CaseError);                     // no source
  EXPECT_THROW(ParseCase("=== source\na\n=== source-bytes\nb\n"), CaseError); // two sources
  EXPECT_THROW(ParseCase("=== source\na\n=== source\nb\n"), CaseError);       // repeated
  EXPECT_THROW(ParseCase("=== source\na\n=== contents\nb\n"), CaseError);     // unknown
  EXPECT_THROW(ParseCase("=== source\na\n=== template Index.htm\nb\n"), CaseError);
  EXPECT_THROW(ParseCase("=== source\na\n=== progress\nx\ny\n"), CaseError);
  EXPECT_THROW(ParseCase("===source\na\n"), CaseError);
  try {
    ParseCase("=== source\nok\n=== log\nbad \\q\n");
    ADD_FAILURE() << "no error";
  } catch (const CaseError& e) {
    EXPECT_NE(std::string(e.what()).find("line 4"), std::string::npos) << e.what();
  }
}

TEST(GoldenCaseParser, NormalisesTimes) {
  EXPECT_EQ(NormaliseLogLine("* Time: 00:01:23"), "* Time: 00:00:00");
  EXPECT_EQ(NormaliseLogLine("* There are 2 headers."), "* There are 2 headers.");
  EXPECT_EQ(NormaliseProgress("Conversion progress: 3 lines from 5. Time: 1/00:00:02"),
            "Conversion progress: 3 lines from 5. Time: 00:00:00");
  EXPECT_EQ(NormaliseProgress("Conversion progress: 0."), "Conversion progress: 0.");
}

TEST(GoldenCaseParser, DescribesTheFirstDifference) {
  EXPECT_EQ(DescribeMismatch("x", "abc", "abc"), "");
  std::string report = DescribeMismatch("Guide.cnt.htm", "<P>A</P>\r\n", "<P>B</P>\r\n");
  EXPECT_NE(report.find("at byte 3"), std::string::npos) << report;
  EXPECT_NE(report.find("<P>A</P>\\r\\n"), std::string::npos) << report;
  EXPECT_EQ(DescribeLogMismatch({"* a"}, {"* a"}), "");
  EXPECT_NE(DescribeLogMismatch({"* a", "* b"}, {"* a"}).find("line 2"), std::string::npos);
}

} // namespace

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  RegisterGoldenCases(ORVANEL_GOLDEN_DIR);
  return RUN_ALL_TESTS();
}
