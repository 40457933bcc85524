// The process's peak resident memory, for the benchmark's report.
#pragma once

#include <cstdint>

/// Peak resident set size of this process in bytes; 0 when unknown.
std::uint64_t PeakMemoryBytes();
