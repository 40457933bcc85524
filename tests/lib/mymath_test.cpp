// Numeric helpers: fractions, bit fields, thousands.
#include "lib/mymath.h"

#include <gtest/gtest.h>

#include <clocale>
#include <limits>

TEST(FracPart, KeepsTheSign) {
  EXPECT_DOUBLE_EQ(FracPart(1.25), 0.25);
  EXPECT_DOUBLE_EQ(FracPart(-1.25), -0.25);
  EXPECT_DOUBLE_EQ(FracPart(3.0), 0.0);
}

TEST(PositiveFracPart, IsInZeroToOne) {
  EXPECT_DOUBLE_EQ(PositiveFracPart(1.25), 0.25);
  EXPECT_DOUBLE_EQ(PositiveFracPart(-1.25), 0.75);
  EXPECT_DOUBLE_EQ(PositiveFracPart(-2.0), 0.0);
  EXPECT_LT(PositiveFracPart(-1e-20), 1.0);
}

TEST(BitCount, SignificantBits) {
  EXPECT_EQ(BitCount(0), 0);
  EXPECT_EQ(BitCount(1), 1);
  EXPECT_EQ(BitCount(2), 2);
  EXPECT_EQ(BitCount(3), 2);
  EXPECT_EQ(BitCount(4), 3);
  EXPECT_EQ(BitCount(7), 3);
  EXPECT_EQ(BitCount(255), 8);
  EXPECT_EQ(BitCount(256), 9);
  EXPECT_EQ(BitCount(511), 9);
  EXPECT_EQ(BitCount((1 << 30) - 1), 30);
}

TEST(GetBits, ReadsAField) {
  EXPECT_EQ(GetBits(1 << 16, 16, 1), 1);
  EXPECT_EQ(GetBits(~(1 << 16), 16, 1), 0);
  EXPECT_EQ(GetBits(0x12345678, 16, 16), 0x1234);
  EXPECT_EQ(GetBits(0x12345678, 0, 16), 0x5678);
  EXPECT_EQ(GetBits(0x12345678, 4, 8), 0x67);
  // Arithmetic shift: the sign fills the top.
  EXPECT_EQ(GetBits(-1, 16, 16), 0xFFFF);
  EXPECT_EQ(GetBits(-1, 0, 31), 0x7FFFFFFF);
  EXPECT_EQ(GetBits(123, 3, 0), 0);
}

TEST(SetBits, ReplacesAFieldOnly) {
  EXPECT_EQ(SetBits(0, 1, 17, 1), 1 << 17);
  EXPECT_EQ(SetBits(0x00FF00FF, 1, 17, 1), 0x00FF00FF | (1 << 17));
  EXPECT_EQ(SetBits(0x12345678, 0xABCD, 16, 16), static_cast<std::int32_t>(0xABCD5678));
  EXPECT_EQ(SetBits(0x12345678, 0xFFFF, 0, 16), 0x1234FFFF);
  EXPECT_EQ(SetBits(-1, 0, 17, 1), ~(1 << 17));
}

TEST(SetBits, FieldThatDoesNotFitIsStoredAsZero) {
  EXPECT_EQ(SetBits(0x1234FFFF, 65536, 0, 16), 0x12340000);
  EXPECT_EQ(SetBits(0, 2, 5, 1), 0);
  EXPECT_EQ(SetBits(0, 1, 5, 1), 32);
}

TEST(SetBits, RoundTripsWithGetBits) {
  std::int32_t packed = 0;
  packed = SetBits(packed, 0xFFFF, 0, 16);
  packed = SetBits(packed, 1, 16, 1);
  packed = SetBits(packed, 1234, 17, 14);
  EXPECT_EQ(GetBits(packed, 0, 16), 0xFFFF);
  EXPECT_EQ(GetBits(packed, 16, 1), 1);
  EXPECT_EQ(GetBits(packed, 17, 14), 1234);
}

TEST(FormatThousands, CommaInTheCLocale) {
  ASSERT_NE(std::setlocale(LC_NUMERIC, "C"), nullptr);
  EXPECT_EQ(FormatThousands(1234567), "1,234,567");
  EXPECT_EQ(FormatThousands(0), "0");
  EXPECT_EQ(FormatThousands(999), "999");
  EXPECT_EQ(FormatThousands(1000), "1,000");
  EXPECT_EQ(FormatThousands(100000), "100,000");
  EXPECT_EQ(FormatThousands(-1234), "-1,234");
  EXPECT_EQ(FormatThousands(std::numeric_limits<std::int64_t>::min()),
            "-9,223,372,036,854,775,808");
}

TEST(FormatThousands, UsesTheLocalesSeparator) {
  const char* locales[] = {"de_DE.UTF-8", "de_DE.utf8", "de_DE", "fr_FR.UTF-8", "fr_FR.utf8"};
  const char* chosen = nullptr;
  for (const char* name : locales) {
    if (std::setlocale(LC_NUMERIC, name)) {
      chosen = name;
      break;
    }
  }
  if (!chosen)
    GTEST_SKIP() << "no locale with a thousands separator other than the C locale's";
  const std::string separator = std::localeconv()->thousands_sep;
  const std::string text = FormatThousands(1234567);
  std::setlocale(LC_NUMERIC, "C");
  if (separator.empty())
    GTEST_SKIP() << chosen << " has no thousands separator";
  EXPECT_EQ(text, "1" + separator + "234" + separator + "567");
}
