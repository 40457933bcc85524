#include "window_driver.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include <wx/app.h>
#include <wx/dialog.h>
#include <wx/evtloop.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/toplevel.h>
#include <wx/uiaction.h>
#include <wx/utils.h>
#ifdef __WXMSW__
#include <wx/frame.h>
#include <wx/menu.h>
#include <wx/msw/registry.h>
#include <wx/msw/wrapwin.h>
#endif

#include "app/main_form.h"
#include "app/wx_text.h"

namespace fs = std::filesystem;

namespace app_testing {

namespace {

fs::path Root;
fs::path OpenerFolder;
fs::path NoOpenerFolder;
fs::path OpenedRecord;
wxString OriginalPath;

fs::path MakeRoot() {
  std::random_device rd;
  std::mt19937_64 gen(rd());
  for (int attempt = 0; attempt < 100; ++attempt) {
    fs::path p = fs::temp_directory_path() / ("orvanel-window-test-" + std::to_string(gen()));
    std::error_code ec;
    if (fs::create_directory(p, ec))
      return p;
  }
  throw std::runtime_error("cannot create a temporary folder");
}

void PumpOnce() {
  if (wxEventLoopBase* loop = wxEventLoopBase::GetActive())
    loop->DispatchTimeout(5);
  if (wxTheApp) {
    wxTheApp->ProcessPendingEvents();
    wxTheApp->ProcessIdle();
  }
}

#ifdef __WXMSW__
// Files and web addresses are opened through their associations: the
// recording opener becomes the handler of what the program opens. The
// command names it without a folder, so it is found through PATH.
void RegisterOpener() {
  const wxString opener = "orvanel_test_opener.exe \"%1\"";
  for (const char* extension : {".htm", ".html", ".txt"}) {
    wxRegKey key(wxRegKey::HKCR, extension);
    key.Create();
    key.SetValue("", "OrvanelTestOpener");
  }
  for (const char* type : {"OrvanelTestOpener", "http", "https"}) {
    wxRegKey shell(wxRegKey::HKCR, wxString(type) + "\\shell\\open");
    shell.Create();
    // A DDE handler would be asked before the command.
    wxRegKey dde(shell, "ddeexec");
    if (dde.Exists())
      dde.DeleteSelf();
    wxRegKey command(shell, "command");
    command.Create();
    command.SetValue("", opener);
  }
  {
    wxRegKey type(wxRegKey::HKCR, "OrvanelTestOpener");
    type.SetValue("", "Orvanel test opener");
  }
}
#endif

} // namespace

TestEnvironment::TestEnvironment() {
  Root = MakeRoot();
  NoOpenerFolder = Root / "no-opener";
  fs::create_directories(NoOpenerFolder);
  OpenedRecord = Root / "opened.txt";
#ifdef __WXMSW__
  OpenerFolder = fs::absolute(ORVANEL_TEST_OPENER_DIR);
  RegisterOpener();
  wxSetEnv("ORVANEL_TEST_OPENED_RECORD", OpenedRecord.string());
#else
  fs::create_directories(Root / "home");
  fs::create_directories(Root / "tmp");
  OpenerFolder = Root / "opener";
  fs::create_directories(OpenerFolder);
  const fs::path script = OpenerFolder / "xdg-open";
  {
    std::ofstream out(script);
    out << "#!/bin/sh\nprintf '%s\\n' \"$1\" >> '" << OpenedRecord.string() << "'\n";
  }
  fs::permissions(script, fs::perms::owner_all);

  wxSetEnv("HOME", Root.string() + "/home");
  wxSetEnv("TMPDIR", Root.string() + "/tmp");
  wxUnsetEnv("XDG_RUNTIME_DIR");
  wxSetEnv("NO_AT_BRIDGE", "1");
#endif
  wxGetEnv("PATH", &OriginalPath);
  SetOpenerAvailable(true);
}

TestEnvironment::~TestEnvironment() {
  std::error_code ec;
  fs::remove_all(Root, ec);
}

void SetOpenerAvailable(bool available) {
  if (available)
    wxSetEnv("PATH", wxString(OpenerFolder.string()) + wxPATH_SEP + OriginalPath);
  else
    wxSetEnv("PATH", wxString(NoOpenerFolder.string()));
}

std::vector<std::string> OpenedFiles() {
  std::vector<std::string> files;
  std::ifstream in(OpenedRecord);
  for (std::string line; std::getline(in, line);)
    files.push_back(line);
  return files;
}

void ForgetOpenedFiles() {
  std::error_code ec;
  fs::remove(OpenedRecord, ec);
}

bool WaitUntil(const std::function<bool()>& condition, int timeoutMs) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline)
      return false;
    PumpOnce();
  }
  return true;
}

void Pump(int ms) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (std::chrono::steady_clock::now() < end)
    PumpOnce();
}

void ClickAt(int x, int y) {
  wxUIActionSimulator simulator;
  simulator.MouseMove(x, y);
  simulator.MouseClick();
}

void Click(wxWindow* window) {
  const wxRect rect = window->GetScreenRect();
  ClickAt(rect.x + rect.width / 2, rect.y + rect.height / 2);
}

#ifdef __WXMSW__
wxRect MenuBarItemRect(wxFrame& frame, int index) {
  RECT rect;
  if (!frame.GetMenuBar() || !::GetMenuItemRect(static_cast<HWND>(frame.GetHWND()),
                                                static_cast<HMENU>(frame.GetMenuBar()->GetHMenu()),
                                                static_cast<UINT>(index), &rect))
    return wxRect();
  return wxRect(wxPoint(rect.left, rect.top), wxPoint(rect.right - 1, rect.bottom - 1));
}
#endif

void PressKey(int keyCode) {
  wxUIActionSimulator simulator;
  simulator.Char(keyCode);
}

WhenModal::WhenModal(std::function<void(wxDialog&)> action) : action_(std::move(action)) {
  timer_.Bind(wxEVT_TIMER, [this](wxTimerEvent&) { Tick(); });
  timer_.Start(20);
}

WhenModal::~WhenModal() {
  timer_.Stop();
}

void WhenModal::Tick() {
  for (wxWindow* window : wxTopLevelWindows) {
    auto* dialog = dynamic_cast<wxDialog*>(window);
    if (dialog && dialog->IsModal() && dialog->IsShown()) {
      timer_.Stop();
      ran_ = true;
      action_(*dialog);
      return;
    }
  }
}

Repeatedly::Repeatedly(std::function<bool()> action, int intervalMs) : action_(std::move(action)) {
  timer_.Bind(wxEVT_TIMER, [this](wxTimerEvent&) {
    if (!done_ && action_()) {
      done_ = true;
      timer_.Stop();
    }
  });
  timer_.Start(intervalMs);
}

Repeatedly::~Repeatedly() {
  timer_.Stop();
}

std::vector<std::string> LogLines(const TMainForm& form) {
  std::vector<std::string> lines;
  std::istringstream in(FromWx(form.WorkLogMemo->GetValue()));
  for (std::string line; std::getline(in, line);)
    lines.push_back(line);
  return lines;
}

long ProgressCount(const TMainForm& form) {
  const std::string caption = FromWx(form.ProgressLabel->GetLabel());
  const std::string prefix = "Conversion progress: ";
  if (caption.rfind(prefix, 0) != 0)
    return -1;
  std::size_t end = prefix.size();
  while (end < caption.size() && caption[end] >= '0' && caption[end] <= '9')
    ++end;
  if (end == prefix.size())
    return -1;
  return std::stol(caption.substr(prefix.size(), end - prefix.size()));
}

} // namespace app_testing
