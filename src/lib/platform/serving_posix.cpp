#include "platform/serving.h"

#include <csignal>

#include <signal.h>
#include <sys/socket.h>

namespace plat {

namespace {

volatile std::sig_atomic_t stopRequested = 0;

extern "C" void OnStopSignal(int) {
  stopRequested = 1;
}

} // namespace

void CatchStopRequests() {
  struct sigaction action {};
  action.sa_handler = OnStopSignal;
  // The conversion's and the server's calls go on; the flag is looked at often.
  action.sa_flags = SA_RESTART;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
  struct sigaction ignore {};
  ignore.sa_handler = SIG_IGN;
  sigemptyset(&ignore.sa_mask);
  sigaction(SIGPIPE, &ignore, nullptr);
}

bool StopRequested() {
  return stopRequested != 0;
}

bool PrepareListeningSocket(std::uintptr_t socket) {
  int yes = 1;
  return setsockopt(static_cast<int>(socket), SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes) == 0;
}

} // namespace plat
