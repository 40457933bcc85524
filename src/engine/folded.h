// The case-folded form of a text: the hash key that stands for CompareText
// equality (ASCII letters folded, every other byte kept).
#pragma once

#include <string>
#include <string_view>

#include "lib/text.h"

inline std::string Folded(std::string_view text) {
  std::string s(text);
  for (char& c : s)
    c = static_cast<char>(FoldCase(static_cast<unsigned char>(c)));
  return s;
}
