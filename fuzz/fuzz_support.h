// What the fuzz targets share: a front end that keeps nothing, and a failure
// that libFuzzer records with the input that caused it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/converter.h"
#include "lib/dialogs.h"
#include "lib/error.h"

namespace fuzzing {

/// A converter host, message boxes and an error dialog in one: everything
/// shown is dropped; only the amount of log text and a few lines are kept.
class QuietHost : public IConverterHost, public IMessageDialogs, public IErrorDialog {
public:
  QuietHost();
  ~QuietHost() override;
  QuietHost(const QuietHost&) = delete;
  QuietHost& operator=(const QuietHost&) = delete;

  void LogLine(const std::string& line, int sourceLine) override;
  void Progress(const ConversionProgress& progress) override;

  /// The options of the check boxes below, as the window would hand them
  /// over: no Index.htm, and a report (and pump) after every text line.
  ConversionOptions Options(bool fast) const;

  int MessageBox(const std::string&, const std::string&, std::uint32_t) override;
  void Beep(std::uint32_t) override {}

  bool ShowReport(const std::string&, const std::string&, bool* noErrors,
                  const std::string&) override;
  int RecursionCount() const override { return 0; }

  bool UseProjectOptions = true;
  bool MakeCodePretty = false;
  bool UseTable = true;
  bool UseSectionSep = true;
  /// The pump (1-based) at which ABORT is asked to stop; 0 for none.
  int AbortAtPump = 0;
  TConverter* Abort = nullptr;

  std::size_t LogBytes = 0;
  std::size_t LogLines = 0;
  int MinSourceLine = 0; // the least and the greatest source line a log line named
  int MaxSourceLine = 0;
  int Pumps = 0;
  int Boxes = 0;
  int Reports = 0;
  bool Processed = false; // "File has been processed." was logged
};

/// Reports a broken expectation and ends the run as a crash, so that libFuzzer
/// keeps the input.
[[noreturn]] void Fail(const std::string& what);

} // namespace fuzzing
