#include "platform/stop_signal.h"

#include <atomic>

#include <windows.h>

namespace plat {

namespace {

std::atomic<bool> stopRequested{false};

BOOL WINAPI OnConsoleControl(DWORD type) {
  switch (type) {
  case CTRL_C_EVENT:
  case CTRL_BREAK_EVENT:
  case CTRL_CLOSE_EVENT:
  case CTRL_SHUTDOWN_EVENT:
    stopRequested = true;
    return TRUE;
  default:
    return FALSE;
  }
}

} // namespace

void CatchStopRequests() {
  SetConsoleCtrlHandler(OnConsoleControl, TRUE);
}

bool StopRequested() {
  return stopRequested;
}

} // namespace plat
