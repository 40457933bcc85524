// Warnings placed as SOURCE:LINE on standard error for editors to jump to,
// and --warnings-as-errors for documentation builds.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "cli/cli_host.h"
#include "run_converter.h"
#include "support/test_support.h"

using namespace cli_testing;
using namespace testing_support;

namespace {

class WarningsTest : public ::testing::Test {
protected:
  void SetUp() override {
    src = dir / "src/";
    dest = dir / "out";
    MakeDirectory(src);
    MakeDirectory(dest);
    WriteDefaultTemplates(src);
  }
  void WriteSource(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines)
      text += line + "\r\n";
    WriteFileBytes(src + "Guide.txt", text);
  }
  RunResult Convert(const std::string& options) {
    return RunConverter(dir, options + " " + Quote(src + "Guide.txt") + " " + Quote(dest));
  }
  std::string Placed(int line, const std::string& text) const {
    return src + "Guide.txt:" + std::to_string(line) + ": warning: " + text + "\n";
  }

  TempDir dir;
  std::string src;
  std::string dest;
};

// Each "[" opens an unknown command up to the one "]": their texts add up
// fast, and past the line's quoting budget the rest are muted.
const std::string kBrackets = std::string(400, '[') + "x]";

std::string UnknownUntilMuted(const std::function<std::string(const std::string&)>& placed) {
  std::string out;
  std::size_t quoted = 0;
  for (std::size_t p = 0; p < 400; ++p) {
    const std::size_t length = kBrackets.size() - p - 2;
    if (quoted + length > 65536)
      break;
    quoted += length;
    out += placed("unknown inline command \"" + kBrackets.substr(p + 1, length) + "\".");
  }
  return out + placed("more unknown inline commands in this line are not reported.");
}

TEST_F(WarningsTest, EveryKindOfWarningNamesItsLine) {
  std::vector<std::string> lines = {
      "~S=Caf\xe9|caf\xe9",     // 1: both passes
      "~",                      // 2
      "~=x",                    // 3: both passes
      "~S=",                    // 4: both passes
      "~S=Intro|intro",         // 5
      "~S=Again|intro",         // 6: collection pass only
      "~S-",                    // 7
      "~S-=Up",                 // 8
      "~ZZ=1",                  // 9
      "~S5=Deep",               // 10
      "~GP=|y",                 // 11: both passes
      "Text [] and [bad] here", // 12: two on one line
      kBrackets,                // 13: unknown until the rest are muted
  };
  for (int i = 0; i < 10; ++i)
    lines.push_back("~S+=Level " + std::to_string(i)); // 14 to 23; the tenth is too deep
  WriteSource(lines);
  const RunResult run = Convert("--quiet");
  EXPECT_EQ(run.Status, 0);
  EXPECT_EQ(run.Out, "");
  const std::string expected =
      // The collection pass first, for the whole source ...
      Placed(1, "invalid bookmark name \"~S=Caf\xe9|caf\xe9\". Can't add item.") +
      Placed(3, "invalid syntax \"~=x\".") + Placed(4, "empty command \"~S=\".") +
      Placed(6, "duplicate glossary item \"~S=Again|intro\". Can't add item.") +
      Placed(11, "empty command parameter \"~GP=|y\".") +
      // ... then the content pass.
      Placed(1, "invalid header / bookmark name \"~S=Caf\xe9|caf\xe9\".") +
      Placed(1, "invalid bookmark name \"~S=Caf\xe9|caf\xe9\". Can't add item.") +
      Placed(2, "unknown paragraph command \"~\".") + Placed(3, "invalid syntax \"~=x\".") +
      Placed(4, "empty command \"~S=\".") +
      Placed(7, "header outline level can't be negative \"~S-\".") +
      Placed(8, "header outline level can't be negative \"~S-=Up\".") +
      Placed(9, "unknown paragraph command \"~ZZ=1\".") +
      Placed(10, "here, header outline level can be only between 0 and 1 \"~S5=Deep\".") +
      Placed(11, "empty command parameter \"~GP=|y\".") + Placed(12, "empty inline command.") +
      Placed(12, "unknown inline command \"bad\".") +
      UnknownUntilMuted([this](const std::string& text) { return Placed(13, text); }) +
      Placed(23, "too many header outline levels \"~S+=Level 9\".");
  EXPECT_EQ(run.Err, expected);
}

TEST_F(WarningsTest, TheLogStaysAsItWasAndQuietKeepsThePlaces) {
  WriteSource({"~S=Intro|intro", "~S=Again|intro", "Text [bad]"});
  const RunResult loud = Convert("");
  EXPECT_EQ(loud.Status, 0);
  EXPECT_NE(loud.Out.find("\n* Warning: duplicate glossary item \"~S=Again|intro\". Can't add "
                          "item.\n"),
            std::string::npos);
  EXPECT_NE(loud.Out.find("\n* Warning: unknown inline command \"bad\".\n"), std::string::npos);
  EXPECT_EQ(loud.Out.find(": warning: "), std::string::npos);
  const std::string placed =
      Placed(2, "duplicate glossary item \"~S=Again|intro\". Can't add item.") +
      Placed(3, "unknown inline command \"bad\".");
  EXPECT_EQ(loud.Err, placed);
  const RunResult quiet = Convert("--quiet");
  EXPECT_EQ(quiet.Out, "");
  EXPECT_EQ(quiet.Err, placed);
}

TEST_F(WarningsTest, WarningsAsErrorsWritesThePagesAndFails) {
  WriteSource({"~S=Intro|intro", "Text [bad]"});
  const RunResult warned = Convert("--quiet --warnings-as-errors");
  EXPECT_EQ(warned.Status, 1);
  EXPECT_EQ(warned.Err, Placed(2, "unknown inline command \"bad\".") +
                            "orvanel-convert: 1 warning, treated as errors "
                            "(--warnings-as-errors)\n");
  EXPECT_NE(ReadFileBytes(dest + "/Guide.cnt.htm").find("Text [bad]"), std::string::npos);

  WriteSource({"~S=Intro|intro", "Text"});
  const RunResult clean = Convert("--quiet --warnings-as-errors");
  EXPECT_EQ(clean.Status, 0) << clean.Err;
  EXPECT_EQ(clean.Err, "");
  // Without the flag a warning is no failure.
  WriteSource({"~S=Intro|intro", "Text [bad]"});
  EXPECT_EQ(Convert("--quiet").Status, 0);
}

TEST(CliHostTest, AWarningAboutNoLineNamesTheSourceOnly) {
  CliOptions options;
  options.Quiet = true;
  CliHost host(options);
  testing::internal::CaptureStderr();
  host.LogLine("* Warning: before the paths.", 0);
  host.PlaceWarningsIn("docs/Guide.txt");
  host.LogLine("* Warning: empty bookmark name.", 0);
  host.LogLine("* Warning: unknown inline command \"x\".", 7);
  host.LogLine("* Processing content...", 7);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "docs/Guide.txt: warning: empty bookmark name.\n"
            "docs/Guide.txt:7: warning: unknown inline command \"x\".\n");
  EXPECT_EQ(host.WarningCount(), 2);
  EXPECT_EQ(host.FirstWarning(), "docs/Guide.txt: warning: empty bookmark name.");
}

} // namespace
