// The trie matcher against the plain longest-first scan.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "engine/glossary_matcher.h"
#include "lib/text.h"

namespace {

using List = std::vector<std::string>;

// The glossary step as written: the first expression in list order that matches.
int PlainScan(const List& list, const std::string& text, std::size_t pos) {
  for (std::size_t k = 0; k < list.size(); ++k) {
    const std::string& e = list[k];
    if (e.empty() || e.size() > text.size() - pos)
      continue;
    const std::string_view here(text.data() + pos, e.size());
    if (IsAcronym(e)) {
      if (here == e)
        return static_cast<int>(k);
    } else if (SameText(here, e) &&
               (pos == 0 || !IsWordChar(static_cast<unsigned char>(text[pos - 1])))) {
      return static_cast<int>(k);
    }
  }
  return -1;
}

// The longest-first order: stably sorted by length.
List ByLength(const std::vector<std::string>& items) {
  List sorted = items;
  std::stable_sort(sorted.begin(), sorted.end(),
                   [](const std::string& a, const std::string& b) { return a.size() > b.size(); });
  return sorted;
}

std::vector<std::string_view> Views(const List& list) {
  return {list.begin(), list.end()};
}

// The answer of the trie alone, without a budget.
int Find(const GlossaryMatcher& m, std::string_view text, std::size_t pos) {
  std::size_t budget = SIZE_MAX;
  return m.FindInTrie(text, pos, budget);
}

class Generator {
public:
  explicit Generator(unsigned seed) : rng_(seed) {}

  int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }

  // Words from a small alphabet so that expressions share prefixes and occur
  // often; some bytes above 127, digits, "_" and punctuation for the
  // boundary rule.
  std::string Word() {
    static const std::string letters = "abcdeABCDE";
    std::string w;
    int length = 1 + Pick(4);
    for (int i = 0; i < length; ++i)
      w += letters[static_cast<std::size_t>(Pick(static_cast<int>(letters.size())))];
    return w;
  }

  std::string Expression() {
    std::string e = Word();
    int more = Pick(3);
    for (int i = 0; i < more; ++i)
      e += (Pick(4) == 0 ? "-" : " ") + Word();
    switch (Pick(6)) {
    case 0: { // an acronym
      std::string up;
      for (char c : e)
        up += static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
      return up;
    }
    case 1:
      return e + "s";
    default:
      return e;
    }
  }

  std::string CaseVariant(std::string e) {
    for (char& c : e)
      if (Pick(3) == 0 && IsAsciiLetter(static_cast<unsigned char>(c)))
        c = static_cast<char>(c ^ 0x20);
    return e;
  }

  std::string Text(const std::vector<std::string>& items, int pieces) {
    static const char* separators[] = {" ", " ", "-", "_", "1", "x", "\xE9", ".", ""};
    std::string t;
    for (int i = 0; i < pieces; ++i) {
      if (Pick(3) == 0)
        t += Word();
      else
        t += CaseVariant(items[static_cast<std::size_t>(Pick(static_cast<int>(items.size())))]);
      t += separators[Pick(9)];
    }
    return t;
  }

private:
  std::mt19937 rng_;
};

TEST(GlossaryMatcher, AgreesWithThePlainScanOnGeneratedText) {
  for (unsigned seed = 1; seed <= 16; ++seed) {
    Generator g(seed);
    std::vector<std::string> items;
    const int count = 50 + g.Pick(400);
    for (int i = 0; i < count; ++i) {
      switch (g.Pick(8)) {
      case 0: // an exact duplicate
        if (!items.empty()) {
          items.push_back(items[static_cast<std::size_t>(g.Pick(static_cast<int>(items.size())))]);
          break;
        }
        [[fallthrough]];
      case 1: // a variant differing in case only
        if (!items.empty()) {
          items.push_back(g.CaseVariant(
              items[static_cast<std::size_t>(g.Pick(static_cast<int>(items.size())))]));
          break;
        }
        [[fallthrough]];
      default:
        items.push_back(g.Expression());
      }
    }
    const List list = ByLength(items);
    const GlossaryMatcher matcher(Views(list));
    for (int line = 0; line < 10; ++line) {
      const std::string text = g.Text(items, 30);
      // The sweep answers every position at once, from any start on.
      const std::size_t from = static_cast<std::size_t>(g.Pick(static_cast<int>(text.size()) + 1));
      std::vector<std::int32_t> swept;
      matcher.Sweep(text, from, swept);
      ASSERT_GE(swept.size(), text.size());
      for (std::size_t pos = 0; pos < text.size(); ++pos) {
        const int expected = PlainScan(list, text, pos);
        const int found = Find(matcher, text, pos);
        ASSERT_EQ(found, expected) << "seed " << seed << " at " << pos << " of \"" << text << "\"";
        if (found >= 0) {
          ASSERT_EQ(matcher.Length(found), list[static_cast<std::size_t>(found)].size());
        }
        if (pos >= from) {
          ASSERT_EQ(swept[pos], expected) << "sweep, seed " << seed << " at " << pos;
        }
      }
    }
  }
}

TEST(GlossaryMatcher, AnyOrderAmongEqualLengthsIsHonoured) {
  // Longest first, but among expressions of one length (case variants above
  // all) the first in list order wins, whatever that order is.
  for (unsigned seed = 100; seed < 110; ++seed) {
    Generator g(seed);
    std::vector<std::string> items;
    for (int i = 0; i < 200; ++i)
      items.push_back(g.Pick(4) == 0 && !items.empty() ? g.CaseVariant(items.back())
                                                       : g.Expression());
    std::shuffle(items.begin(), items.end(), std::mt19937(seed));
    items = ByLength(items);
    const GlossaryMatcher matcher(Views(items));
    const std::string text = g.Text(items, 200);
    for (std::size_t pos = 0; pos < text.size(); ++pos)
      ASSERT_EQ(Find(matcher, text, pos), PlainScan(items, text, pos)) << seed << " " << pos;
  }
}

TEST(GlossaryMatcher, BoundariesAcronymsAndLongestFirst) {
  const List list = ByLength({"oak", "oak leaf", "cat", "HTML", "is"});
  const GlossaryMatcher m(Views(list));
  auto found = [&](const std::string& text, std::size_t pos) {
    int k = Find(m, text, pos);
    return k < 0 ? std::string("-") : list[static_cast<std::size_t>(k)];
  };
  EXPECT_EQ(found("oak leaf", 0), "oak leaf");
  EXPECT_EQ(found("Oak Leaf", 0), "oak leaf");
  EXPECT_EQ(found("oak tree", 0), "oak");
  EXPECT_EQ(found("category", 0), "cat");
  EXPECT_EQ(found("bobcat", 3), "-");
  EXPECT_EQ(found("bob-cat", 4), "cat");
  EXPECT_EQ(found("\xE9"
                  "cat",
                  1),
            "cat");
  EXPECT_EQ(found("html", 0), "-");
  EXPECT_EQ(found("XHTML", 1), "HTML");
  EXPECT_EQ(found("this", 2), "is");
  EXPECT_EQ(found("thIs", 2), "-");
  EXPECT_EQ(found("oak lea", 0), "oak"); // the longer one would run past the end
  EXPECT_EQ(found("", 0), "-");
}

TEST(GlossaryMatcher, CaseVariantsAtOneNodeKeepListOrder) {
  // "ABC" (acronym) and "abc" fold alike; with the acronym first, "abc" in the
  // text is taken by the second entry, "ABC" by the first.
  const List list = {"ABC", "abc", "Abc"};
  const GlossaryMatcher m(Views(list));
  EXPECT_EQ(Find(m, "ABC", 0), 0);
  EXPECT_EQ(Find(m, "abc", 0), 1);
  EXPECT_EQ(Find(m, "xABC", 1), 0);
  EXPECT_EQ(Find(m, "xabc", 1), -1); // "abc" needs a word boundary
}

TEST(GlossaryMatcher, EmptyExpressionsAreNeverTaken) {
  const List list = {"", "a"};
  const GlossaryMatcher m(Views(list));
  EXPECT_EQ(Find(m, "a", 0), 1);
  EXPECT_EQ(Find(m, "b", 0), -1);
}

} // namespace
