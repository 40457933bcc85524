// Every conversion of a large set of generated projects (random small ones
// using every command, and stress projects at many seeds and sizes), in every
// option combination, fast and full, must write exactly what the record in
// record.txt says: a hash of the four pages and the log of each conversion.
// Reshaping the engine must never change a byte.
//
// ORVANEL_DIFFERENTIAL_RECORD=FILE writes a new record instead of checking.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "random_project.h"
#include "stress_project.h"
#include "support/test_support.h"

namespace {

using testing_support::TempDir;

struct Options {
  bool Fast = false;
  bool MakeCodePretty = false;
  bool UseTable = true;
  bool UseSectionSep = true;
  bool UseProjectOptions = true;
};

Options OptionsOf(unsigned bits, bool fast) {
  Options o;
  o.Fast = fast;
  o.MakeCodePretty = (bits & 1) != 0;
  o.UseTable = (bits & 2) == 0;
  o.UseSectionSep = (bits & 4) == 0;
  o.UseProjectOptions = (bits & 8) == 0;
  return o;
}

class Fnv {
public:
  void Add(const std::string& bytes) {
    for (unsigned char c : bytes) {
      h_ ^= c;
      h_ *= 1099511628211ull;
    }
    // A separator, so that moving bytes between two parts changes the hash.
    h_ ^= 0x1F;
    h_ *= 1099511628211ull;
  }
  std::string Hex() const {
    std::ostringstream s;
    s << std::hex << h_;
    return s.str();
  }

private:
  std::uint64_t h_ = 14695981039346656037ull;
};

// Converts SRC_DIR/NAME.txt into OUT_DIR and hashes the pages and the log
// (without the time line, which depends on the machine).
std::string ConvertAndHash(const std::string& srcDir, const std::string& name,
                           const std::string& outDir, const Options& o) {
  testing_support::RecordingHost host;
  host.UseProjectOptions = o.UseProjectOptions;
  host.MakeCodePretty = o.MakeCodePretty;
  host.UseTable = o.UseTable;
  host.UseSectionSep = o.UseSectionSep;
  host.Fast = o.Fast;
  TConverter converter(host);
  converter.TakeArguments(2, srcDir + name + ".txt", outDir);
  host.Log.clear();
  ConversionOptions options = host.Options();
  options.ProgressIntervalMs = 30;
  converter.Process(options);

  Fnv h;
  for (const std::string& line : host.Log)
    if (line.rfind("* Time: ", 0) != 0)
      h.Add(line);
  for (const char* ext : {".cnt.htm", ".toc.htm", ".tocbtn.htm", ".gls.htm"}) {
    const std::string path = outDir + name + ext;
    h.Add(testing_support::FileExists(path) ? testing_support::ReadFileBytes(path) : "<none>");
  }
  return h.Hex();
}

class Record {
public:
  Record() {
    if (const char* out = std::getenv("ORVANEL_DIFFERENTIAL_RECORD"))
      recordTo_ = out;
    std::ifstream in(ORVANEL_DIFFERENTIAL_RECORD_FILE);
    std::string name, hash;
    while (in >> name >> hash)
      expected_[name] = hash;
  }
  ~Record() {
    if (recordTo_.empty())
      return;
    std::ofstream out(recordTo_, std::ios::app);
    for (const auto& [name, hash] : actual_)
      out << name << ' ' << hash << '\n';
  }
  void Check(const std::string& name, const std::string& hash) {
    actual_.emplace_back(name, hash);
    if (!recordTo_.empty())
      return;
    auto it = expected_.find(name);
    if (it == expected_.end())
      ADD_FAILURE() << "no recorded hash for " << name;
    else if (it->second != hash)
      ADD_FAILURE() << name << ": output differs from the record";
  }
  std::size_t Expected() const { return expected_.size(); }

private:
  std::string recordTo_;
  std::map<std::string, std::string> expected_;
  std::vector<std::pair<std::string, std::string>> actual_;
};

TEST(Differential, RandomProjectsInEveryOptionCombination) {
  Record record;
  TempDir dir;
  const std::string src = dir / "src/";
  const std::string out = dir / "out/";
  testing_support::MakeDirectory(src);
  testing_support::MakeDirectory(out);
  for (std::uint32_t seed = 1; seed <= 1000; ++seed) {
    const differential::RandomProject p = differential::MakeRandomProject(seed);
    testing_support::WriteFileBytes(src + "Guide.txt", p.Source);
    for (const auto& [name, text] : p.Templates)
      testing_support::WriteFileBytes(src + name, text);
    for (bool fast : {false, true}) {
      const Options o = OptionsOf(seed % 16, fast);
      record.Check("random-" + std::to_string(seed) + (fast ? "-fast" : "-full"),
                   ConvertAndHash(src, "Guide", out, o));
    }
  }
}

TEST(Differential, StressProjectsAtManySeedsAndSizes) {
  Record record;
  TempDir dir;
  struct Run {
    std::uint32_t Seed;
    std::size_t Size;
  };
  std::vector<Run> runs;
  for (std::uint32_t seed = 1; seed <= 4; ++seed)
    for (std::size_t size : {30000u, 150000u, 600000u})
      runs.push_back({seed, size});
  runs.push_back({20240601, 10000000}); // the benchmark's own project
  for (const Run& run : runs) {
    const StressParameters p =
        run.Size == 10000000 ? StressParameters{} : ScaledStress(run.Seed, run.Size);
    const std::string project =
        dir / ("s" + std::to_string(run.Seed) + "-" + std::to_string(run.Size));
    WriteStressProject(project, MakeStressSource(p));
    const std::string name = "stress-" + std::to_string(run.Seed) + "-" + std::to_string(run.Size);
    for (unsigned bits : {0u, 9u, 6u}) {
      if (run.Size == 10000000 && bits != 0)
        continue;
      for (bool fast : {false, true})
        record.Check(
            name + "-o" + std::to_string(bits) + (fast ? "-fast" : "-full"),
            ConvertAndHash(project + "/src/", "Stress", project + "/out/", OptionsOf(bits, fast)));
    }
  }
}

TEST(Differential, ExampleManualInEveryOptionCombination) {
  Record record;
  TempDir dir;
  for (unsigned bits = 0; bits < 16; ++bits)
    for (bool fast : {false, true})
      record.Check(
          "example-o" + std::to_string(bits) + (fast ? "-fast" : "-full"),
          ConvertAndHash(ORVANEL_EXAMPLE_DIR "/", "Manual", dir.Path(), OptionsOf(bits, fast)));
}

} // namespace
