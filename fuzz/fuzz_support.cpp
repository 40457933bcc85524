#include "fuzz_support.h"

#include <cstdio>
#include <cstdlib>

namespace fuzzing {

QuietHost::QuietHost() {
  SetMessageDialogs(this);
  SetErrorDialog(this);
}

QuietHost::~QuietHost() {
  SetErrorDialog(nullptr);
  SetMessageDialogs(nullptr);
}

void QuietHost::LogLine(const std::string& line) {
  LogBytes += line.size() + 1;
  ++LogLines;
  if (line == "* File has been processed.")
    Processed = true;
}

void QuietHost::ProcessMessages() {
  if (++Pumps == AbortAtPump && Abort)
    Abort->RequestAbort();
}

int QuietHost::MessageBox(const std::string&, const std::string&, std::uint32_t) {
  ++Boxes;
  return 1;
}

bool QuietHost::ShowReport(const std::string&, const std::string&, bool* noErrors,
                           const std::string&) {
  ++Reports;
  if (noErrors)
    *noErrors = false;
  return true;
}

void Fail(const std::string& what) {
  std::fprintf(stderr, "\n*** %s\n", what.c_str());
  std::fflush(stderr);
  std::abort();
}

} // namespace fuzzing
