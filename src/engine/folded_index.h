// Ids of texts that are equal ignoring ASCII case: an open-addressing table
// over views, looked up without building a folded copy of the key.
#pragma once

#include <cstdint>
#include <string_view>
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
  std::size_t Size() const { return size_; }

private:
  static std::uint64_t Hash(std::string_view text);
  void Grow();

  struct Slot {
    std::string_view Text;
    std::uint64_t Hash = 0;
    int Id = -1; // -1: empty
  };
  std::vector<Slot> slots_;
  std::size_t size_ = 0;
};
