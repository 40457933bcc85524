// Driving the real windows in tests: waiting on the event loop, simulated
// mouse and keys, answering modal dialogs, and a recording stand-in for the
// program that opens files and web pages.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include <wx/gdicmn.h>
#include <wx/timer.h>

class wxDialog;
class wxFrame;
class wxWindow;
class TMainForm;

namespace app_testing {

/// Prepares the process before the toolkit starts: a private HOME and TMPDIR
/// (the single-instance lock lives there), no accessibility bus, and a fake
/// "xdg-open" first in PATH. Undone by the destructor.
class TestEnvironment {
public:
  TestEnvironment();
  ~TestEnvironment();
  TestEnvironment(const TestEnvironment&) = delete;
  TestEnvironment& operator=(const TestEnvironment&) = delete;
};

/// Runs the event loop until CONDITION holds; false after TIMEOUT_MS.
bool WaitUntil(const std::function<bool()>& condition, int timeoutMs = 15000);
/// Runs the event loop for MS milliseconds.
void Pump(int ms);

/// A simulated left click in the middle of WINDOW.
void Click(wxWindow* window);
/// A simulated left click at a screen position.
void ClickAt(int x, int y);
#ifdef __WXMSW__
/// Where the system draws item INDEX of FRAME's menu bar, in screen
/// coordinates; empty if it cannot say.
wxRect MenuBarItemRect(wxFrame& frame, int index);
#endif
/// A simulated key press (a wxKeyCode).
void PressKey(int keyCode);

/// Runs ACTION, from inside the modal loop, on the first modal dialog that
/// is shown after construction.
class WhenModal {
public:
  explicit WhenModal(std::function<void(wxDialog&)> action);
  ~WhenModal();
  WhenModal(const WhenModal&) = delete;
  WhenModal& operator=(const WhenModal&) = delete;
  bool Ran() const { return ran_; }

private:
  void Tick();
  std::function<void(wxDialog&)> action_;
  wxTimer timer_;
  bool ran_ = false;
};

/// Runs ACTION every few milliseconds while the event loop runs (also inside
/// a conversion's message pump) until it returns true.
class Repeatedly {
public:
  explicit Repeatedly(std::function<bool()> action, int intervalMs = 2);
  ~Repeatedly();
  Repeatedly(const Repeatedly&) = delete;
  Repeatedly& operator=(const Repeatedly&) = delete;
  bool Done() const { return done_; }

private:
  std::function<bool()> action_;
  wxTimer timer_;
  bool done_ = false;
};

/// The lines of the main window's log pane.
std::vector<std::string> LogLines(const TMainForm& form);
/// The line number in the progress label ("Conversion progress: N ..."), or
/// -1.
long ProgressCount(const TMainForm& form);

/// What the fake opener was asked to open, oldest first.
std::vector<std::string> OpenedFiles();
void ForgetOpenedFiles();
/// With false, no opener is found any more, as on a system without one.
void SetOpenerAvailable(bool available);

} // namespace app_testing
