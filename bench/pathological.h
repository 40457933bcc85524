// Sources built to expose super-linear behaviour of the glossary step and the
// inline processor: near misses of long expressions, chains of nested
// expressions, shared long prefixes, runs of brackets.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

struct PathologicalCase {
  std::string Name;
  std::string Source;
};

/// Every case, each source about SIZE bytes.
std::vector<PathologicalCase> PathologicalCases(std::size_t size);
