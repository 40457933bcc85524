// The unknown-command warnings of one line stay in proportion to the line,
// whatever run of "[" it holds.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

#include "engine/engine_fixture.h"

namespace {

const std::string kMuted = "* Warning: more unknown inline commands in this line are not reported.";

class InlineWarnings : public ::testing::Test {
protected:
  // TEXT as the only text line of a full conversion, without the paragraph.
  std::string Inline(const std::vector<std::string>& lines) {
    const std::string out = e.Run(lines);
    if (out.size() < 7 || out.compare(0, 3, "<P>") != 0)
      return out;
    return out.substr(3, out.size() - 7);
  }
  // The log lines about source line LINE.
  std::vector<std::string> LogOf(int line) const {
    std::vector<std::string> out;
    for (std::size_t i = 0; i < e.host.Log.size(); ++i)
      if (e.host.LogSourceLines[i] == line)
        out.push_back(e.host.Log[i]);
    return out;
  }
  std::size_t LoggedBytes() const {
    std::size_t bytes = 0;
    for (const std::string& line : e.host.Log)
      bytes += line.size();
    return bytes;
  }

  engine_test::Engine e;
};

TEST_F(InlineWarnings, ShortRunsAreReportedWhole) {
  const std::string line = std::string(100, '[') + "x]";
  EXPECT_EQ(Inline({line}), line);
  const std::vector<std::string> log = LogOf(1);
  ASSERT_EQ(log.size(), 100u);
  EXPECT_EQ(log.front(), "* Warning: unknown inline command \"" + std::string(99, '[') + "x\".");
  EXPECT_EQ(log.back(), "* Warning: unknown inline command \"x\".");
}

TEST_F(InlineWarnings, LongRunsStopAtTheLinesShareAndSaySo) {
  const std::string picture = "<IMG SRC=\"pictures/laugh.gif\" ALIGN=\"BOTTOM\" BORDER=0>";
  const std::string run = std::string(5000, '[') + "x]";
  const std::string line = run + " [:D] [later]";
  const std::string out = e.Run({line, "[y]"});
  EXPECT_EQ(out, "<P>" + run + " " + picture + " [later]</P><P>[y]</P>");
  // The first warnings in order, whole; then one line, also for the later
  // command; pictures and links are not affected.
  const std::vector<std::string> log = LogOf(1);
  ASSERT_GE(log.size(), 3u);
  EXPECT_EQ(log[0], "* Warning: unknown inline command \"" + run.substr(1, 5000) + "\".");
  EXPECT_EQ(log[1], "* Warning: unknown inline command \"" + run.substr(2, 4999) + "\".");
  EXPECT_EQ(log.back(), kMuted);
  EXPECT_EQ(std::count(log.begin(), log.end(), kMuted), 1);
  EXPECT_LE(LoggedBytes(), 65536u + 64 * e.host.Log.size());

  // The share is the line's own: the next line starts afresh.
  EXPECT_EQ(LogOf(2), std::vector<std::string>{"* Warning: unknown inline command \"y\"."});
}

TEST_F(InlineWarnings, AVeryLongLineMayQuoteItselfOnce) {
  const std::string line = std::string(200000, '[') + "]";
  EXPECT_EQ(Inline({line}), line);
  // The last "[" holds the empty command, which quotes nothing.
  EXPECT_EQ(LogOf(1), (std::vector<std::string>{"* Warning: unknown inline command \"" +
                                                    std::string(199999, '[') + "\".",
                                                kMuted, "* Warning: empty inline command."}));
}

} // namespace
