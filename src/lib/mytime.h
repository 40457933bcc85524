// Elapsed-time measurement and the time texts of the log and reports.
#pragma once

#include <string>

double SecondsNow();

class TCrono {
public:
  TCrono();
  void Start();
  /// Seconds measured; never negative.
  double Elapsed() const;

  bool Stopped;
  double StartTime;
  double StopTime;
};

/// "hh:nn:ss"-style duration text, e.g. DurationText(0, "/", ".", "hh:nn:ss", 90061)
/// gives "1/01:01:01".
std::string DurationText(int decimals, const std::string& daysSeparator,
                         const std::string& decimalSeparator, const std::string& format,
                         double seconds);

// Date-time values count days since 30 December 1899; the fraction is the
// time of day.
double NormalizeDateTime(double dt);
int DayOfYear(double dt);
int DayHundredSeconds(double dt);
std::string DateText(double dt);
std::string TimeText(double dt);
std::string DateTimeText(const std::string& separator, double dt);
/// The current local date and time.
double Now();
