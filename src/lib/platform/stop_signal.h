// A stop request from outside for a program that runs until told to stop:
// Ctrl-C or SIGTERM on POSIX systems, Ctrl-C, Ctrl-Break or closing the
// console on Windows.
#pragma once

namespace plat {

/// From now on a stop request sets a flag instead of ending the program.
/// Also keeps a closed connection from ending it (SIGPIPE on POSIX).
void CatchStopRequests();
/// True once a stop request came.
bool StopRequested();

} // namespace plat
