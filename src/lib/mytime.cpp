// Elapsed-time measurement and the time texts of the log and the reports.
#include "mytime.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <ctime>
#include <string>

#include "mymath.h"
#include "platform/platform.h"

namespace {

constexpr std::int64_t MSecsPerDay = 86400000;
// Day number of 1 January 1970 in the day-count encoding (day 0 = 30 December 1899).
constexpr std::int64_t UnixEpochDay = 25569;

// Days since 1 January 1970 of a civil date (proleptic Gregorian).
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const auto yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

struct CivilDate {
  std::int64_t Year;
  unsigned Month;
  unsigned Day;
};

CivilDate CivilFromDays(std::int64_t z) {
  z += 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const auto doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::int64_t y = static_cast<std::int64_t>(yoe) + era * 400;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  const unsigned d = doy - (153 * mp + 2) / 5 + 1;
  const unsigned m = mp < 10 ? mp + 3 : mp - 9;
  return {y + (m <= 2), m, d};
}

// Breaks a date-time of the framework's encoding (for negative values the
// integer part is the day and the fraction's magnitude the time) into a tm.
std::tm DecodeDateTime(double dt) {
  if (!std::isfinite(dt) || std::fabs(dt) > 1e9)
    dt = 0;
  const double day = std::trunc(dt);
  std::int64_t ms = std::llround(std::fabs(dt - day) * MSecsPerDay);
  if (ms >= MSecsPerDay)
    ms = MSecsPerDay - 1;
  const std::int64_t days = static_cast<std::int64_t>(day) - UnixEpochDay;
  const CivilDate date = CivilFromDays(days);
  std::tm tm{};
  tm.tm_year = static_cast<int>(date.Year - 1900);
  tm.tm_mon = static_cast<int>(date.Month) - 1;
  tm.tm_mday = static_cast<int>(date.Day);
  tm.tm_wday = static_cast<int>(((days % 7) + 11) % 7); // 1 January 1970 was a Thursday
  tm.tm_yday = static_cast<int>(days - DaysFromCivil(date.Year, 1, 1));
  const std::int64_t seconds = ms / 1000;
  tm.tm_hour = static_cast<int>(seconds / 3600);
  tm.tm_min = static_cast<int>(seconds / 60 % 60);
  tm.tm_sec = static_cast<int>(seconds % 60);
  tm.tm_isdst = -1;
  return tm;
}

std::string FormatTm(const char* format, const std::tm& tm) {
  char buffer[256];
  const std::size_t n = std::strftime(buffer, sizeof buffer, format, &tm);
  return std::string(buffer, n);
}

char ToLower(char c) {
  return static_cast<char>(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c);
}

std::string TwoDigits(std::int64_t n) {
  std::string text = std::to_string(n);
  if (n < 10)
    text.insert(text.begin(), '0');
  return text;
}

// The framework's time formatting of a time of day in milliseconds: h, hh,
// n, nn, s, ss, z, zzz; ':' is the time separator (always ':'); text in
// quotes and every other character is copied.
std::string FormatClock(const std::string& format, std::int64_t ms) {
  const std::int64_t hours = ms / 3600000;
  const std::int64_t minutes = ms / 60000 % 60;
  const std::int64_t seconds = ms / 1000 % 60;
  const std::int64_t millis = ms % 1000;
  std::string out;
  std::size_t i = 0;
  while (i < format.size()) {
    const char c = format[i];
    const char lower = ToLower(c);
    std::size_t run = 1;
    while (i + run < format.size() && ToLower(format[i + run]) == lower)
      ++run;
    if (c == '"' || c == '\'') {
      const std::size_t close = format.find(c, i + 1);
      const std::size_t end = close == std::string::npos ? format.size() : close;
      out += format.substr(i + 1, end - i - 1);
      i = end == format.size() ? end : end + 1;
      continue;
    }
    switch (lower) {
    case 'h':
      out += run >= 2 ? TwoDigits(hours) : std::to_string(hours);
      i += std::min<std::size_t>(run, 2);
      break;
    case 'n':
      out += run >= 2 ? TwoDigits(minutes) : std::to_string(minutes);
      i += std::min<std::size_t>(run, 2);
      break;
    case 's':
      out += run >= 2 ? TwoDigits(seconds) : std::to_string(seconds);
      i += std::min<std::size_t>(run, 2);
      break;
    case 'z':
      if (run >= 3) {
        out += (millis < 100 ? (millis < 10 ? "00" : "0") : "") + std::to_string(millis);
        i += 3;
      } else {
        out += std::to_string(millis);
        i += 1;
      }
      break;
    default:
      out += c;
      ++i;
      break;
    }
  }
  return out;
}

} // namespace

double SecondsNow() {
  return plat::TickCount() * 0.001;
}

TCrono::TCrono() : Stopped(true), StartTime(0), StopTime(0) {}

void TCrono::Start() {
  StartTime = SecondsNow();
  StopTime = StartTime;
  Stopped = false;
}

double TCrono::Elapsed() const {
  double now = SecondsNow();
  if (now < StartTime)
    now = StartTime; // the tick counter wrapped
  return Stopped ? StopTime - StartTime : now - StartTime;
}

std::string DurationText(int decimals, const std::string& daysSeparator,
                         const std::string& decimalSeparator, const std::string& format,
                         double seconds) {
  if (!std::isfinite(seconds))
    seconds = 0;
  const std::string sign = seconds < 0 ? "-" : "";
  const double a = std::fabs(seconds);
  // Whole days and the time of day to the nearest millisecond; a time that
  // rounds up to midnight carries into the days.
  double wholeDays = std::floor(a / 86400.0);
  std::int64_t ms = std::llround((a - wholeDays * 86400.0) * 1000.0);
  if (ms >= MSecsPerDay) {
    ms -= MSecsPerDay;
    wholeDays += 1;
  } else if (ms < 0) {
    ms = 0;
  }
  ms -= ms % 1000; // the part below a second is dropped
  const std::string clock = FormatClock(format, ms);
  std::string dayPart;
  if (wholeDays != 0) {
    char buffer[400];
    const auto r =
        std::to_chars(buffer, buffer + sizeof buffer, wholeDays, std::chars_format::fixed, 0);
    dayPart.assign(buffer, r.ptr);
    dayPart += daysSeparator;
  }
  std::string fractionPart;
  if (decimals > 0) {
    char buffer[400];
    const auto r = std::to_chars(buffer, buffer + sizeof buffer, a - std::floor(a),
                                 std::chars_format::fixed, decimals);
    const std::string fixed(buffer, r.ptr);
    const std::size_t dot = fixed.find('.');
    fractionPart = decimalSeparator + (dot == std::string::npos ? "" : fixed.substr(dot + 1));
  }
  return sign + dayPart + clock + fractionPart;
}

double NormalizeDateTime(double dt) {
  const double f = FracPart(dt);
  if (f >= 0)
    return dt;
  return std::floor(dt) - (f + 1);
}

int DayOfYear(double dt) {
  if (!std::isfinite(dt) || std::fabs(dt) > 1e9)
    return 0;
  const double day = std::floor(dt);
  const CivilDate date = CivilFromDays(static_cast<std::int64_t>(day) - UnixEpochDay);
  const std::int64_t firstOfYear = DaysFromCivil(date.Year, 1, 1) + UnixEpochDay;
  return static_cast<int>(static_cast<std::int64_t>(day) + 1 - firstOfYear);
}

int DayHundredSeconds(double dt) {
  if (!std::isfinite(dt))
    return 0;
  const int n = static_cast<int>(PositiveFracPart(dt) * 864);
  return n > 863 ? 863 : n;
}

std::string DateText(double dt) {
  return FormatTm("%A, %d %B %Y", DecodeDateTime(NormalizeDateTime(dt))) + " (" +
         std::to_string(DayOfYear(dt)) + ")";
}

std::string TimeText(double dt) {
  return FormatTm("%H:%M:%S", DecodeDateTime(NormalizeDateTime(dt))) + " (" +
         std::to_string(DayHundredSeconds(dt)) + ")";
}

std::string DateTimeText(const std::string& separator, double dt) {
  return DateText(dt) + separator + TimeText(dt);
}

double Now() {
  return plat::NowDateTime();
}
