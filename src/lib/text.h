// Text helpers shared by the engine: the one case-insensitive comparator and
// the acronym test.
#pragma once

#include <string>
#include <string_view>

/// ASCII case folding of one byte.
inline unsigned char FoldCase(unsigned char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + ('a' - 'A')) : c;
}
/// The comparator for every case-insensitive comparison, sort and lookup:
/// ASCII letters folded, bytes compared unsigned. <0, 0 or >0. Inline: sorts
/// and lookups of the glossary call it millions of times.
inline int CompareText(std::string_view a, std::string_view b) {
  const std::size_t n = a.size() < b.size() ? a.size() : b.size();
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
inline bool SameText(std::string_view a, std::string_view b) {
  return a.size() == b.size() && CompareText(a, b) == 0;
}
/// Strict-weak "less" for sorting with CompareText.
struct TextLess {
  bool operator()(std::string_view a, std::string_view b) const { return CompareText(a, b) < 0; }
};

/// True when TEXT has at most 2 characters or no character but the last is
/// a lowercase ASCII letter.
bool IsAcronym(std::string_view text);

/// True when every byte is from 32 to 127: what a bookmark name may hold.
inline bool IsPrintableAscii(std::string_view text) {
  for (char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    if (c < 32 || c > 127)
      return false;
  }
  return true;
}

/// Replaces every character that is not an ASCII letter, digit or '_' by '_'.
void MakeIdentifier(std::string& text);

inline bool IsAsciiLetter(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
inline bool IsAsciiDigit(unsigned char c) {
  return c >= '0' && c <= '9';
}
inline bool IsWordChar(unsigned char c) {
  return IsAsciiLetter(c) || IsAsciiDigit(c) || c == '_';
}
