// Time measurement and the time texts.
#include "lib/mytime.h"

#include <gtest/gtest.h>

#include <clocale>
#include <regex>

namespace {

// Day counts of the date-time encoding (days since 30 December 1899).
constexpr double Jan1st2024 = 45292; // a Monday
constexpr double Dec31st2024 = Jan1st2024 + 365;

std::string Duration(double seconds) {
  return DurationText(0, "/", ".", "hh:nn:ss", seconds);
}

} // namespace

TEST(Crono, ConstructedIsStoppedAtZero) {
  TCrono crono;
  EXPECT_TRUE(crono.Stopped);
  EXPECT_EQ(crono.StartTime, 0.0);
  EXPECT_EQ(crono.StopTime, 0.0);
  EXPECT_EQ(crono.Elapsed(), 0.0);
}

TEST(Crono, StartedMeasuresSecondsSinceStart) {
  TCrono crono;
  crono.Start();
  EXPECT_FALSE(crono.Stopped);
  EXPECT_EQ(crono.StartTime, crono.StopTime);
  const double elapsed = crono.Elapsed();
  EXPECT_GE(elapsed, 0.0);
  EXPECT_LT(elapsed, 5.0);
}

TEST(Crono, WrappedCounterGivesZero) {
  TCrono crono;
  crono.Stopped = false;
  crono.StartTime = 5e9; // beyond any tick counter value
  EXPECT_EQ(crono.Elapsed(), 0.0);
}

TEST(DurationText, SystemArguments) {
  EXPECT_EQ(Duration(0), "00:00:00");
  EXPECT_EQ(Duration(83.4), "00:01:23");
  EXPECT_EQ(Duration(83.9), "00:01:23");
  EXPECT_EQ(Duration(3599), "00:59:59");
  EXPECT_EQ(Duration(86399), "23:59:59");
  EXPECT_EQ(Duration(86400), "1/00:00:00");
  EXPECT_EQ(Duration(90061), "1/01:01:01");
  EXPECT_EQ(Duration(10 * 86400 + 5), "10/00:00:05");
  EXPECT_EQ(Duration(-5), "-00:00:05");
  EXPECT_EQ(Duration(-90061), "-1/01:01:01");
}

TEST(DurationText, RoundsToTheMillisecondFirst) {
  EXPECT_EQ(Duration(59.9996), "00:01:00");
  EXPECT_EQ(Duration(86399.9996), "1/00:00:00");
}

TEST(DurationText, OtherSeparatorsFormatsAndDecimals) {
  EXPECT_EQ(DurationText(0, " days ", ",", "h:n:s", 90061), "1 days 1:1:1");
  EXPECT_EQ(DurationText(2, "/", ",", "hh:nn:ss", 83.25), "00:01:23,25");
  EXPECT_EQ(DurationText(3, "/", ".", "hh:nn:ss", 1.5), "00:00:01.500");
  EXPECT_EQ(DurationText(0, "/", ".", "nn' min'", 125), "02 min");
}

TEST(NormalizeDateTime, NegativeValuesTakeTheFrameworkEncoding) {
  EXPECT_DOUBLE_EQ(NormalizeDateTime(-1.25), -2.75);
  EXPECT_DOUBLE_EQ(NormalizeDateTime(1.25), 1.25);
  EXPECT_DOUBLE_EQ(NormalizeDateTime(-2.0), -2.0);
}

TEST(DayOfYear, CountsFromOne) {
  EXPECT_EQ(DayOfYear(Jan1st2024), 1);
  EXPECT_EQ(DayOfYear(Jan1st2024 + 0.99), 1);
  EXPECT_EQ(DayOfYear(Dec31st2024), 366);
  EXPECT_EQ(DayOfYear(Dec31st2024 + 1), 1);
  EXPECT_EQ(DayOfYear(Jan1st2024 - 1), 365); // 31 December 2023
  EXPECT_EQ(DayOfYear(0), 364);              // 30 December 1899
  EXPECT_EQ(DayOfYear(-1.25), 362);          // 28 December 1899, 18:00
}

TEST(DayHundredSeconds, WholePeriodsSinceMidnight) {
  EXPECT_EQ(DayHundredSeconds(Jan1st2024), 0);
  EXPECT_EQ(DayHundredSeconds(Jan1st2024 + 99.0 / 86400), 0);
  EXPECT_EQ(DayHundredSeconds(Jan1st2024 + 100.5 / 86400), 1);
  EXPECT_EQ(DayHundredSeconds(Jan1st2024 + 0.5), 432);
  EXPECT_EQ(DayHundredSeconds(Jan1st2024 + 86399.0 / 86400), 863);
  EXPECT_EQ(DayHundredSeconds(Jan1st2024 + 0.999999999), 863);
  EXPECT_EQ(DayHundredSeconds(-1.25), 648);
}

TEST(DateTimeTexts, InTheCLocale) {
  ASSERT_NE(std::setlocale(LC_TIME, "C"), nullptr);
  EXPECT_EQ(DateText(Jan1st2024 + 0.5), "Monday, 01 January 2024 (1)");
  EXPECT_EQ(DateText(Dec31st2024), "Tuesday, 31 December 2024 (366)");
  EXPECT_EQ(DateText(0), "Saturday, 30 December 1899 (364)");
  EXPECT_EQ(DateText(-1.25), "Thursday, 28 December 1899 (362)");
  EXPECT_EQ(TimeText(Jan1st2024 + 0.5), "12:00:00 (432)");
  EXPECT_EQ(TimeText(Jan1st2024 + 86399.0 / 86400), "23:59:59 (863)");
  EXPECT_EQ(TimeText(-1.25), "18:00:00 (648)");
  EXPECT_EQ(DateTimeText(" | ", Jan1st2024 + 0.5), "Monday, 01 January 2024 (1) | 12:00:00 (432)");
  EXPECT_EQ(DateTimeText("", Jan1st2024), "Monday, 01 January 2024 (1)00:00:00 (0)");
}

TEST(DateTimeTexts, NowIsToday) {
  const double now = Now();
  EXPECT_GT(now, Jan1st2024);
  const std::string text = DateTimeText(" | ", now);
  EXPECT_TRUE(std::regex_match(text, std::regex(R"(.+ \(\d{1,3}\) \| \d\d:\d\d:\d\d \(\d{1,3}\))")))
      << text;
}
