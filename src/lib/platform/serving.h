// What a program that serves until told to stop needs from the system: the
// stop request (Ctrl-C or SIGTERM on POSIX systems; Ctrl-C, Ctrl-Break or
// closing the console on Windows) and a listening socket no one else shares.
#pragma once

#include <cstdint>

namespace plat {

/// Readies SOCKET (a socket handle) for listening before it is bound: on
/// POSIX systems the address may be reused once old connections linger, but
/// a port another program listens on is refused; on Windows no other socket
/// may bind the same port.
bool PrepareListeningSocket(std::uintptr_t socket);

/// From now on a stop request sets a flag instead of ending the program.
/// Also keeps a closed connection from ending it (SIGPIPE on POSIX).
void CatchStopRequests();
/// True once a stop request came.
bool StopRequested();

} // namespace plat
