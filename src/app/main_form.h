// The main window: the log pane, the conversion buttons and the option check
// boxes. It only asks the user and calls the converter, which it owns and
// serves as its host.
#pragma once

#include <string>

#include <wx/frame.h>
#include <wx/timer.h>

#include "engine/converter.h"

class wxActivateEvent;
class wxButton;
class wxCheckBox;
class wxCloseEvent;
class wxCommandEvent;
class wxMenu;
class wxMenuItem;
class IPathDialogs;
class TSourceDropTarget;
class wxPanel;
class wxStaticBox;
class wxStaticText;
class wxTextCtrl;

class TMainForm : public wxFrame, public IConverterHost {
public:
  TMainForm();
  ~TMainForm() override;

  TConverter& Converter() { return converter_; }
  /// The first activation (once): takes the two command-line arguments; one
  /// argument is the source with the destination proposed beside it; none
  /// offers the pair chosen last.
  void ApplicationEventsActivate();
  /// Takes SOURCE as the source file (from the File menu or a drop); the
  /// destination stays, or is proposed beside it when there is none yet.
  /// False while or after a conversion, which keeps its pair.
  bool ChooseSource(const std::string& source);
  /// Takes DESTINATION as the destination folder.
  bool ChooseDestination(const std::string& destination);
  /// The File menu's dialogs (tests install their own answers).
  IPathDialogs* PathDialogs;
  TSourceDropTarget* DropTarget;
  /// True while a conversion runs inside a click handler.
  bool ConversionRunning() const { return running_; }

  // IConverterHost
  void LogLine(const std::string& line, int sourceLine) override;
  /// Draws the caption and lets pending events run (abort, close, menus).
  void Progress(const ConversionProgress& progress) override;
  /// The options as the check boxes show them now.
  ConversionOptions CheckedOptions() const;
  /// The Index.htm step after saving (tests turn it off).
  bool OpenIndexAfterSave = true;
  /// Puts the log lines gathered during a conversion into the log pane.
  void FlushLog();
  /// The outcome of the last conversion.
  const ConversionResult& LastResult() const { return lastResult_; }

  wxPanel* ClientPanel;
  wxTextCtrl* WorkLogMemo;
  wxButton* FastConversionButton;
  wxButton* FullConversionButton;
  wxButton* AbortConversionButton;
  wxStaticBox* ProjectDefOptionsGroupBox;
  wxCheckBox* UseProjectOptionsCheckBox;
  wxCheckBox* MakeCodePrettyCheckBox;
  wxCheckBox* UseTableCheckBox;
  wxCheckBox* UseSectionSepCheckBox;
  wxStaticText* ProgressLabel;
  wxMenu* FileMenu;
  wxMenuItem* OpenSourceMenuItem;
  wxMenuItem* DestinationMenuItem;
  wxMenu* AboutMenu;
  wxMenu* HelpMenu;

private:
  void BuildControls();
  void StartConversion(bool fast);
  void FastConversionButtonClick(wxCommandEvent& event);
  void FullConversionButtonClick(wxCommandEvent& event);
  void AbortConversionButtonClick(wxCommandEvent& event);
  void FormActivate(wxActivateEvent& event);
  void FormCloseQuery(wxCloseEvent& event);
  void OpenSourceMenuClick(wxCommandEvent& event);
  void DestinationMenuClick(wxCommandEvent& event);
  // Logs and keeps the pair once both paths are known.
  void TakeChosenPair(bool remember);
  bool CanChoosePaths() const;
  void AboutMenuClick();
  void HelpMenuClick();
  void ProcessMessages();

  TConverter converter_;
  ConversionResult lastResult_;
  // During a conversion log lines are gathered and shown with each progress
  // report: a text control that takes them one by one costs more than the
  // conversion itself.
  wxString pendingLog_;
  // Asks the file openers now and then how they ended, without waiting.
  wxTimer openerTimer_;
  bool firstActivation_ = true;
  bool conversionStarted_ = false;
  std::string chosenSource_;
  std::string chosenDestination_;
  bool running_ = false;
  bool closeAfterConversion_ = false;
};

/// The main window while it exists.
extern TMainForm* MainForm;
