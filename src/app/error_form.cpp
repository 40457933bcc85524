#include "app/error_form.h"

#include "app/main_form.h"

#include <wx/button.h>
#include <wx/panel.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "app/error_log.h"
#include "app/form_style.h"
#include "app/wx_text.h"
#include "lib/dialogs.h"
#include "lib/file.h"
#include "lib/installed.h"
#include "lib/program.h"

TErrorForm* ErrorForm = nullptr;

TErrorForm::TErrorForm(wxWindow* owner)
    : wxDialog(owner, wxID_ANY, "Error", wxDefaultPosition, wxDefaultSize,
               wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX),
      LogFileName(MakeProgramPath("Errors.log")),
      StateLogFileName(MakeUserStatePath("Errors.log")) {
  SetFont(ArialPoints(9));
  SetBackgroundColour(FaceColour());
  SetClientSize(DesignSize(this, 340, 265));

  auto place = [this](wxWindow* control, int left, int top, int width, int height) {
    control->SetSize(DesignRect(this, left, top, width, height));
  };
  // Created in tab order.
  MainMemo = new wxTextCtrl(this, wxID_ANY, wxEmptyString, wxDefaultPosition, wxDefaultSize,
                            wxTE_MULTILINE | wxTE_READONLY | wxVSCROLL);
  MainMemo->SetBackgroundColour(FaceColour());
  place(MainMemo, 5, 5, 330, 120);
  OkayButton = new wxButton(this, wxID_OK, "&Okay");
  place(OkayButton, 25, 135, 75, 25);
  CancelButton = new wxButton(this, wxID_CANCEL, "&Cancel");
  place(CancelButton, 240, 135, 75, 25);
  OkayNoErrorsButton = new wxButton(this, wxID_YES, "O&kay (no errors)");
  place(OkayNoErrorsButton, 110, 135, 120, 25);
  TerminateButton = new wxButton(this, wxID_ANY, "&Terminate application immediately");
  place(TerminateButton, 65, 170, 210, 25);
  LogButton = new wxButton(this, wxID_ANY, "&Log");
  place(LogButton, 90, 205, 75, 25);
  HelpButton = new wxButton(this, wxID_ANY, "&Help");
  place(HelpButton, 175, 205, 75, 25);
  RecursionLabel = new wxStaticText(this, wxID_ANY, "Recursion");
  RecursionLabel->SetPosition(DesignRect(this, 5, 240, 57, 15).GetPosition());

  SetEscapeId(wxID_CANCEL);
  Bind(wxEVT_ACTIVATE, &TErrorForm::FormActivate, this);
  Bind(wxEVT_INIT_DIALOG, [this](wxInitDialogEvent&) { OkayButton->SetFocus(); });
  OkayButton->Bind(wxEVT_BUTTON, &TErrorForm::OkayButtonClick, this);
  OkayNoErrorsButton->Bind(wxEVT_BUTTON, &TErrorForm::OkayNoErrorsButtonClick, this);
  TerminateButton->Bind(wxEVT_BUTTON, &TErrorForm::TerminateButtonClick, this);
  LogButton->Bind(wxEVT_BUTTON, &TErrorForm::LogButtonClick, this);
  HelpButton->Bind(wxEVT_BUTTON, &TErrorForm::HelpButtonClick, this);
}

TErrorForm::~TErrorForm() {
  if (GetErrorDialog() == this)
    SetErrorDialog(nullptr);
  if (ErrorForm == this)
    ErrorForm = nullptr;
}

bool TErrorForm::ShowReport(const std::string& caption, const std::string& message, bool* noErrors,
                            const std::string& report) {
  // The log pane shows what led here before the dialog covers it.
  if (MainForm)
    MainForm->FlushLog();
  int closing = wxID_CANCEL;
  try {
    SetTitle(ToWx(caption));
    if (recursionCount_ > 0) {
      // Code that ran while the dialog waited for the user: count it, keep
      // the first report.
      ++recursionCount_;
      RecursionLabel->SetLabel(wxString::Format("Recursive attempts = %d", recursionCount_ - 1));
      return true;
    }
    recursionCount_ = 1;
    RecursionLabel->SetLabel("Recursive attempts = None");
    memoText_ = "DESCRIPTION\r\n" +
                (message.empty() ? std::string("Failed to perform.") : message) + "\r\n" + report;
    MainMemo->ChangeValue(MemoLines(ToWx(memoText_)));
    MainMemo->ShowPosition(0);
    if (!IsShown()) {
      SetReturnCode(wxID_CANCEL);
      if (GetParent() && GetParent()->IsShown())
        CentreOnParent();
      else
        CentreOnScreen();
      closing = ShowModal();
    } else {
      closing = GetReturnCode();
    }
  } catch (...) {
    // Showing a failure must never become a failure of its own.
  }
  recursionCount_ = 0;
  const bool okay = closing == wxID_OK || closing == wxID_YES;
  if (noErrors)
    *noErrors = closing == wxID_YES;
  return okay;
}

bool TErrorForm::WriteLog() {
  writtenLogFileName_.clear();
  if (WriteErrorLog(LogFileName, memoText_)) {
    writtenLogFileName_ = LogFileName;
    return true;
  }
  if (StateLogFileName.empty() || StateLogFileName == LogFileName)
    return false;
  CreateFolderOf(StateLogFileName);
  if (!WriteErrorLog(StateLogFileName, memoText_))
    return false;
  writtenLogFileName_ = StateLogFileName;
  return true;
}

void TErrorForm::FormActivate(wxActivateEvent& event) {
  if (event.GetActive())
    OkayButton->SetFocus();
  event.Skip();
}

void TErrorForm::OkayButtonClick(wxCommandEvent&) {
  EndModal(wxID_OK);
}

void TErrorForm::OkayNoErrorsButtonClick(wxCommandEvent&) {
  EndModal(wxID_YES);
}

void TErrorForm::TerminateButtonClick(wxCommandEvent&) {
  TerminateProgram();
}

void TErrorForm::LogButtonClick(wxCommandEvent&) {
  if (!WriteLog())
    return;
  BeepOkay();
  // Beside the program the user knows where to look; anywhere else is told.
  if (writtenLogFileName_ != LogFileName)
    MessageDialog("Information", "The error log was written to \"" + writtenLogFileName_ + "\".",
                  MB_ICONINFORMATION_FLAG | MB_TASKMODAL_FLAG);
}

void TErrorForm::HelpButtonClick(wxCommandEvent&) {
  // The user guide is the program's one help file.
  RunFile(FindProgramDocument("Help.txt"), "", "", false, true);
}
