// The glossary step's search at a cost bounded by the longest
// expression that can match: a trie over the case-folded expressions.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "lib/string_list.h"

class GlossaryMatcher {
public:
  /// Indexes the texts of EXPRESSIONS in the order in which they are tried
  /// (GlossaryItemsByLength: longest first). Empty texts are never taken.
  explicit GlossaryMatcher(const TStringList& expressions);

  /// The index in EXPRESSIONS of the first expression, in list order, that
  /// matches TEXT at POS (0-based), or -1. An acronym (IsAcronym) matches
  /// when the bytes equal it exactly; any other expression when they equal
  /// it ignoring ASCII case and POS is 0 or the byte before POS is not a word
  /// character.
  int Find(std::string_view text, std::size_t pos) const;
  std::size_t Length(int index) const { return texts_[static_cast<std::size_t>(index)].size(); }
  std::size_t NodeCount() const { return itemsBegin_.size() - 1; }

private:
  std::uint32_t Child(std::uint32_t node, unsigned char folded) const;

  std::vector<std::string> texts_;
  std::vector<bool> acronym_;
  // Node 0 is the root; 0 also means "no child".
  std::array<std::uint32_t, 256> rootChild_{};
  std::vector<std::uint32_t> childBegin_; // per node, into edgeByte_/edgeNode_; one extra
  std::vector<unsigned char> edgeByte_;   // increasing within a node
  std::vector<std::uint32_t> edgeNode_;
  std::vector<std::uint32_t> itemsBegin_;   // per node, into items_; one extra
  std::vector<std::uint32_t> items_;        // expression indices ending at a node, ascending
  mutable std::vector<std::uint32_t> path_; // scratch: end nodes met on one walk
};
