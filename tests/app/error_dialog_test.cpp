// The error dialog shown for real: its text, its answers, the recursion
// count, the Log and Terminate buttons; and the error log's size rule.
#include <gtest/gtest.h>
#include <wx/button.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "app/error_form.h"
#include "app/error_log.h"
#include "app/orvanel_app.h"
#include "app/wx_text.h"
#include "app_fixture.h"
#include "lib/error.h"
#include "lib/installed.h"
#include "lib/program.h"
#include "window_driver.h"

using namespace app_testing;
using namespace testing_support;

namespace {

std::string Text(const wxString& s) {
  return FromWx(s);
}

const std::string Report = "\r\nRAISE CONTEXT\r\n* Status: Error";

struct Answer {
  bool Result;
  bool NoErrors;
};

// Shows a report in the real dialog and closes it with CLOSE.
Answer ShowAndClose(const std::function<void(TErrorForm&)>& close) {
  WhenModal answer([&](wxDialog&) { close(*ErrorForm); });
  bool noErrors = true;
  const bool result = ErrorForm->ShowReport("Error", "Failed.", &noErrors, Report);
  EXPECT_TRUE(answer.Ran());
  return {result, noErrors};
}

} // namespace

class ErrorDialogTest : public WindowTest {
protected:
  void SetUp() override {
    WindowTest::SetUp();
    Start({"orvanel"});
  }
};

TEST_F(ErrorDialogTest, ShowsTheMessageAndReportAndCountsRequestsWhileShowing) {
  ASSERT_EQ(GetErrorDialog(), ErrorForm);
  EXPECT_EQ(Text(ErrorForm->GetTitle()), "Error");
  EXPECT_EQ(Text(ErrorForm->RecursionLabel->GetLabel()), "Recursion");

  bool shownWhileModal = false;
  WhenModal inside([&](wxDialog& dialog) {
    shownWhileModal = &dialog == ErrorForm;
    EXPECT_EQ(Text(dialog.GetTitle()), "Panic");
    EXPECT_EQ(ErrorForm->MemoText(), "DESCRIPTION\r\nThe first failure.\r\n" + Report);
    EXPECT_EQ(Text(ErrorForm->MainMemo->GetValue()),
              "DESCRIPTION\nThe first failure.\n\nRAISE CONTEXT\n* Status: Error");
    EXPECT_EQ(Text(ErrorForm->RecursionLabel->GetLabel()), "Recursive attempts = None");
    EXPECT_EQ(ErrorForm->RecursionCount(), 1);
    EXPECT_TRUE(WaitUntil([] { return wxWindow::FindFocus() == ErrorForm->OkayButton; }, 3000));

    // Two more failures while the user reads the first.
    bool noErrors = true;
    EXPECT_TRUE(ErrorForm->ShowReport("Error", "A second failure.", &noErrors, "\r\nother"));
    EXPECT_TRUE(noErrors) << "untouched by a counted request";
    EXPECT_EQ(Text(ErrorForm->RecursionLabel->GetLabel()), "Recursive attempts = 1");
    EXPECT_EQ(Text(dialog.GetTitle()), "Error");
    EXPECT_TRUE(ErrorForm->ShowReport("Catastrophe", "A third failure.", nullptr, "\r\nmore"));
    EXPECT_EQ(Text(ErrorForm->RecursionLabel->GetLabel()), "Recursive attempts = 2");
    EXPECT_EQ(ErrorForm->RecursionCount(), 3);
    EXPECT_EQ(ErrorForm->MemoText(), "DESCRIPTION\r\nThe first failure.\r\n" + Report);
    Click(ErrorForm->OkayNoErrorsButton);
  });
  bool noErrors = false;
  EXPECT_TRUE(ErrorForm->ShowReport("Panic", "The first failure.", &noErrors, Report));
  EXPECT_TRUE(shownWhileModal);
  EXPECT_TRUE(noErrors);
  EXPECT_EQ(ErrorForm->RecursionCount(), 0);
  EXPECT_FALSE(ErrorForm->IsShown());
}

TEST_F(ErrorDialogTest, AnswersByTheButtonThatClosesIt) {
  Answer a = ShowAndClose([](TErrorForm& form) { Click(form.OkayButton); });
  EXPECT_TRUE(a.Result);
  EXPECT_FALSE(a.NoErrors);

  a = ShowAndClose([](TErrorForm& form) { Click(form.OkayNoErrorsButton); });
  EXPECT_TRUE(a.Result);
  EXPECT_TRUE(a.NoErrors);

  a = ShowAndClose([](TErrorForm& form) { Click(form.CancelButton); });
  EXPECT_FALSE(a.Result);
  EXPECT_FALSE(a.NoErrors);

  a = ShowAndClose([](TErrorForm&) {
    ASSERT_TRUE(WaitUntil([] { return wxWindow::FindFocus() == ErrorForm->OkayButton; }, 3000));
    PressKey(WXK_ESCAPE);
  });
  EXPECT_FALSE(a.Result);
  EXPECT_FALSE(a.NoErrors);

  // The title bar's close box.
  a = ShowAndClose([](TErrorForm& form) { form.Close(); });
  EXPECT_FALSE(a.Result);
  EXPECT_FALSE(a.NoErrors);
}

TEST_F(ErrorDialogTest, AnEmptyMessageReadsFailedToPerform) {
  WhenModal close([](wxDialog&) { Click(ErrorForm->OkayButton); });
  ErrorForm->ShowReport("Error", "", nullptr, Report);
  EXPECT_EQ(ErrorForm->MemoText(), "DESCRIPTION\r\nFailed to perform.\r\n" + Report);
}

TEST_F(ErrorDialogTest, StatusContextsAreShownInIt) {
  TFunStatContext context;
  context.SetStatus(fsPanic, "/src/Storage.cpp", "TMemoryStorage::AddText", 42, "Negative size.",
                    "", "", 0);
  context.SetShowContext("/src/Storage.cpp", "", 43);
  std::string memo;
  std::string caption;
  WhenModal close([&](wxDialog& dialog) {
    memo = ErrorForm->MemoText();
    caption = Text(dialog.GetTitle());
    Click(ErrorForm->CancelButton);
  });
  EXPECT_FALSE(context.Show("PANIC: Negative size."));
  EXPECT_EQ(caption, "Panic");
  EXPECT_EQ(memo.rfind("DESCRIPTION\r\nPANIC: Negative size.\r\n\r\nRAISE CONTEXT\r\n", 0), 0u);
  EXPECT_NE(memo.find("* Function: \"TMemoryStorage::AddText\""), std::string::npos);
}

TEST_F(ErrorDialogTest, LogButtonAppendsTheTextToErrorsLog) {
  EXPECT_EQ(ErrorForm->LogFileName, MakeProgramPath("Errors.log"));
  ErrorForm->LogFileName = dir / "Errors.log";
  WriteFileBytes(ErrorForm->LogFileName, "earlier entry\r\n");
  RecordingDialogs beeps;

  ShowAndClose([&](TErrorForm& form) {
    Click(form.LogButton);
    EXPECT_TRUE(WaitUntil([&] { return !beeps.Beeps.empty(); }, 5000));
    EXPECT_TRUE(form.IsModal()) << "the Log button does not close the dialog";
    Click(form.OkayButton);
  });

  EXPECT_EQ(ReadFileBytes(dir / "Errors.log"),
            "earlier entry\r\n**********DESCRIPTION\r\nFailed.\r\n" + Report +
                "\r\n**********\r\n");
  EXPECT_EQ(beeps.Beeps, std::vector<std::uint32_t>{0});
  EXPECT_TRUE(beeps.Boxes.empty()) << "beside the program nothing needs saying";
}

TEST_F(ErrorDialogTest, LogButtonWritesToTheStateFolderWhenTheProgramsFolderIsNotWritable) {
  EXPECT_EQ(ErrorForm->StateLogFileName, MakeUserStatePath("Errors.log"));
  // A "folder" that is a file cannot be written, not even by root.
  WriteFileBytes(dir / "program", "");
  ErrorForm->LogFileName = dir / "program/Errors.log";
  ErrorForm->StateLogFileName = dir / "state/orvanel/Errors.log";
  RecordingDialogs dialogs;

  ShowAndClose([&](TErrorForm& form) {
    Click(form.LogButton);
    EXPECT_TRUE(WaitUntil([&] { return !dialogs.Beeps.empty(); }, 5000));
    Click(form.OkayButton);
  });

  EXPECT_EQ(ReadFileBytes(dir / "state/orvanel/Errors.log"),
            "**********DESCRIPTION\r\nFailed.\r\n" + Report + "\r\n**********\r\n");
  EXPECT_EQ(ErrorForm->WrittenLogFileName(), dir / "state/orvanel/Errors.log");
  ASSERT_EQ(dialogs.Boxes.size(), 1u) << "the user is told where the log went";
  EXPECT_EQ(dialogs.Boxes[0].Text,
            "The error log was written to \"" + (dir / "state/orvanel/Errors.log") + "\".");
  EXPECT_EQ(dialogs.Beeps, std::vector<std::uint32_t>{0});

  // Beside the program again as soon as that can be written.
  ErrorForm->LogFileName = dir / "Errors.log";
  ASSERT_TRUE(ErrorForm->WriteLog());
  EXPECT_EQ(ErrorForm->WrittenLogFileName(), dir / "Errors.log");
}

TEST_F(ErrorDialogTest, LogButtonGivesNoBeepWhenTheLogCannotBeWritten) {
  ErrorForm->LogFileName = dir / "no-such-folder/Errors.log";
  WriteFileBytes(dir / "state", "");
  ErrorForm->StateLogFileName = dir / "state/orvanel/Errors.log";
  RecordingDialogs beeps;
  ShowAndClose([&](TErrorForm& form) {
    Click(form.LogButton);
    Pump(200);
    Click(form.OkayButton);
  });
  EXPECT_TRUE(beeps.Beeps.empty());
  EXPECT_TRUE(beeps.Boxes.empty());
}

TEST_F(ErrorDialogTest, TerminateButtonEndsTheProgramWithExitCode1) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        WhenModal terminate([](wxDialog&) { Click(ErrorForm->TerminateButton); });
        ErrorForm->ShowReport("Error", "Failed.", nullptr, Report);
        std::exit(5); // not reached when the button works
      },
      ::testing::ExitedWithCode(1), "");
}

TEST(ErrorLog, EntriesAreTheTextBetweenTwoRowsOfAsterisks) {
  TempDir dir;
  const std::string log = dir / "Errors.log";
  ASSERT_TRUE(WriteErrorLog(log, "DESCRIPTION\r\nFirst."));
  ASSERT_TRUE(WriteErrorLog(log, "DESCRIPTION\r\nSecond."));
  EXPECT_EQ(ReadFileBytes(log), "**********DESCRIPTION\r\nFirst.\r\n**********\r\n"
                                "**********DESCRIPTION\r\nSecond.\r\n**********\r\n");
}

TEST(ErrorLog, ALogOverTenThousandBytesStartsAfresh) {
  TempDir dir;
  const std::string log = dir / "Errors.log";
  const std::string entry = "**********new\r\n**********\r\n";

  WriteFileBytes(log, std::string(10000, 'x'));
  ASSERT_TRUE(WriteErrorLog(log, "new"));
  EXPECT_EQ(ReadFileBytes(log), std::string(10000, 'x') + entry) << "10,000 bytes: appended";

  WriteFileBytes(log, std::string(10001, 'x'));
  ASSERT_TRUE(WriteErrorLog(log, "new"));
  EXPECT_EQ(ReadFileBytes(log), entry) << "10,001 bytes: emptied first";
}

TEST(ErrorLog, FailsWhenTheFileCannotBeOpened) {
  TempDir dir;
  EXPECT_FALSE(WriteErrorLog(dir / "missing/Errors.log", "text"));
  EXPECT_FALSE(FileExists(dir / "missing/Errors.log"));
}
