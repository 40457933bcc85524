// Text helpers: the case-insensitive comparator, the acronym test and the
// identifier maker.
#include "text.h"

#include <algorithm>

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
