// The stress project of the benchmark and of the differential test.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

struct StressParameters {
  std::uint32_t Seed = 20240601;
  std::size_t SourceSize = 10000000; // exact size of the source in bytes
  int GlossaryItems = 65535;
  int Sections = 6000;
};

/// Parameters for a smaller project of SIZE bytes with items and sections in
/// the proportions of the full-size one.
StressParameters ScaledStress(std::uint32_t seed, std::size_t size);

/// The source text: every command, inline markup and the glossary items used
/// throughout; exactly SourceSize bytes.
std::string MakeStressSource(const StressParameters& p);

/// DIR/src/Stress.txt with SOURCE, the five templates in DIR/src, an empty DIR/out.
void WriteStressProject(const std::filesystem::path& dir, const std::string& source);
