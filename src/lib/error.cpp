// The function status context, the status frame and the report text.
#include "error.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "dialogs.h"
#include "mytime.h"
#include "platform/platform.h"
#include "program.h"

TFunStatContext FunStatContext;

namespace {

constexpr const char* UnitName = "Error";

IErrorDialog* InstalledErrorDialog = nullptr;

// The text after the last path delimiter ('/' or '\\').
std::string NamePart(const std::string& path) {
  const std::size_t at = path.find_last_of("/\\");
  return at == std::string::npos ? path : path.substr(at + 1);
}

std::string Quoted(const std::string& text) {
  return "\"" + text + "\"";
}

// Shortest general form with up to 15 significant digits, the locale's
// decimal separator, and an exponent written as "E" + signed digits.
std::string GeneralReal(double value) {
  if (value == 0)
    return "0";
  if (!std::isfinite(value))
    return std::isnan(value) ? "NAN" : (value < 0 ? "-INF" : "INF");
  char buffer[64];
  auto r = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 14);
  std::string sci(buffer, r.ptr);
  const std::size_t e = sci.find('e');
  const int exponent = std::stoi(sci.substr(e + 1));
  std::string text;
  if (exponent >= 15 || exponent < -5) {
    std::string mantissa = sci.substr(0, e);
    while (!mantissa.empty() && mantissa.back() == '0')
      mantissa.pop_back();
    if (!mantissa.empty() && mantissa.back() == '.')
      mantissa.pop_back();
    text = mantissa + "E" + std::to_string(exponent);
  } else {
    r = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed,
                      14 - exponent);
    text.assign(buffer, r.ptr);
    if (text.find('.') != std::string::npos) {
      while (text.back() == '0')
        text.pop_back();
      if (text.back() == '.')
        text.pop_back();
    }
  }
  const std::size_t dot = text.find('.');
  if (dot != std::string::npos) {
    const std::string separator = plat::LocaleDecimalSeparator();
    if (!separator.empty())
      text.replace(dot, 1, separator);
  }
  return text;
}

} // namespace

// --- TFunStatContext -------------------------------------------------------------

TFunStatContext::TFunStatContext()
    : Status(fsPerfect), RaiseLine(0), SystemErrorCode(0), ShowLine(0), UserCode(0), UserInt(0),
      UserReal(0) {
  Reset(fsPerfect);
  ResetUserInfo();
}

TFunStatContext::TFunStatContext(const TFunStatContext& other) : TFunStatContext() {
  *this = other;
}

TFunStatContext& TFunStatContext::operator=(const TFunStatContext& other) {
  if (this == &other)
    return *this;
  Status = other.Status;
  RaiseFile = other.RaiseFile;
  RaiseFunction = other.RaiseFunction;
  RaiseLine = other.RaiseLine;
  Description = other.Description;
  Parameter1 = other.Parameter1;
  Parameter2 = other.Parameter2;
  SystemErrorCode = other.SystemErrorCode;
  UserCode = other.UserCode;
  UserText = other.UserText;
  UserInt = other.UserInt;
  UserReal = other.UserReal;
  return *this;
}

void TFunStatContext::BeginFunction(const std::string& file, const std::string& function,
                                    int line) {
  Status = fsBeginFunctionError;
  RaiseFile = file;
  RaiseFunction = function;
  RaiseLine = line;
  Description.clear();
  Parameter1.clear();
  Parameter2.clear();
  SystemErrorCode = 0;
}

void TFunStatContext::Reset(std::int32_t status) {
  Status = status;
  RaiseFile.clear();
  RaiseFunction.clear();
  RaiseLine = 0;
  Description.clear();
  Parameter1.clear();
  Parameter2.clear();
  SystemErrorCode = 0;
}

void TFunStatContext::ResetUserInfo() {
  UserCode = 0;
  UserText.clear();
  UserInt = 0;
  UserReal = 0;
}

void TFunStatContext::SetStatus(std::int32_t status, const std::string& file,
                                const std::string& function, int line,
                                const std::string& description, const std::string& parameter1,
                                const std::string& parameter2, std::uint32_t systemErrorCode) {
  Status = status;
  RaiseFile = file;
  RaiseFunction = function;
  RaiseLine = line;
  Description = description;
  Parameter1 = parameter1;
  Parameter2 = parameter2;
  SystemErrorCode = systemErrorCode;
}

void TFunStatContext::SetShowContext(const std::string& file, const std::string& function,
                                     int line) {
  ShowFile = file;
  ShowFunction = function;
  ShowLine = line;
}

std::string TFunStatContext::StatusName(std::int32_t status) {
  switch (status) {
  case fsPerfect:
    return "Perfect";
  case fsWarning:
    return "Warning";
  case fsError:
    return "Error";
  case fsBeginFunctionError:
    return "Begin function error";
  case fsPanic:
    return "Panic";
  case fsCatastrophe:
    return "Catastrophe";
  default:
    return "Unknown function status";
  }
}

std::string TFunStatContext::BuildReport() const {
  std::string report;
  try {
    const auto line = [&report](const std::string& text) {
      report += "\r\n";
      report += text;
    };
    line("RAISE CONTEXT");
    std::string status = StatusName(Status);
    if (Status == fsCatastrophe)
      status += ": CATASTROPHIC FAILURE!!! It is highly recommended to terminate the program "
                "immediately!";
    line("* Status: " + status);
    line("* File: " + Quoted(NamePart(RaiseFile)));
    line("* Function: " + Quoted(RaiseFunction));
    line("* Line: " + std::to_string(RaiseLine));
    line("* Description: " + Quoted(Description));
    if (!Parameter1.empty())
      line("* Parameter 1: " + Quoted(Parameter1));
    if (!Parameter2.empty())
      line("* Parameter 2: " + Quoted(Parameter2));
    if (SystemErrorCode != 0) {
      line("* System error code: " + std::to_string(SystemErrorCode));
      line("* System error description: " + Quoted(::SystemErrorText(SystemErrorCode)));
    }
    line("");
    line("SHOW CONTEXT");
    line("* File: " + Quoted(NamePart(ShowFile)));
    line("* Function: " + Quoted(ShowFunction));
    line("* Line: " + std::to_string(ShowLine));
    line("");
    line("INFO");
    line("* Time: " + DateTimeText(" | ", Now()));
    line("* Program: " + GetProgramFileName());
    const IErrorDialog* dialog = GetErrorDialog();
    line("* Recursive attempts: " + std::to_string(dialog ? dialog->RecursionCount() : 0));
    line("");
    line("USER INFO");
    line("* UserCode: " + std::to_string(UserCode));
    line("* UserText: " + UserText);
    line("* UserInt: " + std::to_string(UserInt));
    line("* UserReal: " + GeneralReal(UserReal));
  } catch (...) {
    // The report built so far.
  }
  return report;
}

bool TFunStatContext::Show(const std::string& message, bool* noErrors) {
  IErrorDialog* dialog = GetErrorDialog();
  if (!dialog) {
    if (noErrors)
      *noErrors = false;
    MessageDialog("Error", "The error-dialog form is not created. You must create it.", 0);
    return false;
  }
  return dialog->ShowReport(StatusName(Status), message, noErrors, BuildReport());
}

void TFunStatContext::OnApplicationException(const std::string& exceptionMessage) {
  // Works on the global context, whichever object it is attached through.
  const std::string text = "Unhandled error.\r\n" + exceptionMessage;
  const int line = __LINE__;
  FunStatContext.SetStatus(fsError, UnitName, "TFunStatContext::OnApplicationException", line, text,
                           "", "", plat::GetLastError());
  FunStatContext.SetShowContext(UnitName, "TFunStatContext::OnApplicationException", line);
  FunStatContext.Show(text);
  FunStatContext.Reset(fsPerfect);
}

// --- last system error -------------------------------------------------------------

bool LastCallFailed() {
  const std::uint32_t code = plat::GetLastError();
  return !(code == plat::ErrorSuccess || code == plat::ErrorNotEnoughMemory ||
           code == plat::ErrorRequestAborted);
}

bool LastCreateFailed() {
  return LastCallFailed() && plat::GetLastError() != plat::ErrorAlreadyExists;
}

std::string SystemErrorText(std::uint32_t code) {
  return plat::SystemErrorText(code);
}

// --- the error dialog slot ---------------------------------------------------------

void SetErrorDialog(IErrorDialog* dialog) {
  InstalledErrorDialog = dialog;
}
IErrorDialog* GetErrorDialog() {
  return InstalledErrorDialog;
}

// --- TOrvanelError -----------------------------------------------------------------

TOrvanelError::TOrvanelError(const std::string& message, const char* file, int line)
    : std::runtime_error(message), throwFile_(file ? file : ""), throwLine_(line) {}

CaughtException DescribeCurrentException() {
  CaughtException caught{"Unhandled generic exception.", "", "0"};
  if (!std::current_exception())
    return caught;
  try {
    throw;
  } catch (const TOrvanelError& e) {
    caught.Description = std::string("Unhandled exception: ") + e.what();
    caught.File = e.ThrowFile();
    caught.Line = std::to_string(e.ThrowLine());
  } catch (const std::exception& e) {
    caught.Description = std::string("Unhandled exception: ") + e.what();
  } catch (...) {
  }
  return caught;
}

// --- StatusFrame -------------------------------------------------------------------

StatusFrame::StatusFrame(const char* unit, const char* function, int line)
    : unit_(unit), function_(function) {
  FunStatContext.BeginFunction(unit, function, line);
}

StatusFrame::~StatusFrame() {
  FunStatContext = Local;
}

void StatusFrame::Record(std::int32_t status, int line, const std::string& description,
                         const std::string& parameter1, const std::string& parameter2,
                         std::uint32_t systemErrorCode) {
  Local.SetStatus(status, unit_, function_, line, description, parameter1, parameter2,
                  systemErrorCode);
}

bool StatusFrame::TakeOver() {
  if (FunStatContext.Status <= fsWarning)
    return false;
  Local = FunStatContext;
  return true;
}

void StatusFrame::RecordCurrentException(int line) {
  try {
    const CaughtException caught = DescribeCurrentException();
    Local.SetStatus(fsError, unit_, function_, line, caught.Description, caught.File, caught.Line,
                    0);
  } catch (...) {
    Local.Status = fsError;
  }
}

void StatusFrame::ShowStep(int line, const std::string& message) {
  if (Local.Status > fsWarning) {
    Local.SetShowContext(unit_, "", line);
    try {
      Local.Show(message);
    } catch (...) {
      // Showing never lets an exception out of the operation.
    }
  }
  Local.Reset(fsPerfect);
}
