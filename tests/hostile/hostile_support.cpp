#include "hostile_support.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;
using testing_support::MakeDirectory;
using testing_support::ReadFileBytes;
using testing_support::WriteFileBytes;

namespace hostile {

std::string Quote(const std::string& text) {
  std::string quoted = "'";
  for (const char c : text)
    quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

std::size_t Count(const std::string& haystack, const std::string& needle) {
  std::size_t count = 0;
  for (std::size_t at = haystack.find(needle); at != std::string::npos;
       at = haystack.find(needle, at + needle.size()))
    ++count;
  return count;
}

bool CanCreateIn(const std::string& folder) {
  const std::string probe = folder + "/.probe";
  const bool created = static_cast<bool>(std::ofstream(probe));
  std::error_code ec;
  fs::remove(probe, ec);
  return created;
}

HostileTest::HostileTest() : src(dir / "src/"), dest(dir / "out/"), work(dir / "work/") {
  MakeDirectory(src);
  MakeDirectory(dest);
  MakeDirectory(work);
  MakeDirectory(dir / "streams");
  testing_support::WriteDefaultTemplates(src);
}

RunResult HostileTest::Run(const std::string& arguments, const std::string& prefix,
                           int seconds) const {
  const std::string out = dir / "streams/stdout";
  const std::string err = dir / "streams/stderr";
  // The limit turns a hang into a failed test instead of a stuck suite.
  const std::string command = "cd " + Quote(work) + " && " + prefix + " timeout -k 5 " +
                              std::to_string(seconds) + " " + Quote(ORVANEL_CONVERT_EXE) + " " +
                              arguments + " >" + Quote(out) + " 2>" + Quote(err) + " </dev/null";
  const int raw = std::system(command.c_str());
  RunResult result;
  result.Status = (raw >> 8) & 0xff; // the shell's exit code
  result.Out = ReadFileBytes(out);
  result.Err = ReadFileBytes(err);
  return result;
}

RunResult HostileTest::Convert(const std::string& options, const std::string& prefix) const {
  return Run(options + " " + Quote(SourcePath()) + " " + Quote(DestinationArgument()), prefix);
}

void HostileTest::WriteSource(const std::string& bytes) const {
  WriteFileBytes(SourcePath(), bytes);
}

std::string HostileTest::Output(const std::string& suffix) const {
  return ReadFileBytes(dest + "Guide" + suffix);
}

std::vector<std::string> HostileTest::DestinationEntries() const {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(dest))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

} // namespace hostile
