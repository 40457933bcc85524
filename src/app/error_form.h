// The error dialog: every failure that is shown reaches the user here, with
// the full report, and can be appended to the error log.
#pragma once

#include <string>

#include <wx/dialog.h>

#include "lib/error.h"

class wxButton;
class wxStaticText;
class wxTextCtrl;
class wxActivateEvent;
class wxCommandEvent;

class TErrorForm : public wxDialog, public IErrorDialog {
public:
  explicit TErrorForm(wxWindow* owner);
  ~TErrorForm() override;

  /// Shows the report modally; a request while one is showing is only
  /// counted. True for Okay and Okay (no errors).
  bool ShowReport(const std::string& caption, const std::string& message, bool* noErrors,
                  const std::string& report) override;
  int RecursionCount() const override { return recursionCount_; }
  /// Appends the memo's text to the error log: beside the program, or when
  /// that cannot be written, in the user's state folder. True on success.
  bool WriteLog();
  /// Where the last successful WriteLog wrote.
  const std::string& WrittenLogFileName() const { return writtenLogFileName_; }
  /// The memo's text as shown, with CR LF line ends.
  const std::string& MemoText() const { return memoText_; }

  /// Where WriteLog writes: "Errors.log" beside the program.
  std::string LogFileName;
  /// Where it writes when the program's folder is not writable (an installed
  /// copy): "Errors.log" in the user's state folder; empty for nowhere.
  std::string StateLogFileName;

  wxTextCtrl* MainMemo;
  wxButton* OkayButton;
  wxButton* OkayNoErrorsButton;
  wxButton* CancelButton;
  wxButton* TerminateButton;
  wxButton* LogButton;
  wxButton* HelpButton;
  wxStaticText* RecursionLabel;

private:
  void FormActivate(wxActivateEvent& event);
  void OkayButtonClick(wxCommandEvent& event);
  void OkayNoErrorsButtonClick(wxCommandEvent& event);
  void TerminateButtonClick(wxCommandEvent& event);
  void LogButtonClick(wxCommandEvent& event);
  void HelpButtonClick(wxCommandEvent& event);

  int recursionCount_ = 0;
  std::string memoText_;
  std::string writtenLogFileName_;
};

/// The one error dialog while it exists.
extern TErrorForm* ErrorForm;
