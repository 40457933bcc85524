// The glossary step's search, both ways it answers (trie walks within a
// line's budget, and the right-to-left sweep), against a plain reading of the
// rules: try the expressions longest first; an acronym matches its exact
// bytes anywhere, any other expression ignoring ASCII case after a word
// boundary only.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "engine/glossary_matcher.h"
#include "lib/text.h"

namespace {

int PlainReading(const std::vector<std::string>& expressions, const std::string& text,
                 std::size_t pos) {
  const bool boundary = pos == 0 || !IsWordChar(static_cast<unsigned char>(text[pos - 1]));
  for (std::size_t i = 0; i < expressions.size(); ++i) {
    const std::string& e = expressions[i];
    if (e.empty() || text.size() - pos < e.size())
      continue;
    if (IsAcronym(e) ? text.compare(pos, e.size(), e) == 0
                     : boundary && SameText(std::string_view(text).substr(pos, e.size()), e))
      return static_cast<int>(i);
  }
  return -1;
}

// Longest first, equal lengths in their given order: how the glossary hands
// its expressions over.
std::vector<std::string> LongestFirst(std::vector<std::string> v) {
  std::stable_sort(v.begin(), v.end(),
                   [](const std::string& a, const std::string& b) { return a.size() > b.size(); });
  return v;
}

std::vector<std::string_view> Views(const std::vector<std::string>& v) {
  return {v.begin(), v.end()};
}

// Every position: trie walks with an ample budget, the sweep, and the cursor
// (which switches to the sweep when a line uses up its budget).
void ExpectAgreement(const std::vector<std::string>& expressions, const std::string& text) {
  const GlossaryMatcher matcher(Views(expressions));
  std::vector<std::int32_t> swept;
  matcher.Sweep(text, 0, swept);
  GlossaryCursor cursor(matcher);
  cursor.Reset(text);
  for (std::size_t pos = 0; pos < text.size(); ++pos) {
    const int expected = PlainReading(expressions, text, pos);
    std::size_t budget = SIZE_MAX;
    ASSERT_EQ(matcher.FindInTrie(text, pos, budget), expected)
        << "trie at " << pos << " of " << text;
    ASSERT_EQ(swept[pos], expected) << "sweep at " << pos << " of " << text;
    ASSERT_EQ(cursor.Find(pos), expected) << "cursor at " << pos << " of " << text;
  }
}

TEST(LinearMatcher, AgreesWithThePlainReadingOnRandomTexts) {
  std::mt19937 rng(7);
  const std::string alphabet = "aAbB _-c";
  auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
  for (int round = 0; round < 300; ++round) {
    std::vector<std::string> expressions;
    const int count = 1 + pick(12);
    for (int i = 0; i < count; ++i) {
      std::string e;
      const int length = pick(7); // empty ones are never taken
      for (int k = 0; k < length; ++k)
        e += alphabet[static_cast<std::size_t>(pick(static_cast<int>(alphabet.size())))];
      expressions.push_back(e);
    }
    std::string text;
    const int length = 1 + pick(80);
    for (int k = 0; k < length; ++k)
      text += alphabet[static_cast<std::size_t>(pick(static_cast<int>(alphabet.size())))];
    ExpectAgreement(LongestFirst(expressions), text);
  }
}

TEST(LinearMatcher, EqualTextsAndMixedClassesPickTheFirstThatPasses) {
  // The same folded text as an acronym and as a word; duplicates in list order.
  ExpectAgreement(LongestFirst({"ab", "AB", "Ab", "abc", "ABC", "ABc", "x", "X"}),
                  "ab AB Ab aB abc ABC ABc abC xX Xx x_X ab_AB");
  ExpectAgreement(LongestFirst({"menu bar", "Menu", "MENU", "bar", "BAR"}),
                  "Menu bar, MENU BAR, menubar, a menu_bar.");
}

TEST(LinearMatcher, NearMissesUseTheSweepAndStayCorrect) {
  const std::string word = std::string(300, 'a') + "b";
  const std::string acronym = std::string(300, 'A') + "B";
  for (const auto& [expressions, text] :
       std::vector<std::pair<std::vector<std::string>, std::string>>{
           {{word, "a"}, std::string(3000, 'a') + "b"},
           {{acronym, "AA"}, std::string(3000, 'A') + "B"},
           {{"aaab", "aab", "ab", "a"}, std::string(2000, 'a') + "ab"},
       }) {
    const std::vector<std::string> ordered = LongestFirst(expressions);
    const GlossaryMatcher matcher(Views(ordered));
    GlossaryCursor cursor(matcher);
    cursor.Reset(text);
    for (std::size_t pos = 0; pos < text.size(); ++pos)
      ASSERT_EQ(cursor.Find(pos), PlainReading(ordered, text, pos)) << pos;
    if (expressions[0].size() > 100) {
      EXPECT_TRUE(cursor.Swept()) << "a line of near misses must exhaust its budget";
    }
  }
}

TEST(LinearMatcher, TypicalTextStaysInTheTrie) {
  const std::vector<std::string> expressions =
      LongestFirst({"glossary", "item", "menu bar", "HTML", "CSS", "file"});
  const GlossaryMatcher matcher(Views(expressions));
  GlossaryCursor cursor(matcher);
  const std::string text = "The glossary item of a file: the menu bar shows HTML and CSS files.";
  cursor.Reset(text);
  for (std::size_t pos = 0; pos < text.size(); ++pos)
    ASSERT_EQ(cursor.Find(pos), PlainReading(expressions, text, pos));
  EXPECT_FALSE(cursor.Swept());
}

} // namespace
