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

void QuietHost::LogLine(const std::string& line, int sourceLine) {
  LogBytes += line.size() + 1;
  ++LogLines;
  MinSourceLine = sourceLine < MinSourceLine ? sourceLine : MinSourceLine;
  MaxSourceLine = sourceLine > MaxSourceLine ? sourceLine : MaxSourceLine;
  if (line == "* File has been processed.")
    Processed = true;
}

void QuietHost::Progress(const ConversionProgress&) {
  if (++Pumps == AbortAtPump && Abort)
    Abort->RequestAbort();
}

ConversionOptions QuietHost::Options(bool fast) const {
  ConversionOptions o;
  o.Fast = fast;
  o.UseProjectOptions = UseProjectOptions;
  o.MakeCodePretty = MakeCodePretty;
  o.UseTableElem = UseTable;
  o.UseSectionSep = UseSectionSep;
  o.OpenIndex = false;
  o.ProgressIntervalMs = 0;
  return o;
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
