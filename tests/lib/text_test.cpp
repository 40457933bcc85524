// Text helpers: comparator, acronym test, identifier maker.
#include "lib/text.h"

#include <gtest/gtest.h>

TEST(CompareText, FoldsAsciiCaseOnly) {
  EXPECT_EQ(CompareText("abc", "ABC"), 0);
  EXPECT_LT(CompareText("abc", "ABD"), 0);
  EXPECT_GT(CompareText("b", "A"), 0);
  EXPECT_LT(CompareText("ab", "abc"), 0);
  EXPECT_GT(CompareText("abc", "ab"), 0);
  EXPECT_EQ(CompareText("", ""), 0);
  // Bytes above 127 compare unsigned and are not folded.
  EXPECT_GT(CompareText("\xE9", "z"), 0);
  EXPECT_NE(CompareText("\xC9", "\xE9"), 0);
}

TEST(SameText, IgnoresAsciiCase) {
  EXPECT_TRUE(SameText("Glossary", "gLOSSARY"));
  EXPECT_FALSE(SameText("Glossary", "Glossar"));
  EXPECT_TRUE(SameText("", ""));
}

TEST(IsAcronym, ShortTextsAreAcronyms) {
  EXPECT_TRUE(IsAcronym(""));
  EXPECT_TRUE(IsAcronym("a"));
  EXPECT_TRUE(IsAcronym("ab"));
  EXPECT_TRUE(IsAcronym("Ab"));
}

TEST(IsAcronym, LastCharacterIsNeverExamined) {
  EXPECT_TRUE(IsAcronym("ABCs"));
  EXPECT_TRUE(IsAcronym("HTML"));
  EXPECT_FALSE(IsAcronym("ABc1"));
  EXPECT_FALSE(IsAcronym("aBC"));
  EXPECT_FALSE(IsAcronym("Html"));
}

TEST(IsAcronym, OnlyLowercaseAsciiLettersFail) {
  EXPECT_TRUE(IsAcronym("A B-C.1"));
  EXPECT_TRUE(IsAcronym("\xE9\xE8\xE0x"));
  EXPECT_TRUE(IsAcronym("C++"));
}

TEST(MakeIdentifier, ReplacesNonWordCharacters) {
  std::string text = "a-b c";
  MakeIdentifier(text);
  EXPECT_EQ(text, "a_b_c");

  std::string empty;
  MakeIdentifier(empty);
  EXPECT_EQ(empty, "");

  std::string high = "x\xE9y";
  MakeIdentifier(high);
  EXPECT_EQ(high, "x_y");

  std::string word = "Az_09";
  MakeIdentifier(word);
  EXPECT_EQ(word, "Az_09");
}

TEST(MakeIdentifier, ChangesOnlyItsOwnCopy) {
  const std::string original = "a b";
  std::string copy = original;
  MakeIdentifier(copy);
  EXPECT_EQ(original, "a b");
  EXPECT_EQ(copy, "a_b");
  EXPECT_EQ(copy.size(), original.size());
}
