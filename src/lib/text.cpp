// Text helpers: the case-insensitive comparator, the acronym test and the
// identifier maker.
#include "text.h"

#include <algorithm>

int CompareText(std::string_view a, std::string_view b) {
  const std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    const unsigned char ca = FoldCase(static_cast<unsigned char>(a[i]));
    const unsigned char cb = FoldCase(static_cast<unsigned char>(b[i]));
    if (ca != cb)
      return ca < cb ? -1 : 1;
  }
  if (a.size() == b.size())
    return 0;
  return a.size() < b.size() ? -1 : 1;
}

bool SameText(std::string_view a, std::string_view b) {
  return a.size() == b.size() && CompareText(a, b) == 0;
}

bool IsAcronym(std::string_view text) {
  if (text.size() <= 2)
    return true;
  // The last character is never examined: "ABCs" counts as an acronym.
  for (std::size_t i = 0; i + 1 < text.size(); ++i) {
    if (text[i] >= 'a' && text[i] <= 'z')
      return false;
  }
  return true;
}

void MakeIdentifier(std::string& text) {
  for (char& c : text) {
    if (!IsWordChar(static_cast<unsigned char>(c)))
      c = '_';
  }
}
