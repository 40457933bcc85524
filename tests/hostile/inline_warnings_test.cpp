// The unknown-command warnings of one line stay in proportion to the line,
// whatever run of "[" it holds.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

#include "engine/converter.h"
#include "support/test_support.h"

namespace {

const std::string kMuted = "* Warning: more unknown inline commands in this line are not reported.";

class InlineWarnings : public ::testing::Test {
protected:
  InlineWarnings() {
    c.ProcessInline = true;
    c.ContentFileName = "/out/Guide.cnt.htm";
    c.GlossaryItems = std::make_unique<TStringList>();
    c.GlossaryItemsByLength = std::make_unique<TStringList>();
    c.SectionDefinedItems = std::make_unique<TStringList>();
    c.ParagraphDefinedItems = std::make_unique<TStringList>();
  }
  std::size_t LoggedBytes() const {
    std::size_t bytes = 0;
    for (const std::string& line : host.Log)
      bytes += line.size();
    return bytes;
  }

  testing_support::RecordingHost host;
  TConverter c{host};
};

TEST_F(InlineWarnings, ShortRunsAreReportedWhole) {
  const std::string line = std::string(100, '[') + "x]";
  EXPECT_EQ(c.ProcessInlineText(line), line);
  ASSERT_EQ(host.Log.size(), 100u);
  EXPECT_EQ(host.Log.front(),
            "* Warning: unknown inline command \"" + std::string(99, '[') + "x\".");
  EXPECT_EQ(host.Log.back(), "* Warning: unknown inline command \"x\".");
}

TEST_F(InlineWarnings, LongRunsStopAtTheLinesShareAndSaySo) {
  const std::string picture = "<IMG SRC=\"pictures/laugh.gif\" ALIGN=\"BOTTOM\" BORDER=0>";
  const std::string run = std::string(5000, '[') + "x]";
  const std::string line = run + " [:D] [later]";
  EXPECT_EQ(c.ProcessInlineText(line), run + " " + picture + " [later]");
  // The first warnings in order, whole; then one line, also for the later
  // command; pictures and links are not affected.
  ASSERT_GE(host.Log.size(), 3u);
  EXPECT_EQ(host.Log[0], "* Warning: unknown inline command \"" + run.substr(1, 5000) + "\".");
  EXPECT_EQ(host.Log[1], "* Warning: unknown inline command \"" + run.substr(2, 4999) + "\".");
  EXPECT_EQ(host.Log.back(), kMuted);
  EXPECT_EQ(std::count(host.Log.begin(), host.Log.end(), kMuted), 1);
  EXPECT_LE(LoggedBytes(), 65536u + 64 * host.Log.size());

  // The share is the line's own: the next line starts afresh.
  host.Log.clear();
  EXPECT_EQ(c.ProcessInlineText("[y]"), "[y]");
  EXPECT_EQ(host.Log, std::vector<std::string>{"* Warning: unknown inline command \"y\"."});
}

TEST_F(InlineWarnings, AVeryLongLineMayQuoteItselfOnce) {
  const std::string line = std::string(200000, '[') + "]";
  EXPECT_EQ(c.ProcessInlineText(line), line);
  // The last "[" holds the empty command, which quotes nothing.
  EXPECT_EQ(host.Log, (std::vector<std::string>{"* Warning: unknown inline command \"" +
                                                    std::string(199999, '[') + "\".",
                                                kMuted, "* Warning: empty inline command."}));
}

} // namespace
