// The generators' random source: the same seed gives the same project on
// every machine (the differential test's record depends on it).
#pragma once

#include <cstdint>
#include <random>
#include <vector>

class Random {
public:
  explicit Random(std::uint32_t seed) : rng_(seed) {}
  int Below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }
  bool Chance(int percent) { return Below(100) < percent; }
  template <class T> const T& Pick(const std::vector<T>& v) {
    return v[static_cast<std::size_t>(Below(static_cast<int>(v.size())))];
  }

private:
  std::mt19937 rng_;
};
