#include "pathological.h"

namespace {

// Lines of LINE until the source holds about SIZE bytes.
std::string Repeat(std::string head, const std::string& line, std::size_t size) {
  while (head.size() + line.size() + 2 <= size) {
    head += line;
    head += "\r\n";
  }
  return head;
}

// A text of SIZE bytes repeating UNIT.
std::string Cycle(const std::string& unit, std::size_t size) {
  std::string s;
  s.reserve(size);
  while (s.size() < size)
    s += unit;
  s.resize(size);
  return s;
}

} // namespace

std::vector<PathologicalCase> PathologicalCases(std::size_t size) {
  // Long lines make the near misses long; ten lines or so per source.
  const std::size_t line = size / 10;
  const std::size_t expression = line / 10;
  std::vector<PathologicalCase> cases;

  // An expression that almost matches everywhere: all but its last letter.
  cases.push_back({"near-miss-lowercase", Repeat("~GS=" + std::string(expression, 'a') + "b\r\n",
                                                 std::string(line, 'a'), size)});
  cases.push_back({"near-miss-acronym", Repeat("~GS=" + std::string(expression, 'A') + "B\r\n",
                                               std::string(line, 'A'), size)});
  // The same at word boundaries: "a a a ... a b".
  cases.push_back({"near-miss-words", Repeat("~GS=" + Cycle("a ", 2 * expression) + "b\r\n",
                                             Cycle("a ", line), size)});

  // Chains of nested expressions: A, AA, AAA, ... and ab, abab, ...
  {
    std::string head;
    for (std::size_t n = 1; n <= 400; ++n)
      head += "~GS=" + std::string(n, 'A') + "\r\n";
    cases.push_back({"nested-acronyms", Repeat(head, std::string(line, 'A'), size)});
  }
  {
    std::string head;
    for (std::size_t n = 1; n <= 400; ++n)
      head += "~GS=" + Cycle("ab", 2 * n) + "\r\n";
    cases.push_back({"nested-words", Repeat(head, Cycle("ab", line), size)});
  }

  // Many expressions sharing one long prefix, none of them in the text.
  {
    const std::string prefix = Cycle("prefix", expression / 10);
    std::string head;
    for (int i = 0; i < 400; ++i)
      head += "~GS=" + prefix + "x" + std::to_string(i) + "\r\n";
    cases.push_back({"shared-prefixes", Repeat(head, Cycle(prefix + " ", line), size)});
  }

  // The EW text almost everywhere.
  cases.push_back({"near-miss-ew", Repeat("~EW=" + std::string(expression, 'e') + "f\r\n",
                                          std::string(line, 'e'), size)});

  // Inline commands and tags that never close, and brackets that all do.
  cases.push_back({"open-brackets", Repeat("", "x" + Cycle("[", line), size)});
  cases.push_back({"bracket-run", Repeat("", Cycle("[", line - 1) + "]", size)});
  cases.push_back({"unknown-commands", Repeat("", Cycle("[x", line) + "]", size)});
  cases.push_back({"open-tags", Repeat("", Cycle("<", line), size)});
  return cases;
}
