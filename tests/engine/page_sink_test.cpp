// The page buffer: growth keeps every byte, and a page never passes its limit.
#include <gtest/gtest.h>

#include <string>

#include "engine/page_sink.h"
#include "lib/error.h"

namespace {

TEST(PageSink, GrowthKeepsEveryByteInOrder) {
  PageSink sink;
  std::string expected;
  for (int i = 0; i < 20000; ++i) {
    const std::string piece = std::to_string(i) + (i % 7 == 0 ? std::string(300, 'x') : "");
    sink.Append(piece);
    sink.Append(',');
    expected += piece + ',';
  }
  sink.AppendNumber(-1234567890123LL);
  expected += "-1234567890123";
  EXPECT_EQ(sink.View(), expected);
  sink.Truncate(5);
  EXPECT_EQ(sink.View(), expected.substr(0, 5));
  sink.Truncate(50); // never longer than it was
  EXPECT_EQ(sink.Size(), 5u);
}

TEST(PageSink, ReserveKeepsTheContentAndExtendWritesInPlace) {
  PageSink sink;
  sink.Append("head");
  sink.Reserve(1 << 20);
  char* at = sink.Extend(3);
  at[0] = 'a';
  at[1] = 'b';
  at[2] = 'c';
  sink.Append(std::string_view());
  EXPECT_EQ(sink.View(), "headabc");
}

TEST(PageSink, APageBeyondItsLimitFailsInsteadOfLosingText) {
  // A small limit stands for the real one (whole conversions test that).
  constexpr std::size_t limit = (1 << 20) - 1;
  PageSink sink(limit);
  const std::string block(1 << 12, 'p');
  // Whole blocks up to the last one that fits.
  for (std::size_t i = 0; i + 1 < (limit + 1) / block.size(); ++i)
    sink.Append(block);
  EXPECT_THROW(sink.Append(block), TOrvanelError);
  EXPECT_EQ(sink.Size(), limit + 1 - block.size());
  sink.Append(std::string(block.size() - 1, 'q')); // exactly the limit
  EXPECT_EQ(sink.Size(), limit);
  EXPECT_THROW(sink.Append('r'), TOrvanelError);
  EXPECT_THROW(sink.Extend(1), TOrvanelError);
  EXPECT_EQ(sink.View().back(), 'q');
}

} // namespace
