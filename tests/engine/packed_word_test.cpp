// The packed word of a glossary entry: ReferenceIndex, LinkedFlag, HiddenFlag.
#include <gtest/gtest.h>

#include "engine_fixture.h"

namespace {

using engine_test::Engine;

TEST(PackedWord, ReferenceIndexKeepsTheOtherBits) {
  Engine e;
  e.c.GlossaryItems->Add("a", 1u << 17);
  e.c.SetReferenceIndex(0, 1234);
  EXPECT_EQ(e.c.GetReferenceIndex(0), 1234);
  EXPECT_EQ(e.c.GlossaryItems->GetObject(0), (1u << 17) | 1234u);
  EXPECT_TRUE(e.c.GetHiddenFlag(0));

  e.c.SetReferenceIndex(0, -1);
  EXPECT_EQ(e.c.GetReferenceIndex(0), -1);
  EXPECT_EQ(e.c.GlossaryItems->GetObject(0), (1u << 17) | 0xFFFFu);
  e.c.SetReferenceIndex(0, -7);
  EXPECT_EQ(e.c.GlossaryItems->GetObject(0) & 0xFFFFu, 0xFFFFu);

  e.c.SetReferenceIndex(0, 65536); // does not fit: stored as 0
  EXPECT_EQ(e.c.GetReferenceIndex(0), 0);
  e.c.SetReferenceIndex(0, 65534);
  EXPECT_EQ(e.c.GetReferenceIndex(0), 65534);
  EXPECT_TRUE(e.c.GetHiddenFlag(0));
}

TEST(PackedWord, LinkedFlagIsPerEntry) {
  Engine e;
  e.c.GlossaryItems->Add("a");
  e.c.GlossaryItems->Add("b", 1u << 17);
  EXPECT_FALSE(e.c.GetLinkedFlag(0));
  e.c.SetLinkedFlag(1, true);
  EXPECT_FALSE(e.c.GetLinkedFlag(0));
  EXPECT_TRUE(e.c.GetLinkedFlag(1));
  EXPECT_TRUE(e.c.GetHiddenFlag(1));
  e.c.SetLinkedFlag(1, false);
  EXPECT_FALSE(e.c.GetLinkedFlag(1));
  EXPECT_TRUE(e.c.GetHiddenFlag(1));
  EXPECT_FALSE(e.c.GetHiddenFlag(0));
}

TEST(PackedWord, TextLinesClearEveryLinkedFlag) {
  Engine e;
  e.Run({"~GS=apple", "~GS=pear", "apple", "pear"});
  // The third line marked apple; the fourth cleared every flag, then marked pear.
  EXPECT_FALSE(e.c.GetLinkedFlag(e.c.GlossaryItems->IndexOf("apple")));
  EXPECT_TRUE(e.c.GetLinkedFlag(e.c.GlossaryItems->IndexOf("pear")));
}

TEST(PackedWord, FlagsSetByALineStayUntilTheNextTextLine) {
  Engine e;
  e.Run({"~GS=apple", "~S=T", "apple pie"});
  const int apple = e.c.GlossaryItems->IndexOf("apple");
  EXPECT_TRUE(e.c.GetLinkedFlag(apple));
}

TEST(PackedWord, OutOfRangeIndexThrows) {
  Engine e;
  EXPECT_ANY_THROW(e.c.GetLinkedFlag(0));
  EXPECT_ANY_THROW(e.c.SetLinkedFlag(3, true));
  EXPECT_ANY_THROW(e.c.GetReferenceIndex(0));
}

} // namespace
