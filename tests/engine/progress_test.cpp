// Progress reports of the content pass: the first text line at once, then at
// most one per interval, the last line always; an abort asked for during a
// report stops the pass before the next line.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/conversion.h"
#include "support/test_support.h"

namespace {

struct ProgressRun {
  testing_support::RecordingHost host;
  bool abort = false;
  std::vector<ConversionProgress> reports;
  std::string content;

  void Convert(const std::string& source, std::uint32_t intervalMs, int abortAtReport = 0) {
    host.OnPump = [&] {
      reports.push_back(host.Last);
      if (static_cast<int>(reports.size()) == abortAtReport)
        abort = true;
    };
    ConversionOptions options = host.Options();
    options.UseTableElem = false;
    options.ProgressIntervalMs = intervalMs;
    const SourceText text(source);
    Pages pages;
    Conversion conversion(host, options, "Guide.cnt.htm", "", abort);
    conversion.ProcessSourceLines(text, pages);
    content = std::string(pages.Content.View());
  }
};

std::string TextLines(int count) {
  std::string s = "~S=Start\r\n";
  for (int i = 0; i < count; ++i)
    s += "Line " + std::to_string(i) + ".\r\n";
  return s;
}

TEST(Progress, EveryTextLineWithoutAnInterval) {
  ProgressRun r;
  r.Convert("~S=A\r\none\r\n~BP\r\ntwo\r\n", 0);
  ASSERT_EQ(r.reports.size(), 2u);
  EXPECT_EQ(r.reports[0].Line, 2);
  EXPECT_EQ(r.reports[1].Line, 4);
  EXPECT_EQ(r.reports[1].LineCount, 4);
  EXPECT_EQ(r.host.Caption, "Conversion progress: 4 lines from 4. Time: 00:00:00");
}

TEST(Progress, ALongIntervalReportsTheFirstAndTheLastLineOnly) {
  ProgressRun r;
  r.Convert(TextLines(5000), 3600 * 1000);
  ASSERT_EQ(r.reports.size(), 2u);
  EXPECT_EQ(r.reports.front().Line, 2);
  EXPECT_EQ(r.reports.back().Line, 5001);
  EXPECT_EQ(r.reports.back().LineCount, 5001);
}

TEST(Progress, AnAbortDuringTheFirstReportStopsBeforeTheNextLine) {
  ProgressRun r;
  r.Convert(TextLines(5000), 3600 * 1000, 1);
  EXPECT_EQ(r.content.find("Line 1."), std::string::npos);
  EXPECT_NE(r.content.find("Line 0."), std::string::npos);
  ASSERT_EQ(r.reports.size(), 1u); // the last line reported is the first one
}

TEST(Progress, NoTextLineNoReport) {
  ProgressRun r;
  r.Convert("~S=A\r\n~BP\r\n", 0);
  EXPECT_TRUE(r.reports.empty());
  EXPECT_EQ(r.host.Caption, "Conversion progress: 0.");
}

} // namespace
