// Message boxes and beeps through the installed front end.
#include "dialogs.h"

#include <cstdio>

#include "platform/platform.h"

namespace {

IMessageDialogs* InstalledDialogs = nullptr;

void Beep(std::uint32_t type) {
  if (InstalledDialogs)
    InstalledDialogs->Beep(type);
  else
    plat::MessageBeep(type);
}

} // namespace

void SetMessageDialogs(IMessageDialogs* dialogs) {
  InstalledDialogs = dialogs;
}

void BeepOkay() {
  Beep(0);
}

void BeepWarning() {
  Beep(48);
}

int MessageDialog(const std::string& caption, const std::string& text, std::uint32_t flags) {
  int answer = 1;
  if (InstalledDialogs) {
    answer = InstalledDialogs->MessageBox(caption, text, flags | MB_TASKMODAL_FLAG);
  } else {
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
    std::fflush(stderr);
  }
  switch (answer) {
  case 1: // OK
  case 6: // Yes
    return 1;
  case 7: // No
    return 7;
  case 0: // the box did not appear
    BeepWarning();
    return 2;
  default:
    return 2;
  }
}

void ShowErrorMessage(const std::string& text) {
  MessageDialog("Error", text, MB_ICONERROR_FLAG);
}
