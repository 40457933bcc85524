// The function status context: fields, frame rules, report text, showing.
#include "lib/error.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "lib/platform/platform.h"
#include "lib/program.h"
#include "support/test_support.h"

using testing_support::RecordingDialogs;
using testing_support::RecordingErrorDialog;

namespace {

std::vector<std::string> SplitCrLf(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (;;) {
    const std::size_t at = text.find("\r\n", start);
    if (at == std::string::npos) {
      lines.push_back(text.substr(start));
      return lines;
    }
    lines.push_back(text.substr(start, at - start));
    start = at + 2;
  }
}

class StatusContextTest : public ::testing::Test {
protected:
  void SetUp() override {
    FunStatContext.Reset(fsPerfect);
    FunStatContext.ResetUserInfo();
    FunStatContext.SetShowContext("", "", 0);
  }
  void TearDown() override { SetUp(); }
};

// --- three framework operations nested like the program's ---------------------

void InnerOperation(std::int32_t status) {
  StatusFrame frame("Inner/Unit.pas", "TInner::Work", 100);
  frame.Run(101, [&] {
    if (status != fsPerfect)
      frame.Record(status, 102, "Inner went wrong.", "inner.txt", "", 2);
  });
}

bool MiddleCarriedOn = false;

void MiddleOperation(std::int32_t innerStatus) {
  StatusFrame frame("Middle", "TMiddle::Work", 200);
  MiddleCarriedOn = false;
  frame.Run(201, [&] {
    InnerOperation(innerStatus);
    if (frame.TakeOver())
      return;
    MiddleCarriedOn = true;
  });
}

void TopOperation(std::int32_t innerStatus) {
  StatusFrame frame("Top", "TTop::Work", 300);
  frame.Run(301, [&] {
    MiddleOperation(innerStatus);
    frame.TakeOver();
  });
  frame.ShowStep(305, "Top failed.");
}

} // namespace

TEST_F(StatusContextTest, NewContextIsEmpty) {
  TFunStatContext c;
  EXPECT_EQ(c.Status, fsPerfect);
  EXPECT_EQ(c.RaiseFile, "");
  EXPECT_EQ(c.RaiseFunction, "");
  EXPECT_EQ(c.RaiseLine, 0);
  EXPECT_EQ(c.Description, "");
  EXPECT_EQ(c.Parameter1, "");
  EXPECT_EQ(c.Parameter2, "");
  EXPECT_EQ(c.SystemErrorCode, 0u);
  EXPECT_EQ(c.ShowFile, "");
  EXPECT_EQ(c.ShowFunction, "");
  EXPECT_EQ(c.ShowLine, 0);
  EXPECT_EQ(c.UserCode, 0);
  EXPECT_EQ(c.UserText, "");
  EXPECT_EQ(c.UserInt, 0);
  EXPECT_EQ(c.UserReal, 0.0);
}

TEST_F(StatusContextTest, StatusNames) {
  EXPECT_EQ(TFunStatContext::StatusName(fsPerfect), "Perfect");
  EXPECT_EQ(TFunStatContext::StatusName(fsWarning), "Warning");
  EXPECT_EQ(TFunStatContext::StatusName(fsError), "Error");
  EXPECT_EQ(TFunStatContext::StatusName(fsBeginFunctionError), "Begin function error");
  EXPECT_EQ(TFunStatContext::StatusName(fsPanic), "Panic");
  EXPECT_EQ(TFunStatContext::StatusName(fsCatastrophe), "Catastrophe");
  EXPECT_EQ(TFunStatContext::StatusName(7), "Unknown function status");
  EXPECT_EQ(TFunStatContext::StatusName(-1), "Unknown function status");
}

TEST_F(StatusContextTest, AssignmentKeepsTheTargetsShowContext) {
  TFunStatContext source;
  source.SetStatus(fsError, "A", "F", 3, "D", "P1", "P2", 5);
  source.SetShowContext("SourceShow", "SF", 9);
  source.UserCode = 4;
  source.UserText = "t";
  source.UserInt = 6;
  source.UserReal = 1.5;
  TFunStatContext target;
  target.SetShowContext("TargetShow", "TF", 77);
  target = source;
  EXPECT_EQ(target.Status, fsError);
  EXPECT_EQ(target.RaiseFile, "A");
  EXPECT_EQ(target.RaiseFunction, "F");
  EXPECT_EQ(target.RaiseLine, 3);
  EXPECT_EQ(target.Description, "D");
  EXPECT_EQ(target.Parameter1, "P1");
  EXPECT_EQ(target.Parameter2, "P2");
  EXPECT_EQ(target.SystemErrorCode, 5u);
  EXPECT_EQ(target.UserCode, 4);
  EXPECT_EQ(target.UserText, "t");
  EXPECT_EQ(target.UserInt, 6);
  EXPECT_EQ(target.UserReal, 1.5);
  EXPECT_EQ(target.ShowFile, "TargetShow");
  EXPECT_EQ(target.ShowFunction, "TF");
  EXPECT_EQ(target.ShowLine, 77);

  const TFunStatContext copy(source);
  EXPECT_EQ(copy.Description, "D");
  EXPECT_EQ(copy.ShowFile, "");
  EXPECT_EQ(copy.ShowLine, 0);
}

TEST_F(StatusContextTest, BeginFunctionAndResetKeepShowContextAndUserInfo) {
  TFunStatContext c;
  c.SetStatus(fsError, "A", "F", 3, "D", "P1", "P2", 5);
  c.SetShowContext("S", "SF", 9);
  c.UserCode = 1;
  c.BeginFunction("Unit", "Fun", 12);
  EXPECT_EQ(c.Status, fsBeginFunctionError);
  EXPECT_EQ(c.RaiseFile, "Unit");
  EXPECT_EQ(c.RaiseFunction, "Fun");
  EXPECT_EQ(c.RaiseLine, 12);
  EXPECT_EQ(c.Description, "");
  EXPECT_EQ(c.Parameter1, "");
  EXPECT_EQ(c.Parameter2, "");
  EXPECT_EQ(c.SystemErrorCode, 0u);
  EXPECT_EQ(c.ShowFile, "S");
  EXPECT_EQ(c.UserCode, 1);
  c.Reset(fsWarning);
  EXPECT_EQ(c.Status, fsWarning);
  EXPECT_EQ(c.RaiseFile, "");
  EXPECT_EQ(c.RaiseFunction, "");
  EXPECT_EQ(c.RaiseLine, 0);
  EXPECT_EQ(c.ShowLine, 9);
  EXPECT_EQ(c.UserCode, 1);
  c.ResetUserInfo();
  EXPECT_EQ(c.UserCode, 0);
}

TEST_F(StatusContextTest, SuccessLeavesPerfectWithEmptyRaiseFields) {
  InnerOperation(fsPerfect);
  EXPECT_EQ(FunStatContext.Status, fsPerfect);
  EXPECT_EQ(FunStatContext.RaiseFile, "");
  EXPECT_EQ(FunStatContext.RaiseFunction, "");
  EXPECT_EQ(FunStatContext.RaiseLine, 0);
  EXPECT_EQ(FunStatContext.Description, "");
}

TEST_F(StatusContextTest, BeginFunctionStatusUntilTheOperationEnds) {
  StatusFrame frame("Unit", "TThing::Run", 40);
  EXPECT_EQ(FunStatContext.Status, fsBeginFunctionError);
  EXPECT_EQ(FunStatContext.RaiseFunction, "TThing::Run");
  EXPECT_EQ(FunStatContext.RaiseFile, "Unit");
  EXPECT_EQ(FunStatContext.RaiseLine, 40);
  EXPECT_EQ(frame.Local.Status, fsPerfect);
  // A nested operation that never reached its end leaves its own begin status.
  {
    FunStatContext.BeginFunction("Unit", "TThing::Nested", 50);
    EXPECT_EQ(FunStatContext.Status, fsBeginFunctionError);
    EXPECT_TRUE(frame.TakeOver());
    EXPECT_EQ(frame.Local.Status, fsBeginFunctionError);
    EXPECT_EQ(frame.Local.RaiseFunction, "TThing::Nested");
  }
}

TEST_F(StatusContextTest, FailureTwoCallsDeepKeepsInnermostRaiseContext) {
  MiddleOperation(fsError);
  EXPECT_FALSE(MiddleCarriedOn);
  EXPECT_EQ(FunStatContext.Status, fsError);
  EXPECT_EQ(FunStatContext.RaiseFile, "Inner/Unit.pas");
  EXPECT_EQ(FunStatContext.RaiseFunction, "TInner::Work");
  EXPECT_EQ(FunStatContext.RaiseLine, 102);
  EXPECT_EQ(FunStatContext.Description, "Inner went wrong.");
}

TEST_F(StatusContextTest, TopLevelShowsInnerRaiseContextWithItsShowContext) {
  RecordingErrorDialog dialog;
  TopOperation(fsPanic);
  ASSERT_EQ(dialog.Reports.size(), 1u);
  EXPECT_EQ(dialog.Reports[0].Caption, "Panic");
  EXPECT_EQ(dialog.Reports[0].Message, "Top failed.");
  const auto lines = SplitCrLf(dialog.Reports[0].Report);
  EXPECT_EQ(lines[3], "* File: \"Unit.pas\"");
  EXPECT_EQ(lines[4], "* Function: \"TInner::Work\"");
  EXPECT_EQ(lines[5], "* Line: 102");
  EXPECT_EQ(lines[6], "* Description: \"Inner went wrong.\"");
  EXPECT_EQ(lines[12], "* File: \"Top\"");
  EXPECT_EQ(lines[13], "* Function: \"\"");
  EXPECT_EQ(lines[14], "* Line: 305");
  // The shown failure is consumed.
  EXPECT_EQ(FunStatContext.Status, fsPerfect);
  EXPECT_EQ(FunStatContext.RaiseFunction, "");
  // The global's show context is not touched by the hand-over.
  EXPECT_EQ(FunStatContext.ShowFile, "");
}

TEST_F(StatusContextTest, WarningIsNotTakenOver) {
  MiddleOperation(fsWarning);
  EXPECT_TRUE(MiddleCarriedOn);
  EXPECT_EQ(FunStatContext.Status, fsPerfect);
  EXPECT_EQ(FunStatContext.RaiseFunction, "");

  RecordingErrorDialog dialog;
  TopOperation(fsWarning);
  EXPECT_TRUE(dialog.Reports.empty());
  EXPECT_EQ(FunStatContext.Status, fsPerfect);
}

TEST_F(StatusContextTest, CaughtStandardExceptionIsAnError) {
  {
    StatusFrame frame("Unit", "Thrower", 10);
    frame.Run(20, [] { throw std::runtime_error("boom"); });
    EXPECT_EQ(frame.Local.Status, fsError);
    EXPECT_EQ(frame.Local.RaiseFile, "Unit");
    EXPECT_EQ(frame.Local.RaiseFunction, "Thrower");
    EXPECT_EQ(frame.Local.RaiseLine, 20);
    EXPECT_EQ(frame.Local.Description, "Unhandled exception: boom");
    EXPECT_EQ(frame.Local.Parameter1, "");
    EXPECT_EQ(frame.Local.Parameter2, "0");
    EXPECT_EQ(frame.Local.SystemErrorCode, 0u);
  }
  EXPECT_EQ(FunStatContext.Status, fsError);
  EXPECT_EQ(FunStatContext.Description, "Unhandled exception: boom");
  // The report still has a Parameter 2 line whose value is 0.
  const auto lines = SplitCrLf(FunStatContext.BuildReport());
  EXPECT_EQ(lines[7], "* Parameter 2: \"0\"");
  EXPECT_EQ(lines[8], "");
}

TEST_F(StatusContextTest, CaughtOtherValueIsAGenericException) {
  {
    StatusFrame frame("Unit", "Thrower", 10);
    frame.Run(21, [] { throw 42; });
  }
  EXPECT_EQ(FunStatContext.Status, fsError);
  EXPECT_EQ(FunStatContext.Description, "Unhandled generic exception.");
  EXPECT_EQ(FunStatContext.RaiseLine, 21);
  EXPECT_EQ(FunStatContext.Parameter1, "");
  EXPECT_EQ(FunStatContext.Parameter2, "0");
}

TEST_F(StatusContextTest, OwnExceptionCarriesItsThrowSite) {
  int throwLine = 0;
  {
    StatusFrame frame("Unit", "Thrower", 10);
    frame.Run(22, [&] {
      throwLine = __LINE__ + 1;
      throw TOrvanelError("bad input");
    });
  }
  EXPECT_EQ(FunStatContext.Description, "Unhandled exception: bad input");
  EXPECT_NE(FunStatContext.Parameter1.find("error_test.cpp"), std::string::npos);
  EXPECT_EQ(FunStatContext.Parameter2, std::to_string(throwLine));
}

TEST_F(StatusContextTest, DescribeCurrentExceptionOutsideACatch) {
  const CaughtException caught = DescribeCurrentException();
  EXPECT_EQ(caught.Description, "Unhandled generic exception.");
  EXPECT_EQ(caught.File, "");
  EXPECT_EQ(caught.Line, "0");
}

TEST_F(StatusContextTest, ReportLineForLine) {
  TFunStatContext c;
  c.SetStatus(fsError, "C:\\Sources\\Libraries\\File.pas", "RunFile", 57, "Failed to run file.",
              "Index.htm", "second", 2);
  c.SetShowContext("/src/Main.pas", "", 812);
  c.UserCode = -3;
  c.UserText = "user \"text\"";
  c.UserInt = 12;
  c.UserReal = 2.5;
  const std::string report = c.BuildReport();
  ASSERT_EQ(report.substr(0, 2), "\r\n");
  ASSERT_NE(report.substr(report.size() - 2), "\r\n");
  const auto lines = SplitCrLf(report);
  const std::vector<std::string> expected = {
      "",
      "RAISE CONTEXT",
      "* Status: Error",
      "* File: \"File.pas\"",
      "* Function: \"RunFile\"",
      "* Line: 57",
      "* Description: \"Failed to run file.\"",
      "* Parameter 1: \"Index.htm\"",
      "* Parameter 2: \"second\"",
      "* System error code: 2",
      "* System error description: \"" + SystemErrorText(2) + "\"",
      "",
      "SHOW CONTEXT",
      "* File: \"Main.pas\"",
      "* Function: \"\"",
      "* Line: 812",
      "",
      "INFO",
      "<time>",
      "* Program: " + GetProgramFileName(),
      "* Recursive attempts: 0",
      "",
      "USER INFO",
      "* UserCode: -3",
      "* UserText: user \"text\"",
      "* UserInt: 12",
      "* UserReal: 2.5",
  };
  ASSERT_EQ(lines.size(), expected.size()) << report;
  for (std::size_t i = 0; i < expected.size(); ++i) {
    if (expected[i] == "<time>")
      continue;
    EXPECT_EQ(lines[i], expected[i]) << "line " << i + 1;
  }
  // "* Time: " long date (day of year) | long time (hundred seconds)
  const std::string& time = lines[18];
  EXPECT_EQ(time.rfind("* Time: ", 0), 0u) << time;
  EXPECT_NE(time.find(") | "), std::string::npos) << time;
  EXPECT_EQ(time.back(), ')') << time;
}

TEST_F(StatusContextTest, ReportWithoutParametersOrSystemError) {
  TFunStatContext c;
  c.SetStatus(fsWarning, "Main", "TMainForm::Process", 1, "d", "", "", 0);
  const auto lines = SplitCrLf(c.BuildReport());
  ASSERT_EQ(lines.size(), 23u);
  EXPECT_EQ(lines[6], "* Description: \"d\"");
  EXPECT_EQ(lines[7], "");
  EXPECT_EQ(lines[8], "SHOW CONTEXT");
  EXPECT_EQ(lines[22], "* UserReal: 0");
}

TEST_F(StatusContextTest, ReportStatusLines) {
  TFunStatContext c;
  c.Status = fsCatastrophe;
  EXPECT_EQ(SplitCrLf(c.BuildReport())[2],
            "* Status: Catastrophe: CATASTROPHIC FAILURE!!! It is highly recommended to "
            "terminate the program immediately!");
  c.Status = 7;
  EXPECT_EQ(SplitCrLf(c.BuildReport())[2], "* Status: Unknown function status");
  c.Status = fsBeginFunctionError;
  EXPECT_EQ(SplitCrLf(c.BuildReport())[2], "* Status: Begin function error");
}

TEST_F(StatusContextTest, ReportUserRealForms) {
  TFunStatContext c;
  const auto real = [&c](double value) {
    c.UserReal = value;
    return SplitCrLf(c.BuildReport()).back();
  };
  EXPECT_EQ(real(0), "* UserReal: 0");
  EXPECT_EQ(real(-1.25), "* UserReal: -1.25");
  EXPECT_EQ(real(0.1), "* UserReal: 0.1");
  EXPECT_EQ(real(1.0 / 3.0), "* UserReal: 0.333333333333333");
  EXPECT_EQ(real(123456789012345.0), "* UserReal: 123456789012345");
  EXPECT_EQ(real(1e20), "* UserReal: 1E20");
  EXPECT_EQ(real(1.5e-7), "* UserReal: 1.5E-7");
}

TEST_F(StatusContextTest, ShowWithoutDialogFallsBackToAMessageBox) {
  RecordingDialogs boxes;
  TFunStatContext c;
  c.Status = fsError;
  bool noErrors = true;
  EXPECT_FALSE(c.Show("message", &noErrors));
  EXPECT_FALSE(noErrors);
  ASSERT_EQ(boxes.Boxes.size(), 1u);
  EXPECT_EQ(boxes.Boxes[0].Caption, "Error");
  EXPECT_EQ(boxes.Boxes[0].Text, "The error-dialog form is not created. You must create it.");
  EXPECT_EQ(boxes.Boxes[0].Flags, MB_TASKMODAL_FLAG);
}

TEST_F(StatusContextTest, ShowPassesCaptionMessageAndReport) {
  RecordingErrorDialog dialog;
  dialog.Answer = false;
  TFunStatContext c;
  c.SetStatus(fsPanic, "MemoryStorage", "TMemoryStorage::Resize", 5, "Size must be positive.", "",
              "", 0);
  EXPECT_FALSE(c.Show("PANIC: Size must be positive."));
  ASSERT_EQ(dialog.Reports.size(), 1u);
  EXPECT_EQ(dialog.Reports[0].Caption, "Panic");
  EXPECT_EQ(dialog.Reports[0].Message, "PANIC: Size must be positive.");
  EXPECT_EQ(SplitCrLf(dialog.Reports[0].Report)[4], "* Function: \"TMemoryStorage::Resize\"");
}

TEST_F(StatusContextTest, ApplicationExceptionIsShownAndConsumed) {
  RecordingErrorDialog dialog;
  plat::SetLastError(plat::ErrorAccessDenied);
  FunStatContext.OnApplicationException("it broke");
  plat::SetLastError(0);
  ASSERT_EQ(dialog.Reports.size(), 1u);
  EXPECT_EQ(dialog.Reports[0].Caption, "Error");
  EXPECT_EQ(dialog.Reports[0].Message, "Unhandled error.\r\nit broke");
  const auto lines = SplitCrLf(dialog.Reports[0].Report);
  EXPECT_EQ(lines[3], "* File: \"Error\"");
  EXPECT_EQ(lines[4], "* Function: \"TFunStatContext::OnApplicationException\"");
  EXPECT_EQ(lines[6], "* Description: \"Unhandled error."); // the CR LF of the text splits it
  EXPECT_EQ(lines[7], "it broke\"");
  EXPECT_EQ(lines[8], "* System error code: " + std::to_string(plat::ErrorAccessDenied));
  EXPECT_EQ(FunStatContext.Status, fsPerfect);
  EXPECT_EQ(FunStatContext.ShowFunction, "TFunStatContext::OnApplicationException");
}

TEST(LastSystemError, SuccessCodes) {
  plat::SetLastError(plat::ErrorSuccess);
  EXPECT_FALSE(LastCallFailed());
  EXPECT_FALSE(LastCreateFailed());
  plat::SetLastError(plat::ErrorNotEnoughMemory);
  EXPECT_FALSE(LastCallFailed());
  plat::SetLastError(plat::ErrorRequestAborted);
  EXPECT_FALSE(LastCallFailed());
  plat::SetLastError(plat::ErrorAlreadyExists);
  EXPECT_TRUE(LastCallFailed());
  EXPECT_FALSE(LastCreateFailed());
  plat::SetLastError(plat::ErrorFileNotFound);
  EXPECT_TRUE(LastCallFailed());
  EXPECT_TRUE(LastCreateFailed());
  plat::SetLastError(0);
  EXPECT_FALSE(SystemErrorText(plat::ErrorFileNotFound).empty());
}

namespace {

// A dialog that reports recursive attempts and notes the global status it
// finds while it is showing.
class CountingErrorDialog : public IErrorDialog {
public:
  CountingErrorDialog() { SetErrorDialog(this); }
  ~CountingErrorDialog() override { SetErrorDialog(nullptr); }
  bool ShowReport(const std::string&, const std::string&, bool* noErrors,
                  const std::string& report) override {
    Report = report;
    GlobalWhileShowing = FunStatContext;
    if (noErrors)
      *noErrors = true;
    return true;
  }
  int RecursionCount() const override { return 2; }
  std::string Report;
  TFunStatContext GlobalWhileShowing;
};

} // namespace

TEST_F(StatusContextTest, ReportCarriesTheDialogsRecursionCount) {
  CountingErrorDialog dialog;
  TFunStatContext c;
  EXPECT_NE(c.BuildReport().find("\r\n* Recursive attempts: 2\r\n"), std::string::npos);
  bool noErrors = false;
  EXPECT_TRUE(c.Show("m", &noErrors));
  EXPECT_TRUE(noErrors);
}

TEST_F(StatusContextTest, UnfinishedOperationLeavesBeginFunctionStatus) {
  // While the panic of Resize is being shown, Resize has not reached its
  // end: the global names it with the begin-function status.
  CountingErrorDialog dialog;
  {
    StatusFrame frame("Unit", "TThing::Panic", 60);
    frame.Run(61, [&] {
      frame.Record(fsPanic, 62, "Broken.");
      frame.Local.SetShowContext("Unit", "", 62);
      frame.Local.Show("PANIC: Broken.");
    });
  }
  EXPECT_EQ(dialog.GlobalWhileShowing.Status, fsBeginFunctionError);
  EXPECT_EQ(dialog.GlobalWhileShowing.RaiseFunction, "TThing::Panic");
  EXPECT_EQ(dialog.GlobalWhileShowing.RaiseLine, 60);
  EXPECT_EQ(FunStatContext.Status, fsPanic);
  EXPECT_EQ(FunStatContext.RaiseLine, 62);
}
