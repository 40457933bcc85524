// The search index of a site: the headers with their outline paths and
// bookmarks, the text under each header, its words with the headers they
// occur in, and the visible glossary expressions. The content pass feeds it;
// it is written as a script that assigns one global object, so that a page
// opened from file:// can load it.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/page_sink.h"

class Glossary;

class SearchIndex {
public:
  SearchIndex();

  /// A header at LEVEL, titled TITLES[LEVEL] under TITLES[0..LEVEL-1].
  /// SECTION_EXPRESSION is the expression its line defines (its anchor came
  /// just before it), or empty.
  void Header(int level, const std::array<std::string_view, 10>& titles,
              std::string_view sectionExpression);
  /// Text shown under the current header. Tags are always markup; inline
  /// commands are only when INLINE_COMMANDS. A leading "* " (a list item)
  /// is not text.
  void Text(std::string_view text, bool inlineCommands);
  /// A glossary anchor written into the content page.
  void Anchor(std::string_view expression);

  /// The index script: "var OrvanelSearchIndex = {...};".
  void Write(PageSink& out, std::string_view contentFile, const Glossary& glossary) const;

  int HeaderCount() const { return static_cast<int>(headers_.size()); }
  int WordCount() const { return static_cast<int>(keyBegin_.size()); }

private:
  struct HeaderRecord {
    int Level;
    int Parent;            // the header that holds the title one level up, or -1
    std::string Title;     // as shown, escaped for a script string
    std::string Bookmark;  // HBM_..., when it cannot be made from the titles
    std::size_t TextBegin; // in text_
    std::size_t TextEnd;
  };
  struct AnchorRecord {
    std::string_view Expression;
    int Header;
  };
  /// Appends TEXT as shown, escaped for a script string, to OUT (whose
  /// bytes from START on are this text's); with WORDS, each word goes to the
  /// postings of WORDS' current header.
  static void Shown(std::string_view text, bool inlineCommands, std::string& out, std::size_t start,
                    SearchIndex* words);
  void EndWord();
  std::uint32_t FindOrAddWord(std::string_view key);

  std::vector<HeaderRecord> headers_;
  std::array<int, 10> lastAtLevel_;
  // Expressions are views into the source, which outlives the index's writing.
  std::vector<AnchorRecord> anchors_;
  std::string text_; // the text of every header, one after the other

  // The word being read, folded and escaped.
  std::string word_;
  bool wordWide_ = false; // the word's last byte is 0x80 or above
  // Words: each stored once, with the headers it occurs in.
  std::string keys_;
  std::vector<std::uint32_t> keyBegin_;
  std::vector<std::uint32_t> keyLength_;
  std::vector<std::uint32_t> keyHash_;
  std::vector<std::uint32_t> lastHeader_;
  std::vector<std::vector<std::uint32_t>> postings_;
  std::vector<std::uint32_t> slots_; // open addressing: word number + 1, 0 = free
};
