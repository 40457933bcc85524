// Writes the stress project of the benchmark: by default a source of exactly
// 10,000,000 bytes (the largest the converter accepts) with 65,535 glossary
// items, every command of the source language, inline markup, and the five
// templates.
//
//   orvanel_bench_generate DIR [SEED SIZE]   writes DIR/src/Stress.txt, the
//                                            templates in DIR/src, an empty DIR/out
#include <cstdio>
#include <cstdlib>
#include <exception>

#include "stress_project.h"

int main(int argc, char** argv) {
  if (argc != 2 && argc != 4) {
    std::fprintf(stderr, "usage: %s DIR [SEED SIZE]\n", argv[0]);
    return 2;
  }
  try {
    StressParameters p;
    if (argc == 4)
      p = ScaledStress(static_cast<std::uint32_t>(std::strtoul(argv[2], nullptr, 10)),
                       std::strtoull(argv[3], nullptr, 10));
    const std::string source = MakeStressSource(p);
    WriteStressProject(argv[1], source);
    std::printf("%s/src/Stress.txt: %zu bytes, %d glossary items, %d sections\n", argv[1],
                source.size(), p.GlossaryItems, p.Sections);
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "error: %s\n", e.what());
    return 1;
  }
}
