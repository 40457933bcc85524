#include "app/about_form.h"

#include <wx/button.h>
#include <wx/panel.h>
#include <wx/stattext.h>

#include "app/form_style.h"
#include "lib/error.h"
#include "lib/file.h"

#ifndef ORVANEL_SITE_BASE
#define ORVANEL_SITE_BASE "https://www.example.org"
#endif

TAboutForm* AboutForm = nullptr;

namespace {

constexpr const char* Unit = "AboutDialog";
constexpr const char* SiteFailure = "Failed to open site.";

const char* const ProgramsText =
    "If you like this program, visit my site: you will find my other programs there too. "
    "Among them: Quillet, a small editor for plain-text notes that keeps their outline; "
    "Tallyfold, which sums up the columns of text reports; and Clipsheaf, a clipboard "
    "history with named shelves.";

} // namespace

TAboutForm::TAboutForm(wxWindow* owner)
    : wxDialog(owner, wxID_ANY, "About", wxDefaultPosition, wxDefaultSize,
               wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX) {
  SetFont(ArialPixels(12));
  SetBackgroundColour(FaceColour());
  SetClientSize(DesignSize(this, 440, 280));

  AboutPanel = new wxPanel(this, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                           wxBORDER_SUNKEN | wxTAB_TRAVERSAL);
  AboutPanel->SetSize(DesignRect(this, 5, 5, 430, 230));
  AboutPanel->SetBackgroundColour(FaceColour());

  auto label = [this](const wxString& text, int left, int top, int width, int height, long align) {
    auto* control = new wxStaticText(AboutPanel, wxID_ANY, text, wxDefaultPosition, wxDefaultSize,
                                     align | wxST_NO_AUTORESIZE);
    control->SetSize(DesignRect(this, left, top, width, height));
    control->Wrap(control->GetSize().GetWidth());
    return control;
  };
  ProgramNameLabel = label(wxEmptyString, 10, 5, 410, 65, wxALIGN_CENTRE_HORIZONTAL);
  ProgramNameLabel->SetFont(
      wxFont(wxFontInfo(wxSize(0, 48)).FaceName("Comic Sans MS").Bold().Italic()));
  ProgramVersionLabel = label(wxEmptyString, 10, 75, 410, 15, wxALIGN_CENTRE_HORIZONTAL);
  AuthorLabel =
      label("The author of this program: Pellmoss ", 10, 95, 410, 15, wxALIGN_CENTRE_HORIZONTAL);
  ProgramsLabel = label(wxEmptyString, 10, 120, 410, 60, wxALIGN_LEFT);

  auto button = [this](const wxString& caption, int left, int top, int width, int height,
                       wxWindow* parent, wxWindowID id) {
    auto* control = new wxButton(parent, id, caption);
    control->SetSize(DesignRect(this, left, top, width, height));
    return control;
  };
  VisitMySiteButton = button("Visit my site", 60, 190, 100, 25, AboutPanel, wxID_ANY);
  LicenseTermsButton = button("License terms", 165, 190, 100, 25, AboutPanel, wxID_ANY);
  ContactMeButton = button("Contact me", 270, 190, 100, 25, AboutPanel, wxID_ANY);
  OkayButton = button("&Okay", 185, 245, 75, 25, this, wxID_OK);

  ProgramsLabel->SetLabel(ProgramsText);
  ProgramsLabel->Wrap(ProgramsLabel->GetSize().GetWidth());

  SetEscapeId(wxID_OK);
  SetAffirmativeId(wxID_OK);
  Bind(wxEVT_ACTIVATE, &TAboutForm::FormActivate, this);
  Bind(wxEVT_INIT_DIALOG, [this](wxInitDialogEvent&) { OkayButton->SetFocus(); });
  OkayButton->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { EndModal(wxID_OK); });
  VisitMySiteButton->Bind(wxEVT_BUTTON,
                          [](wxCommandEvent&) { OpenSite(SiteAddress(""), SiteFailure); });
  LicenseTermsButton->Bind(wxEVT_BUTTON, [](wxCommandEvent&) {
    OpenSite(SiteAddress("/ideas/misc/license.htm"), SiteFailure);
  });
  ContactMeButton->Bind(wxEVT_BUTTON, [](wxCommandEvent&) {
    OpenSite(SiteAddress("/ideas/misc/contactme.htm"), SiteFailure);
  });
}

TAboutForm::~TAboutForm() {
  if (AboutForm == this)
    AboutForm = nullptr;
}

std::string TAboutForm::SiteAddress(const std::string& page) {
  std::string base = ORVANEL_SITE_BASE;
  while (!base.empty() && base.back() == '/')
    base.pop_back();
  return base + (page.empty() ? std::string("/") : page);
}

void TAboutForm::Dialog() {
  StatusFrame frame(Unit, "TAboutForm::Dialog", __LINE__);
  frame.Run(__LINE__, [this] {
    if (GetParent() && GetParent()->IsShown())
      CentreOnParent();
    else
      CentreOnScreen();
    ShowModal();
  });
  frame.ShowStep(__LINE__, "Failed to show the \"About\" dialog.");
}

void TAboutForm::FormActivate(wxActivateEvent& event) {
  if (event.GetActive())
    OkayButton->SetFocus();
  event.Skip();
}
