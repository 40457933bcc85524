// Numeric and bit-field helpers.
#pragma once

#include <cstdint>
#include <string>

double FracPart(double x);
/// Fractional part in [0, 1).
double PositiveFracPart(double x);
/// Number of significant bits of N (0 for 0).
int BitCount(std::int64_t n);
std::int32_t GetBits(std::int32_t value, int shift, int count);
/// VALUE with bits SHIFT..SHIFT+COUNT-1 replaced by FIELD; a field that does
/// not fit is stored as 0.
std::int32_t SetBits(std::int32_t value, std::int32_t field, int shift, int count);
/// Decimal with the locale's thousands separator ("," where it has none).
std::string FormatThousands(std::int64_t value);
