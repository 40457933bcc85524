// Terminal queries for the command-line front end's progress bar.
#pragma once

namespace plat {

/// True when standard error is an interactive terminal.
bool StandardErrorIsTerminal();
/// Width of the terminal on standard error in columns; 80 when unknown.
int StandardErrorColumns();

} // namespace plat
