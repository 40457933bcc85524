#include "engine/folded_index.h"

#include <cstring>

#include "lib/text.h"

namespace {

// Eight bytes with their ASCII capitals folded, at once.
inline std::uint64_t FoldWord(std::uint64_t x) {
  constexpr std::uint64_t ones = 0x0101010101010101ull;
  constexpr std::uint64_t high = 0x8080808080808080ull;
  const std::uint64_t low7 = x & ~high;
  const std::uint64_t atLeastA = (low7 + (0x80 - 'A') * ones) & high;
  const std::uint64_t aboveZ = (low7 + (0x80 - 'Z' - 1) * ones) & high;
  const std::uint64_t capital = atLeastA & ~aboveZ & ~x & high;
  return x | (capital >> 2);
}

} // namespace

std::uint64_t FoldedIndex::Hash(std::string_view text) {
  std::uint64_t h = 0x9E3779B97F4A7C15ull ^ text.size();
  std::size_t i = 0;
  for (; i + 8 <= text.size(); i += 8) {
    std::uint64_t w;
    std::memcpy(&w, text.data() + i, 8);
    h = (h ^ FoldWord(w)) * 0xFF51AFD7ED558CCDull;
    h ^= h >> 32;
  }
  std::uint64_t tail = 0;
  for (std::size_t k = 0; i < text.size(); ++i, k += 8)
    tail |= static_cast<std::uint64_t>(FoldCase(static_cast<unsigned char>(text[i]))) << k;
  h = (h ^ tail) * 0xC4CEB9FE1A85EC53ull;
  return h ^ (h >> 29);
}

void FoldedIndex::Reserve(std::size_t count) {
  std::size_t capacity = 16;
  while (capacity < count * 2)
    capacity *= 2;
  if (capacity <= slots_.size())
    return;
  slots_.assign(capacity, 0);
  const std::size_t mask = capacity - 1;
  for (std::size_t k = 0; k < texts_.size(); ++k) {
    std::size_t i = Hash(texts_[k]) & mask;
    while (slots_[i] != 0)
      i = (i + 1) & mask;
    slots_[i] = static_cast<std::uint32_t>(k + 1);
  }
  texts_.reserve(count);
  tags_.reserve(count);
  ids_.reserve(count);
}

std::size_t FoldedIndex::Probe(std::string_view text, std::uint64_t hash) const {
  const auto tag = static_cast<std::uint32_t>(hash >> 32);
  const std::size_t mask = slots_.size() - 1;
  std::size_t i = hash & mask;
  while (const std::uint32_t k = slots_[i]) {
    if (tags_[k - 1] == tag && SameText(texts_[k - 1], text))
      break;
    i = (i + 1) & mask;
  }
  return i;
}

std::pair<int, bool> FoldedIndex::Insert(std::string_view text, int nextId) {
  if ((texts_.size() + 1) * 2 > slots_.size())
    Reserve(slots_.empty() ? 8 : slots_.size());
  const std::uint64_t h = Hash(text);
  const std::size_t i = Probe(text, h);
  if (const std::uint32_t k = slots_[i])
    return {ids_[k - 1], false};
  const auto tag = static_cast<std::uint32_t>(h >> 32);
  texts_.push_back(text);
  tags_.push_back(tag);
  ids_.push_back(nextId);
  slots_[i] = static_cast<std::uint32_t>(texts_.size());
  return {nextId, true};
}

int FoldedIndex::Find(std::string_view text) const {
  if (slots_.empty())
    return -1;
  const std::uint32_t k = slots_[Probe(text, Hash(text))];
  return k ? ids_[k - 1] : -1;
}
