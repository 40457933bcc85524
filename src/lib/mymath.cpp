// Numeric and bit-field helpers.
#include "mymath.h"

#include <cmath>

#include "platform/platform.h"

double FracPart(double x) {
  return x - std::trunc(x);
}

double PositiveFracPart(double x) {
  double f = FracPart(x);
  if (f < 0)
    f += 1;
  // A tiny negative fraction rounds up to 1; it stands for 0.
  return f >= 1 ? 0 : f;
}

int BitCount(std::int64_t n) {
  auto u = static_cast<std::uint64_t>(n);
  int count = 0;
  while (u != 0) {
    u >>= 1;
    ++count;
  }
  return count;
}

std::int32_t GetBits(std::int32_t value, int shift, int count) {
  const std::int64_t mask = (std::int64_t{1} << count) - 1;
  return static_cast<std::int32_t>((std::int64_t{value} >> shift) & mask);
}

std::int32_t SetBits(std::int32_t value, std::int32_t field, int shift, int count) {
  const std::int64_t limit = std::int64_t{1} << count;
  if (field >= limit)
    field = 0;
  const std::uint32_t mask = static_cast<std::uint32_t>(limit - 1) << shift;
  const std::uint32_t result =
      (static_cast<std::uint32_t>(value) & ~mask) | (static_cast<std::uint32_t>(field) << shift);
  return static_cast<std::int32_t>(result);
}

std::string FormatThousands(std::int64_t value) {
  std::string separator = plat::LocaleThousandsSeparator();
  if (separator.empty())
    separator.push_back(',');
  const bool negative = value < 0;
  std::uint64_t magnitude =
      negative ? ~static_cast<std::uint64_t>(value) + 1 : static_cast<std::uint64_t>(value);
  const std::string digits = std::to_string(magnitude);
  std::string result(negative ? "-" : "");
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0)
      result += separator;
    result += digits[i];
  }
  return result;
}
