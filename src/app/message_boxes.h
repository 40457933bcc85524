// The support library's message boxes and beeps, shown by the toolkit.
#pragma once

#include <cstdint>
#include <string>

#include "lib/dialogs.h"

// On Windows the toolkit's headers bring <windows.h>, whose MessageBox macro
// would rename the method.
#ifdef MessageBox
#undef MessageBox
#endif

class TMessageBoxes : public IMessageDialogs {
public:
  /// Shows a modal box over the active window; flags as the system's
  /// message-box flags (buttons in the low bits, icon in the next ones).
  int MessageBox(const std::string& caption, const std::string& text, std::uint32_t flags) override;
  void Beep(std::uint32_t type) override;
};
