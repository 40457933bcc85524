// The application object and the program's start: the single-instance lock,
// the three windows, the message loop and the exceptions that reach it.
#pragma once

#include <functional>
#include <string>

#include <wx/app.h>

#include "app/message_boxes.h"

class StatusFrame;

/// The program's name and version as the About dialog shows them.
extern const char* const ProgramName;
extern const char* const ProgramVersionText;

class TOrvanelApp : public wxApp {
public:
  /// START_FRAME, when given, is the program start's status frame: an
  /// exception that escapes the message loop is recorded and shown there.
  explicit TOrvanelApp(StatusFrame* startFrame = nullptr);

  /// Names the application and creates the three windows unless
  /// CreateWindowsOnInit is false.
  bool OnInit() override;
  int OnExit() override;
  /// An exception that escaped an event handler: reported, and the program
  /// goes on.
  bool OnExceptionInMainLoop() override;
  /// An exception that escaped the message loop itself.
  void OnUnhandledException() override;

  bool CreateWindowsOnInit = true;

private:
  StatusFrame* startFrame_;
};

/// Creates the main window, the error dialog and the About dialog, installs
/// the dialog and the message boxes into the support library, and shows the
/// main window.
void CreateForms();
/// Destroys the three windows at once and uninstalls the dialogs.
void DestroyForms();
/// The message boxes that CreateForms installs.
TMessageBoxes& MessageBoxes();
/// The message of the exception being handled, for the status framework.
std::string CurrentExceptionMessage();

/// The program's start, after the arguments have been handed over: refuses a
/// second copy, else runs the toolkit through RUN_TOOLKIT (which calls the
/// toolkit's entry) with a TOrvanelApp. Returns the exit code, always 0.
int OrvanelMain(const std::function<void()>& runToolkit);
