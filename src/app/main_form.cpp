#include "app/main_form.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/evtloop.h>
#include <wx/menu.h>
#include <wx/panel.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/tooltip.h>

#include "app/about_form.h"
#include "app/form_style.h"
#include "app/menu_commands.h"
#include "app/path_choice.h"
#include "app/wx_text.h"
#include "lib/error.h"
#include "lib/file.h"
#include "lib/installed.h"
#include "lib/program.h"

TMainForm* MainForm = nullptr;

TMainForm::TMainForm()
    : wxFrame(nullptr, wxID_ANY, "Orvanel", wxDefaultPosition, wxDefaultSize,
              wxCAPTION | wxSYSTEM_MENU | wxMINIMIZE_BOX | wxCLOSE_BOX),
      PathDialogs(&StandardPathDialogs()), converter_(*this) {
  SetFont(ArialPixels(12));
  SetBackgroundColour(FaceColour());
  // The File menu comes first, before the About and Help commands.
  auto* bar = new wxMenuBar;
  FileMenu = new wxMenu;
  OpenSourceMenuItem = FileMenu->Append(wxID_OPEN, L"&Open source file\u2026\tCtrl+O");
  DestinationMenuItem = FileMenu->Append(wxID_ANY, L"&Destination folder\u2026");
  bar->Append(FileMenu, "&File");
  SetMenuBar(bar);
  Bind(wxEVT_MENU, &TMainForm::OpenSourceMenuClick, this, OpenSourceMenuItem->GetId());
  Bind(wxEVT_MENU, &TMainForm::DestinationMenuClick, this, DestinationMenuItem->GetId());
  AboutMenu = AppendMenuCommand(*this, "About", [this] { AboutMenuClick(); });
  HelpMenu = AppendMenuCommand(*this, "Help", [this] { HelpMenuClick(); });
  BuildControls();
  // A source file can be dropped anywhere on the window. The toolkit asks
  // the window under the pointer, so the log pane needs a target of its own.
  auto chooseDropped = [this](const std::string& file) { return ChooseSource(file); };
  DropTarget = new TSourceDropTarget(chooseDropped);
  ClientPanel->SetDropTarget(DropTarget);
  WorkLogMemo->SetDropTarget(new TSourceDropTarget(chooseDropped));

  const wxSize client = DesignSize(this, 690, 260);
  SetClientSize(client);
  SetMinClientSize(client);
  SetMaxClientSize(client);
  CentreOnScreen();

  wxToolTip::Enable(true);
  wxToolTip::SetDelay(400);
  wxToolTip::SetAutoPop(100000);
  wxToolTip::SetReshow(200);

  ProgressLabel->SetLabel("Conversion progress: 0.");

  Bind(wxEVT_ACTIVATE, &TMainForm::FormActivate, this);
  Bind(wxEVT_CLOSE_WINDOW, &TMainForm::FormCloseQuery, this);
  FastConversionButton->Bind(wxEVT_BUTTON, &TMainForm::FastConversionButtonClick, this);
  FullConversionButton->Bind(wxEVT_BUTTON, &TMainForm::FullConversionButtonClick, this);
  AbortConversionButton->Bind(wxEVT_BUTTON, &TMainForm::AbortConversionButtonClick, this);
  FastConversionButton->SetFocus();

  openerTimer_.Bind(wxEVT_TIMER, [](wxTimerEvent&) { CheckOpeners(false); });
  openerTimer_.Start(200);
}

TMainForm::~TMainForm() {
  openerTimer_.Stop();
  if (MainForm == this)
    MainForm = nullptr;
}

void TMainForm::BuildControls() {
  ClientPanel = new wxPanel(this, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxTAB_TRAVERSAL);
  ClientPanel->SetBackgroundColour(FaceColour());
  auto place = [this](wxWindow* control, int left, int top, int width, int height) {
    control->SetSize(DesignRect(this, left, top, width, height));
  };

  // Created in tab order.
  WorkLogMemo =
      new wxTextCtrl(ClientPanel, wxID_ANY, wxEmptyString, wxDefaultPosition, wxDefaultSize,
                     wxTE_MULTILINE | wxTE_READONLY | wxTE_DONTWRAP | wxVSCROLL);
  WorkLogMemo->SetBackgroundColour(FaceColour());
  place(WorkLogMemo, 5, 5, 485, 225);

  FastConversionButton = new wxButton(ClientPanel, wxID_ANY, "Fast convertion");
  place(FastConversionButton, 535, 135, 110, 25);
  FastConversionButton->SetToolTip(
      "Use this to process the source file without any links being created, in the content, to "
      "the glossary. The processing is very fast.");
  FullConversionButton = new wxButton(ClientPanel, wxID_ANY, "Full convertion");
  place(FullConversionButton, 535, 165, 110, 25);
  AbortConversionButton = new wxButton(ClientPanel, wxID_ANY, "&Abort conversion");
  place(AbortConversionButton, 535, 195, 110, 25);

  ProjectDefOptionsGroupBox = new wxStaticBox(ClientPanel, wxID_ANY, "Project default options");
  place(ProjectDefOptionsGroupBox, 495, 5, 191, 115);
  auto check = [this, &place](const wxString& caption, int top, int width, bool checked) {
    auto* box = new wxCheckBox(ClientPanel, wxID_ANY, caption);
    place(box, 495 + 10, 5 + top, width, 17);
    // Some toolkits draw a check box no lower than their own minimum; it is
    // then centred on its designed row.
    wxRect rect = box->GetRect();
    const int minimum = box->GetBestSize().y;
    if (rect.height < minimum) {
      rect.y -= (minimum - rect.height) / 2;
      rect.height = minimum;
      box->SetSize(rect);
    }
    box->SetValue(checked);
    return box;
  };
  UseProjectOptionsCheckBox = check("Use project options instead", 20, 175, true);
  UseProjectOptionsCheckBox->SetToolTip("If this is checked, the project options from the source "
                                        "file are used, else the \"Project default options\" are "
                                        "used");
  MakeCodePrettyCheckBox = check("Make code pretty", 50, 115, false);
  UseTableCheckBox = check("Use table elements", 70, 130, true);
  UseSectionSepCheckBox = check("Use section separators", 90, 150, true);

  ProgressLabel = new wxStaticText(ClientPanel, wxID_ANY, wxEmptyString);
  ProgressLabel->SetPosition(DesignRect(this, 10, 240, 82, 15).GetPosition());
}

void TMainForm::ApplicationEventsActivate() {
  if (!firstActivation_)
    return;
  firstActivation_ = false;
  const int count = GetProgramParamCount();
  if (count == 1) {
    // Started from the desktop with a file: it is the source.
    ChooseSource(GetProgramParam(1));
    return;
  }
  if (count == 0) {
    const RememberedPaths last = LoadRememberedPaths();
    if (!last.Source.empty() && !last.Destination.empty()) {
      chosenSource_ = last.Source;
      chosenDestination_ = last.Destination;
      TakeChosenPair(false);
      return;
    }
  }
  converter_.TakeArguments(count, GetProgramParam(1), GetProgramParam(2));
  chosenSource_ = converter_.SourceFileName();
  chosenDestination_ = converter_.DestinationDir();
}

bool TMainForm::CanChoosePaths() const {
  // One conversion per run: its pair is the one it used.
  return !running_ && !conversionStarted_;
}

bool TMainForm::ChooseSource(const std::string& source) {
  if (!CanChoosePaths() || source.empty())
    return false;
  chosenSource_ = FullPathName(source);
  if (chosenDestination_.empty())
    chosenDestination_ = ProposedDestination(chosenSource_);
  TakeChosenPair(true);
  return true;
}

bool TMainForm::ChooseDestination(const std::string& destination) {
  if (!CanChoosePaths() || destination.empty())
    return false;
  chosenDestination_ = FullPathName(destination);
  TakeChosenPair(true);
  return true;
}

void TMainForm::TakeChosenPair(bool remember) {
  if (chosenSource_.empty() || chosenDestination_.empty())
    return;
  converter_.ChoosePaths(chosenSource_, chosenDestination_);
  if (remember)
    SaveRememberedPaths({converter_.SourceFileName(), converter_.DestinationDir()});
}

void TMainForm::OpenSourceMenuClick(wxCommandEvent&) {
  if (CanChoosePaths())
    ChooseSource(PathDialogs->ChooseSourceFile(this, chosenSource_));
}

void TMainForm::DestinationMenuClick(wxCommandEvent&) {
  if (CanChoosePaths())
    ChooseDestination(PathDialogs->ChooseDestinationFolder(this, chosenDestination_));
}

void TMainForm::LogLine(const std::string& line, int) {
  pendingLog_ += ToWx(line);
  pendingLog_ += '\n';
  if (!running_)
    FlushLog();
}

void TMainForm::FlushLog() {
  if (pendingLog_.empty())
    return;
  WorkLogMemo->AppendText(pendingLog_);
  pendingLog_.clear();
}

void TMainForm::Progress(const ConversionProgress& progress) {
  FlushLog();
  ProgressLabel->SetLabel(ToWx(ProgressCaption(progress)));
  ProcessMessages();
}

void TMainForm::ProcessMessages() {
  // Yield of the application does nothing when called from inside another
  // yield; the active loop's YieldFor always dispatches.
  if (wxEventLoopBase* loop = wxEventLoopBase::GetActive()) {
    loop->YieldFor(wxEVT_CATEGORY_ALL);
    return;
  }
  wxEventLoop loop;
  wxEventLoopActivator activate(&loop);
  loop.YieldFor(wxEVT_CATEGORY_ALL);
}

ConversionOptions TMainForm::CheckedOptions() const {
  ConversionOptions options;
  options.UseProjectOptions = UseProjectOptionsCheckBox->GetValue();
  options.MakeCodePretty = MakeCodePrettyCheckBox->GetValue();
  options.UseTableElem = UseTableCheckBox->GetValue();
  options.UseSectionSep = UseSectionSepCheckBox->GetValue();
  options.OpenIndex = OpenIndexAfterSave;
  return options;
}

void TMainForm::StartConversion(bool fast) {
  if (!converter_.CheckInputs())
    return;
  ConversionOptions options = CheckedOptions();
  options.Fast = fast;
  // One conversion per run: the buttons and the choice of paths stay
  // disabled from here on.
  FastConversionButton->Disable();
  FullConversionButton->Disable();
  conversionStarted_ = true;
  OpenSourceMenuItem->Enable(false);
  DestinationMenuItem->Enable(false);
  running_ = true;
  auto finish = [this] {
    running_ = false;
    FlushLog();
    // A close during the conversion only hid the window; the handlers on
    // the stack still use it, so it is destroyed only now.
    if (closeAfterConversion_)
      Destroy();
  };
  try {
    lastResult_ = converter_.Process(options);
    // The pages are written but the frame page could not be opened: the
    // user would otherwise wait for a browser that never comes.
    if (lastResult_.Failure == ConversionFailure::OpenFailed) {
      FunStatContext.SetShowContext("Main", "", __LINE__);
      FunStatContext.Show("Failed to run file.");
    }
  } catch (...) {
    finish();
    throw;
  }
  finish();
}

void TMainForm::FastConversionButtonClick(wxCommandEvent&) {
  StartConversion(true);
}

void TMainForm::FullConversionButtonClick(wxCommandEvent&) {
  StartConversion(false);
}

void TMainForm::AbortConversionButtonClick(wxCommandEvent&) {
  converter_.RequestAbort();
}

void TMainForm::FormActivate(wxActivateEvent& event) {
  if (event.GetActive())
    ApplicationEventsActivate();
  event.Skip();
}

void TMainForm::FormCloseQuery(wxCloseEvent& event) {
  converter_.RequestAbort();
  if (running_) {
    Hide();
    closeAfterConversion_ = true;
    if (event.CanVeto())
      event.Veto();
    return;
  }
  Destroy();
}

void TMainForm::AboutMenuClick() {
  if (AboutForm)
    AboutForm->Dialog();
}

void TMainForm::HelpMenuClick() {
  RunFile(FindProgramDocument("Help.txt"), "", "", false, false);
}
