// Ids of texts that are equal ignoring ASCII case: an open-addressing table
// over views, looked up without building a folded copy of the key. The slots
// hold 4-byte references into dense arrays, so a table for many texts stays
// small.
#pragma once

#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

class FoldedIndex {
public:
  /// Room for COUNT texts without growing.
  void Reserve(std::size_t count);
  /// The id of TEXT: the one it already has, else NEXT_ID, which it then
  /// keeps. TEXT must outlive the index. Returns {id, added}.
  std::pair<int, bool> Insert(std::string_view text, int nextId);
  /// The id of TEXT, or -1.
  int Find(std::string_view text) const;
  std::size_t Size() const { return texts_.size(); }

private:
  static std::uint64_t Hash(std::string_view text);
  /// The slot that holds TEXT, or the empty one where it would go.
  std::size_t Probe(std::string_view text, std::uint64_t hash) const;

  std::vector<std::uint32_t> slots_; // 0: empty, else 1 + an index into the arrays below
  std::vector<std::string_view> texts_;
  std::vector<std::uint32_t> tags_; // the high half of each text's hash
  std::vector<int> ids_;
};
