// Sources built to make a super-linear glossary step or inline processor
// crawl: each must convert far faster than a quadratic algorithm could (the
// limit is hundreds of times what linear time takes, so a busy machine never
// trips it, while a quadratic regression takes minutes and does).
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "engine/conversion.h"
#include "pathological.h"

namespace {

class QuietHost : public IConverterHost {
public:
  void LogLine(const std::string&, int) override {}
  void Progress(const ConversionProgress&) override {}
};

constexpr std::size_t kSize = 400000;
constexpr double kLimitSeconds = 10.0;

TEST(Pathological, EveryCaseConvertsInLinearTime) {
  for (const PathologicalCase& c : PathologicalCases(kSize)) {
    for (bool fast : {false, true}) {
      QuietHost host;
      ConversionOptions options;
      options.Fast = fast;
      options.OpenIndex = false;
      const bool abort = false;
      const SourceText source(c.Source);
      Pages pages;
      const auto start = std::chrono::steady_clock::now();
      Conversion conversion(host, options, "Case.cnt.htm", "", abort);
      conversion.ProcessSourceLines(source, pages);
      const double seconds =
          std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
      EXPECT_LT(seconds, kLimitSeconds) << c.Name << (fast ? " (fast)" : " (full)");
      EXPECT_GT(pages.Content.Size(), c.Source.size() / 2) << c.Name;
    }
  }
}

} // namespace
