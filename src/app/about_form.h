// The About dialog: the program's name, version and author, and buttons to
// the author's web site.
#pragma once

#include <string>

#include <wx/dialog.h>

class wxButton;
class wxPanel;
class wxStaticText;
class wxActivateEvent;

class TAboutForm : public wxDialog {
public:
  explicit TAboutForm(wxWindow* owner);
  ~TAboutForm() override;

  /// Shows the dialog modally; a failure is shown in the error dialog.
  void Dialog();
  /// The address of a page of the author's site ("" for the root page).
  static std::string SiteAddress(const std::string& page);

  wxPanel* AboutPanel;
  wxStaticText* ProgramNameLabel;
  wxStaticText* ProgramVersionLabel;
  wxStaticText* AuthorLabel;
  wxStaticText* ProgramsLabel;
  wxButton* VisitMySiteButton;
  wxButton* LicenseTermsButton;
  wxButton* ContactMeButton;
  wxButton* OkayButton;

private:
  void FormActivate(wxActivateEvent& event);
};

/// The one About dialog while it exists.
extern TAboutForm* AboutForm;
