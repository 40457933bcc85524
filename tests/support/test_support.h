// Helpers shared by the tests: temporary folders, and front ends that record
// what the engine and the support library tell the user.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "engine/converter.h"
#include "lib/dialogs.h"
#include "lib/error.h"

namespace testing_support {

/// A fresh folder under the system's temp folder, removed with its content.
class TempDir {
public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  /// The folder's path with a trailing '/'.
  const std::string& Path() const { return path_; }
  /// Path() + name.
  std::string operator/(const std::string& name) const { return path_ + name; }

private:
  std::string path_;
};

void WriteFileBytes(const std::string& path, const std::string& bytes);
/// The file's bytes; throws std::runtime_error when it cannot be read.
std::string ReadFileBytes(const std::string& path);
bool FileExists(const std::string& path);
void MakeDirectory(const std::string& path);

/// A converter host that records what it is told.
class RecordingHost : public IConverterHost {
public:
  void LogLine(const std::string& line, int sourceLine) override {
    Log.push_back(line);
    LogSourceLines.push_back(sourceLine);
  }
  void Progress(const ConversionProgress& progress) override {
    Caption = ProgressCaption(progress);
    Last = progress;
    ++Pumps;
    if (OnPump)
      OnPump();
  }
  /// The options of the window's check boxes, as set below.
  ConversionOptions Options() const {
    ConversionOptions o;
    o.Fast = Fast;
    o.UseProjectOptions = UseProjectOptions;
    o.MakeCodePretty = MakeCodePretty;
    o.UseTableElem = UseTable;
    o.UseSectionSep = UseSectionSep;
    o.SearchIndex = SearchIndex;
    o.OpenIndex = false;
    o.ProgressIntervalMs = 0; // a report and a pump after every text line
    return o;
  }

  std::vector<std::string> Log;
  std::vector<int> LogSourceLines; // per log line: the source line it is about, or 0
  std::string Caption = "Conversion progress: 0.";
  ConversionProgress Last;
  int Pumps = 0;
  std::function<void()> OnPump;
  bool Fast = false;
  bool UseProjectOptions = true;
  bool MakeCodePretty = false;
  bool UseTable = true;
  bool UseSectionSep = true;
  bool SearchIndex = false;
};

/// Message boxes and beeps recorded instead of shown; installed for its
/// lifetime.
class RecordingDialogs : public IMessageDialogs {
public:
  RecordingDialogs();
  ~RecordingDialogs() override;
  int MessageBox(const std::string& caption, const std::string& text, std::uint32_t flags) override;
  void Beep(std::uint32_t type) override { Beeps.push_back(type); }

  struct Box {
    std::string Caption;
    std::string Text;
    std::uint32_t Flags;
  };
  std::vector<Box> Boxes;
  std::vector<std::uint32_t> Beeps;
  int Answer = 1;
};

/// An error dialog that records reports; installed for its lifetime.
class RecordingErrorDialog : public IErrorDialog {
public:
  RecordingErrorDialog();
  ~RecordingErrorDialog() override;
  bool ShowReport(const std::string& caption, const std::string& message, bool* noErrors,
                  const std::string& report) override;
  int RecursionCount() const override { return 0; }

  struct Shown {
    std::string Caption;
    std::string Message;
    std::string Report;
  };
  std::vector<Shown> Reports;
  bool Answer = true;
};

/// The five templates with short distinct texts, written into DIR.
void WriteDefaultTemplates(const std::string& dir);

} // namespace testing_support
