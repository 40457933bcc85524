#include "platform/serving.h"

#include <atomic>

#include <winsock2.h>

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

bool PrepareListeningSocket(std::uintptr_t socket) {
  BOOL yes = TRUE;
  return setsockopt(static_cast<SOCKET>(socket), SOL_SOCKET, SO_EXCLUSIVEADDRUSE,
                    reinterpret_cast<const char*>(&yes), sizeof yes) == 0;
}

} // namespace plat
