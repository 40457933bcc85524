// The glossary step's search: at a position of a line, the first expression
// in longest-first order that matches there. An acronym matches by its exact
// bytes anywhere; any other expression ignoring ASCII case, and only where no
// word character stands before it.
//
// A forward trie answers typical text fast; each line has a budget of trie
// steps, and a line that uses it up is answered for the rest of its positions
// by one right-to-left sweep of Aho-Corasick automata over the reversed
// expressions, so that no line costs more than linear time.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "lib/text.h"

class ReverseAutomaton;

class GlossaryMatcher {
public:
  /// EXPRESSIONS in the order in which they are tried (longest first); they
  /// must outlive the matcher. Empty ones are never taken.
  explicit GlossaryMatcher(std::vector<std::string_view> expressions);
  ~GlossaryMatcher();
  GlossaryMatcher(const GlossaryMatcher&) = delete;
  GlossaryMatcher& operator=(const GlossaryMatcher&) = delete;

  std::size_t Count() const { return texts_.size(); }
  std::size_t Length(int index) const { return texts_[static_cast<std::size_t>(index)].size(); }
  std::size_t NodeCount() const { return nodes_.size() - 1; }
  /// Whether an expression may start with byte C, at a word boundary or not.
  bool CanStart(unsigned char c, bool boundary) const {
    return boundary ? startsFolded_[FoldCase(c)] : startsAcronym_[c];
  }

  /// The index of the expression that matches TEXT at POS, or -1; walks the
  /// trie at most BUDGET steps (less what it used is left in BUDGET) and
  /// returns kOverBudget when that is not enough.
  int FindInTrie(std::string_view text, std::size_t pos, std::size_t& budget) const;
  static constexpr int kOverBudget = -2;

  /// For every position p of TEXT from FROM on, the answer at p into BEST[p].
  void Sweep(std::string_view text, std::size_t from, std::vector<std::int32_t>& best) const;

private:
  std::uint32_t Child(std::uint32_t node, unsigned char folded) const;
  int BestOf(const std::uint32_t* items, const std::uint32_t* end, std::string_view text,
             std::size_t pos, bool boundary, std::size_t& steps) const;

  std::vector<std::string_view> texts_;
  std::vector<bool> acronym_;
  // Which bytes can start a match: any expression by its folded first byte,
  // acronyms by their exact one.
  std::array<bool, 256> startsFolded_{};
  std::array<bool, 256> startsAcronym_{};
  // Node 0 is the root; 0 also means "no child".
  std::array<std::uint32_t, 256> rootChild_{};
  // What a walk reads of a node, together, so that one step costs one
  // cache line; one extra node ends the ranges.
  struct Node {
    std::uint32_t ChildBegin; // into edges_
    std::uint32_t ItemsBegin; // into items_
    std::uint32_t Tail;       // 1 + index into tails_, or 0
  };
  std::vector<Node> nodes_;
  std::vector<std::uint32_t> edges_; // child << 8 | folded byte; bytes increasing within a node
  std::vector<std::uint32_t> items_; // expression indices ending at a node, ascending
  // The rest of a text below the depth where no other text shares it.
  struct Tail {
    std::string_view Rest;
    std::uint32_t ItemsBegin, ItemsEnd; // into tailItems_
  };
  std::vector<Tail> tails_;
  std::vector<std::uint32_t> tailItems_;
  // Built on first need: most documents never exhaust a line's budget.
  mutable std::unique_ptr<ReverseAutomaton> folded_;
  mutable std::unique_ptr<ReverseAutomaton> exact_;
};

/// The glossary step over one line at a time: trie lookups within the
/// line's budget, then the sweep's answers.
class GlossaryCursor {
public:
  explicit GlossaryCursor(const GlossaryMatcher& matcher) : matcher_(matcher) {}
  void Reset(std::string_view line) {
    line_ = line;
    budget_ = 8 * line.size() + 1024;
    swept_ = false;
  }
  /// The expression index that matches at POS, or -1. Positions asked must
  /// not decrease within a line.
  int Find(std::size_t pos) {
    if (!swept_) {
      const int found = matcher_.FindInTrie(line_, pos, budget_);
      if (found != GlossaryMatcher::kOverBudget)
        return found;
      matcher_.Sweep(line_, pos, best_);
      swept_ = true;
    }
    return best_[pos];
  }
  bool Swept() const { return swept_; }

private:
  const GlossaryMatcher& matcher_;
  std::string_view line_;
  std::size_t budget_ = 0;
  bool swept_ = false;
  std::vector<std::int32_t> best_;
};
