#include "app/orvanel_app.h"

#include <exception>
#include <string>

#include <wx/button.h>
#include <wx/iconbndl.h>
#include <wx/stattext.h>

#include "app/about_form.h"
#include "app/error_form.h"
#include "app/main_form.h"
#include "lib/dialogs.h"
#include "lib/error.h"
#include "lib/program.h"

const char* const ProgramName = "Orvanel";
const char* const ProgramVersionText = "Version 1.0.1, released on 06.01.2006";

TMessageBoxes& MessageBoxes() {
  static TMessageBoxes boxes;
  return boxes;
}

std::string CurrentExceptionMessage() {
  try {
    throw;
  } catch (const std::exception& e) {
    return e.what();
  } catch (...) {
    return "Unknown exception.";
  }
}

void CreateForms() {
  MainForm = new TMainForm;
  ErrorForm = new TErrorForm(MainForm);
  AboutForm = new TAboutForm(MainForm);
  SetErrorDialog(ErrorForm);
  SetMessageDialogs(&MessageBoxes());

  wxFont nameFont = AboutForm->ProgramNameLabel->GetFont();
  nameFont.SetPointSize(32);
  AboutForm->ProgramNameLabel->SetFont(nameFont);
  AboutForm->ProgramNameLabel->SetLabel(ProgramName);
  AboutForm->ProgramVersionLabel->SetLabel(ProgramVersionText);

  if (wxTheApp)
    wxTheApp->SetTopWindow(MainForm);
  MainForm->Show();
  MainForm->FastConversionButton->SetFocus();
  // Without a window manager no activation may ever come; the first one is
  // then this.
  TMainForm* form = MainForm;
  form->CallAfter([form] { form->ApplicationEventsActivate(); });
}

void DestroyForms() {
  SetErrorDialog(nullptr);
  SetMessageDialogs(nullptr);
  if (MainForm) {
    // The dialogs are the main window's children and go with it.
    delete MainForm;
  }
  MainForm = nullptr;
  ErrorForm = nullptr;
  AboutForm = nullptr;
}

TOrvanelApp::TOrvanelApp(StatusFrame* startFrame) : startFrame_(startFrame) {}

bool TOrvanelApp::OnInit() {
  // The base class would refuse the two paths as unknown parameters.
  SetAppName(ProgramName);
  SetAppDisplayName(ProgramName);
  if (CreateWindowsOnInit) {
    CreateForms();
#ifdef __WXMSW__
    // The program's icon resource (orvanel.rc), in all its sizes.
    MainForm->SetIcons(wxIconBundle("AppIcon", nullptr));
#endif
  }
  return true;
}

int TOrvanelApp::OnExit() {
  SetErrorDialog(nullptr);
  SetMessageDialogs(nullptr);
  return wxApp::OnExit();
}

bool TOrvanelApp::OnExceptionInMainLoop() {
  FunStatContext.OnApplicationException(CurrentExceptionMessage());
  return true;
}

void TOrvanelApp::OnUnhandledException() {
  if (!startFrame_) {
    FunStatContext.OnApplicationException(CurrentExceptionMessage());
    return;
  }
  startFrame_->RecordCurrentException(__LINE__);
  // Shown now, while the toolkit can still show it.
  startFrame_->ShowStep(__LINE__, "");
}

int OrvanelMain(const std::function<void()>& runToolkit) {
  StatusFrame frame("Orvanel", "WinMain", __LINE__);
  bool started = false;
  frame.Run(__LINE__, [&] {
    if (IsProgramInstanceRunning(ProgramName))
      return;
    started = true;
    wxApp::SetInstance(new TOrvanelApp(&frame));
    runToolkit();
  });
  if (started) {
    frame.ShowStep(__LINE__, "");
    ReleaseProgramInstance();
  }
  return 0;
}
