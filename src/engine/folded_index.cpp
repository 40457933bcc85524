#include "engine/folded_index.h"

#include "lib/text.h"

std::uint64_t FoldedIndex::Hash(std::string_view text) {
  std::uint64_t h = 14695981039346656037ull;
  for (char c : text) {
    h ^= FoldCase(static_cast<unsigned char>(c));
    h *= 1099511628211ull;
  }
  return h ^ (h >> 29);
}

void FoldedIndex::Reserve(std::size_t count) {
  std::size_t capacity = 16;
  while (capacity < count * 2)
    capacity *= 2;
  if (capacity <= slots_.size())
    return;
  std::vector<Slot> old;
  old.swap(slots_);
  slots_.assign(capacity, Slot{});
  for (const Slot& s : old)
    if (s.Id >= 0) {
      std::size_t i = s.Hash & (slots_.size() - 1);
      while (slots_[i].Id >= 0)
        i = (i + 1) & (slots_.size() - 1);
      slots_[i] = s;
    }
}

void FoldedIndex::Grow() {
  Reserve(slots_.empty() ? 8 : slots_.size());
}

std::pair<int, bool> FoldedIndex::Insert(std::string_view text, int nextId) {
  if ((size_ + 1) * 2 > slots_.size())
    Grow();
  const std::uint64_t h = Hash(text);
  std::size_t i = h & (slots_.size() - 1);
  while (slots_[i].Id >= 0) {
    if (slots_[i].Hash == h && SameText(slots_[i].Text, text))
      return {slots_[i].Id, false};
    i = (i + 1) & (slots_.size() - 1);
  }
  slots_[i] = Slot{text, h, nextId};
  ++size_;
  return {nextId, true};
}

int FoldedIndex::Find(std::string_view text) const {
  if (slots_.empty())
    return -1;
  const std::uint64_t h = Hash(text);
  std::size_t i = h & (slots_.size() - 1);
  while (slots_[i].Id >= 0) {
    if (slots_[i].Hash == h && SameText(slots_[i].Text, text))
      return slots_[i].Id;
    i = (i + 1) & (slots_.size() - 1);
  }
  return -1;
}
