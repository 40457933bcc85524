// The command line's stand-ins for the window: the log pane is standard
// output, message boxes and error reports go to standard error, and a
// progress bar is drawn on standard error when it is a terminal.
#pragma once

#include <cstdint>
#include <string>

#include "engine/converter.h"
#include "lib/dialogs.h"
#include "lib/error.h"

struct CliOptions {
  bool Fast = false;
  bool MakeCodePretty = false;
  bool UseTable = true;
  bool UseSectionSep = true;
  bool UseProjectOptions = true;
  bool Open = false;
  bool Quiet = false;
  bool WarningsAsErrors = false;
};

class CliHost : public IConverterHost, public IMessageDialogs, public IErrorDialog {
public:
  explicit CliHost(const CliOptions& options);
  ~CliHost() override;
  CliHost(const CliHost&) = delete;
  CliHost& operator=(const CliHost&) = delete;

  // IConverterHost
  void LogLine(const std::string& line, int sourceLine) override;
  void Progress(const ConversionProgress& progress) override;

  // IMessageDialogs
  int MessageBox(const std::string& caption, const std::string& text, std::uint32_t flags) override;
  void Beep(std::uint32_t) override {}

  // IErrorDialog
  bool ShowReport(const std::string& caption, const std::string& message, bool* noErrors,
                  const std::string& report) override;
  int RecursionCount() const override { return 0; }

  /// Removes the progress bar, if one is drawn.
  void ClearProgress();

  /// From now on every warning also goes to standard error as
  /// "SOURCE:LINE: warning: TEXT", SOURCE as the user gave it.
  void PlaceWarningsIn(const std::string& source) { source_ = source; }
  /// Warnings about the source since the last call of ResetCounts.
  int WarningCount() const { return warningCount_; }
  /// The text of the last message box, for a front end that shows it again.
  const std::string& LastMessage() const { return lastMessage_; }
  /// The first warning since ResetCounts, placed as on standard error.
  const std::string& FirstWarning() const { return firstWarning_; }
  void ResetCounts() {
    warningCount_ = 0;
    lastMessage_.clear();
    firstWarning_.clear();
  }

private:
  void DrawProgress(long line, long total);

  CliOptions options_;
  bool progressBar_;
  bool barShown_ = false;
  std::uint32_t lastDraw_ = 0;
  std::string source_;
  int warningCount_ = 0;
  std::string lastMessage_;
  std::string firstWarning_;
};
