#include "cli/cli_host.h"

#include <cstdio>
#include <iostream>
#include <string>

#include "lib/platform/platform.h"
#include "lib/platform/terminal.h"

namespace {

// Line ends of reports are CR LF; a terminal or a log file wants LF.
std::string ToLf(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
      continue;
    out += text[i];
  }
  return out;
}

} // namespace

CliHost::CliHost(const CliOptions& options)
    : options_(options), progressBar_(!options.Quiet && plat::StandardErrorIsTerminal()) {
  SetMessageDialogs(this);
  SetErrorDialog(this);
}

CliHost::~CliHost() {
  ClearProgress();
  SetErrorDialog(nullptr);
  SetMessageDialogs(nullptr);
}

void CliHost::LogLine(const std::string& line, int sourceLine) {
  static const std::string kWarning = "* Warning: ";
  if (!options_.Quiet) {
    ClearProgress();
    std::cout << line << '\n';
  }
  // Before the paths are taken a warning is about the arguments, not the source.
  if (source_.empty() || line.compare(0, kWarning.size(), kWarning) != 0)
    return;
  ++warningCount_;
  ClearProgress();
  // The place follows its log line, also when both streams go to one file.
  std::cout.flush();
  std::string placed = source_ + ":";
  if (sourceLine > 0)
    placed += std::to_string(sourceLine) + ":";
  placed += " warning: ";
  placed.append(line, kWarning.size(), std::string::npos);
  if (firstWarning_.empty())
    firstWarning_ = placed;
  placed += '\n';
  std::fputs(placed.c_str(), stderr);
}

void CliHost::Progress(const ConversionProgress& progress) {
  if (!progressBar_)
    return;
  // A terminal need not be redrawn more often than this.
  const std::uint32_t now = plat::TickCount();
  if (barShown_ && now - lastDraw_ < 100 && progress.Line != progress.LineCount)
    return;
  lastDraw_ = now;
  DrawProgress(progress.Line, progress.LineCount);
}

void CliHost::DrawProgress(long line, long total) {
  std::cout.flush();
  const int columns = plat::StandardErrorColumns();
  const std::string counts = " " + std::to_string(line) + "/" + std::to_string(total) + " lines";
  int width = columns - static_cast<int>(counts.size()) - 8;
  if (width < 10)
    width = 10;
  if (width > 50)
    width = 50;
  const long filled = total > 0 ? line * width / total : 0;
  const long percent = total > 0 ? line * 100 / total : 0;
  std::string bar = "\r[";
  bar.append(static_cast<std::size_t>(filled), '#');
  bar.append(static_cast<std::size_t>(width - filled), '.');
  bar += "] " + std::to_string(percent) + "%" + counts;
  std::fputs(bar.c_str(), stderr);
  std::fflush(stderr);
  barShown_ = true;
}

void CliHost::ClearProgress() {
  if (!barShown_)
    return;
  std::cout.flush();
  const int columns = plat::StandardErrorColumns();
  std::string blank = "\r";
  blank.append(static_cast<std::size_t>(columns > 1 ? columns - 1 : 1), ' ');
  blank += "\r";
  std::fputs(blank.c_str(), stderr);
  std::fflush(stderr);
  barShown_ = false;
}

int CliHost::MessageBox(const std::string& caption, const std::string& text, std::uint32_t) {
  ClearProgress();
  std::cout.flush();
  lastMessage_ = ToLf(text);
  std::cerr << caption << ": " << lastMessage_ << std::endl;
  return 1;
}

bool CliHost::ShowReport(const std::string& caption, const std::string& message, bool* noErrors,
                         const std::string& report) {
  ClearProgress();
  std::cout.flush();
  std::cerr << caption << ": " << ToLf(message.empty() ? "Failed to perform." : message) << '\n'
            << "DESCRIPTION\n"
            << ToLf(message.empty() ? "Failed to perform." : message) << '\n'
            << ToLf(report) << std::endl;
  if (noErrors)
    *noErrors = false;
  return true;
}
