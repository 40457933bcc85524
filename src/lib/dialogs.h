// Message boxes and beeps. The front end installs how they reach the user:
// the window shows real boxes, the command line prints, tests record.
#pragma once

#include <cstdint>
#include <string>

// <windows.h>, when included before this, makes MessageBox a macro that
// would rename the method.
#ifdef MessageBox
#undef MessageBox
#endif

class IMessageDialogs {
public:
  virtual ~IMessageDialogs() = default;
  /// Shows a task-modal box; returns the button chosen (1 OK, 2 Cancel,
  /// 6 Yes, 7 No) or 0 when the box could not be shown.
  virtual int MessageBox(const std::string& caption, const std::string& text,
                         std::uint32_t flags) = 0;
  virtual void Beep(std::uint32_t type) = 0;
};

/// Installs DIALOGS (not owned); null restores the default, which writes
/// "caption: text" to standard error and answers OK.
void SetMessageDialogs(IMessageDialogs* dialogs);

constexpr std::uint32_t MB_ICONERROR_FLAG = 16;
constexpr std::uint32_t MB_TASKMODAL_FLAG = 0x2000;

void BeepOkay();
void BeepWarning();
/// 1 for OK or Yes, 7 for No, 2 otherwise.
int MessageDialog(const std::string& caption, const std::string& text, std::uint32_t flags);
/// An error box captioned "Error".
void ShowErrorMessage(const std::string& text);
