// orvanel-convert run as a process through the shell, for the command-line
// tests.
#pragma once

#include <cstdlib>
#include <string>

#include "support/test_support.h"

namespace cli_testing {

/// S as one single-quoted shell word.
inline std::string Quote(const std::string& s) {
  std::string q = "'";
  for (char c : s)
    q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

/// The exit code in a wait status from std::system.
inline int ExitStatus(int raw) {
  return (raw >> 8) & 0xff;
}

struct RunResult {
  int Status;
  std::string Out;
  std::string Err;
};

/// Runs the converter with ARGS (already quoted) after an optional
/// environment prefix ENV, with no input, capturing both streams in DIR.
inline RunResult RunConverter(const testing_support::TempDir& dir, const std::string& args,
                              const std::string& env = "") {
  const std::string out = dir / "stdout.txt";
  const std::string err = dir / "stderr.txt";
  const std::string command = env + " " + Quote(ORVANEL_CONVERT_EXE) + " " + args + " >" +
                              Quote(out) + " 2>" + Quote(err) + " </dev/null";
  const int raw = std::system(command.c_str());
  return {ExitStatus(raw), testing_support::ReadFileBytes(out),
          testing_support::ReadFileBytes(err)};
}

} // namespace cli_testing
