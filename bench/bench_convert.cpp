// Converts the stress project of orvanel_bench_generate through TConverter,
// as the window would, and reports the time, the throughput and the peak
// memory.
//
//   orvanel_bench DIR [fast|full|both]   (default: both, fast first)
//
// Each conversion gets a fresh converter, as a program run does. The peak
// memory is the process's, so run one mode per process to see each mode's own.
#include <chrono>
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

#include "engine/converter.h"
#include "lib/error.h"
#include "lib/file.h"
#include "peak_memory.h"

namespace {

// The window's default options; the log is dropped except the summary.
class QuietHost : public IConverterHost {
public:
  void LogLine(const std::string& line, int) override {
    if (line.rfind("* There are", 0) == 0 || line.rfind("* File has", 0) == 0 ||
        line.rfind("* Failed", 0) == 0 || line.rfind("* User abort", 0) == 0)
      Kept.push_back(line);
    else
      ++Dropped;
  }
  void Progress(const ConversionProgress&) override {}

  std::vector<std::string> Kept;
  long Dropped = 0;
};

bool Convert(const std::string& dir, bool fast) {
  const std::string source = dir + "/src/Stress.txt";
  const std::string destination = dir + "/out";
  const double megabytes = static_cast<double>(GetFileSize(source)) / 1e6;

  QuietHost host;
  TConverter converter(host);
  converter.TakeArguments(2, source, destination);
  ConversionOptions options; // the window's defaults
  options.Fast = fast;
  options.OpenIndex = false;

  const auto start = std::chrono::steady_clock::now();
  const std::clock_t cpuStart = std::clock();
  const ConversionResult result = converter.Process(options);
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const double cpu = static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC;

  std::printf("%s conversion: %.3f s (%.3f s CPU), %.2f MB/s, peak memory %.1f MB, %ld log "
              "lines dropped\n",
              fast ? "fast" : "full", seconds, cpu, megabytes / seconds,
              static_cast<double>(PeakMemoryBytes()) / (1024.0 * 1024.0), host.Dropped);
  for (const std::string& line : host.Kept)
    std::printf("    %s\n", line.c_str());
  if (!result.FilesSaved) {
    std::fprintf(stderr, "the conversion did not write its files\n");
    return false;
  }
  return true;
}

} // namespace

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) {
    std::fprintf(stderr, "usage: %s DIR [fast|full|both]\n", argv[0]);
    return 2;
  }
  const std::string dir = argv[1];
  const std::string mode = argc == 3 ? argv[2] : "both";
  if (mode != "fast" && mode != "full" && mode != "both") {
    std::fprintf(stderr, "unknown mode %s\n", mode.c_str());
    return 2;
  }
  bool ok = true;
  if (mode != "full")
    ok = Convert(dir, true) && ok;
  if (mode != "fast")
    ok = Convert(dir, false) && ok;
  return ok ? 0 : 1;
}
