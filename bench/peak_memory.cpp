#include "peak_memory.h"

#if defined(_WIN32)
#include <psapi.h>
#include <windows.h>

std::uint64_t PeakMemoryBytes() {
  PROCESS_MEMORY_COUNTERS counters{};
  if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters))
    return 0;
  return counters.PeakWorkingSetSize;
}
#else
#include <sys/resource.h>

std::uint64_t PeakMemoryBytes() {
  rusage usage{};
  if (getrusage(RUSAGE_SELF, &usage) != 0)
    return 0;
#if defined(__APPLE__)
  return static_cast<std::uint64_t>(usage.ru_maxrss); // bytes
#else
  return static_cast<std::uint64_t>(usage.ru_maxrss) * 1024; // kilobytes
#endif
}
#endif
