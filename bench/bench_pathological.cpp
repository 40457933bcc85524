// Converts each pathological project of about SIZE bytes (default 2,000,000)
// in full and reports the time per case; the stress project of the same run
// is the yardstick each case should stay under.
//
//   orvanel_bench_pathological DIR [SIZE]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "engine/converter.h"
#include "pathological.h"

namespace fs = std::filesystem;

namespace {

class QuietHost : public IConverterHost {
public:
  void LogLine(const std::string&, int) override {}
  void Progress(const ConversionProgress&) override {}
};

void WriteFile(const fs::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

} // namespace

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) {
    std::fprintf(stderr, "usage: %s DIR [SIZE]\n", argv[0]);
    return 2;
  }
  const fs::path dir = argv[1];
  const std::size_t size = argc == 3 ? std::strtoull(argv[2], nullptr, 10) : 2000000;
  fs::create_directories(dir / "src");
  fs::create_directories(dir / "out");
  for (const char* name : {"BeforeContent.htm", "BeforeTOC.htm", "BeforeTOCButtons.htm",
                           "BeforeGlossary.htm", "BeforeSection.htm"})
    WriteFile(dir / "src" / name, "");
  bool ok = true;
  for (const PathologicalCase& c : PathologicalCases(size)) {
    WriteFile(dir / "src" / "Case.txt", c.Source);
    QuietHost host;
    TConverter converter(host);
    converter.TakeArguments(2, (dir / "src" / "Case.txt").string(), (dir / "out").string());
    ConversionOptions options;
    options.OpenIndex = false;
    const auto start = std::chrono::steady_clock::now();
    const ConversionResult result = converter.Process(options);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%-20s %9zu bytes  %.3f s  %.1f MB/s\n", c.Name.c_str(), c.Source.size(), seconds,
                static_cast<double>(c.Source.size()) / 1e6 / seconds);
    ok = ok && result.FilesSaved;
  }
  return ok ? 0 : 1;
}
