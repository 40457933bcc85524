// Function status context: how every operation reports success or failure.
//
// An operation opens a StatusFrame, records its failures in the frame's local
// context, catches every exception, and on leaving copies the local context
// into the global FunStatContext, where its caller looks.
#pragma once

#include <cstdint>
#include <exception>
#include <stdexcept>
#include <string>

enum TFunStatus : std::int32_t {
  fsPerfect = 0,
  fsWarning = 1,
  fsError = 2,
  fsBeginFunctionError = 3,
  fsPanic = 4,
  fsCatastrophe = 5,
};

class TFunStatContext {
public:
  TFunStatContext();
  TFunStatContext(const TFunStatContext& other);
  // Copies everything except the show context.
  TFunStatContext& operator=(const TFunStatContext& other);

  void BeginFunction(const std::string& file, const std::string& function, int line);
  void Reset(std::int32_t status);
  void ResetUserInfo();
  void SetStatus(std::int32_t status, const std::string& file, const std::string& function,
                 int line, const std::string& description, const std::string& parameter1,
                 const std::string& parameter2, std::uint32_t systemErrorCode);
  void SetShowContext(const std::string& file, const std::string& function, int line);

  static std::string StatusName(std::int32_t status);
  /// The full report text, lines joined with CR LF, starting with CR LF.
  std::string BuildReport() const;
  /// Shows the report in the error dialog; the dialog's answer.
  bool Show(const std::string& message, bool* noErrors = nullptr);
  /// Handler for exceptions that reach the application's event loop.
  void OnApplicationException(const std::string& exceptionMessage);

  std::int32_t Status;
  std::string RaiseFile;
  std::string RaiseFunction;
  std::int32_t RaiseLine;
  std::string Description;
  std::string Parameter1;
  std::string Parameter2;
  std::uint32_t SystemErrorCode;
  std::string ShowFile;
  std::string ShowFunction;
  std::int32_t ShowLine;
  std::int32_t UserCode;
  std::string UserText;
  std::int32_t UserInt;
  double UserReal;
};

extern TFunStatContext FunStatContext;

/// True unless the last system error is success, not enough storage or
/// request aborted.
bool LastCallFailed();
/// As LastCallFailed, but "already exists" also counts as success.
bool LastCreateFailed();
std::string SystemErrorText(std::uint32_t code);

// --- the error dialog, installed by the window ------------------------------

class IErrorDialog {
public:
  virtual ~IErrorDialog() = default;
  /// Shows the report modally; true for Okay and Okay (no errors).
  virtual bool ShowReport(const std::string& caption, const std::string& message, bool* noErrors,
                          const std::string& report) = 0;
  virtual int RecursionCount() const = 0;
};

/// Null until a dialog is installed; Show then falls back to a message box.
void SetErrorDialog(IErrorDialog* dialog);
IErrorDialog* GetErrorDialog();

// --- exceptions carrying their throw site -----------------------------------

/// The program's own exception class: it remembers where it was thrown so
/// that reports can name the place.
class TOrvanelError : public std::runtime_error {
public:
  // The builtins rather than std::source_location: clang with GCC's standard
  // library lacks the latter, and the fuzz build uses clang.
  explicit TOrvanelError(const std::string& message, const char* file = __builtin_FILE(),
                         int line = __builtin_LINE());
  const std::string& ThrowFile() const { return throwFile_; }
  int ThrowLine() const { return throwLine_; }

private:
  std::string throwFile_;
  int throwLine_;
};

// --- the status frame ---------------------------------------------------------

/// One operation's status frame. Construction begins the function on the
/// global context; destruction hands the local context to the caller.
class StatusFrame {
public:
  StatusFrame(const char* unit, const char* function, int line);
  ~StatusFrame();
  StatusFrame(const StatusFrame&) = delete;
  StatusFrame& operator=(const StatusFrame&) = delete;

  /// Records a failure of this operation's own.
  void Record(std::int32_t status, int line, const std::string& description,
              const std::string& parameter1 = {}, const std::string& parameter2 = {},
              std::uint32_t systemErrorCode = 0);
  /// After calling another framework operation: takes its failure over when
  /// the global status is above fsWarning. True when it did.
  bool TakeOver();
  /// Records the exception being handled; call only inside a catch block.
  void RecordCurrentException(int line);
  /// Runs BODY, recording any exception it throws at LINE.
  template <class Body> void Run(int line, Body&& body) {
    try {
      body();
    } catch (...) {
      RecordCurrentException(line);
    }
  }
  /// The show step of top-level operations: shows a failure with MESSAGE,
  /// then consumes it.
  void ShowStep(int line, const std::string& message);
  bool Failed() const { return Local.Status > fsWarning; }

  TFunStatContext Local;

private:
  const char* unit_;
  const char* function_;
};

/// The description recorded for the exception being handled ("Unhandled
/// exception: ..." or "Unhandled generic exception."), with its throw site.
struct CaughtException {
  std::string Description;
  std::string File; // empty when unknown
  std::string Line; // "0" when unknown
};
CaughtException DescribeCurrentException();
