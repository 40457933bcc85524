// The glossary: filled by the collection pass, then finished once (sorted,
// common topics resolved, indexed) and from then on only read.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "engine/folded_index.h"
#include "engine/glossary_matcher.h"

class Glossary {
public:
  static constexpr int kMaxItems = 65535;

  Glossary();
  ~Glossary();
  Glossary(const Glossary&) = delete;
  Glossary& operator=(const Glossary&) = delete;

  // --- collection --------------------------------------------------------------
  enum class AddResult { Added, TooMany, Duplicate, InvalidName };
  /// Registers EXPRESSION (with its common topic, if any) defined by LINE.
  /// An expression equal, ignoring case, to a whole stored text is a duplicate.
  AddResult Add(std::string_view line, std::string_view expression, std::string_view commonTopic,
                bool hidden);

  // --- finishing, in this order --------------------------------------------------
  /// Sorts the entries ignoring case (stable); returns their count.
  int Sort();
  /// Splits each entry into its expression and resolves its common topic:
  /// the first entry whose expression it names at or before the entry, else
  /// the first later entry whose whole text it names.
  void ResolveCommonTopics();
  /// Text ids and related lists; with WITH_MATCHER (a full conversion) the
  /// longest-first order and the matcher too.
  void BuildIndexes(bool withMatcher);

  // --- the finished glossary -------------------------------------------------------
  int Count() const { return static_cast<int>(entries_.size()); }
  std::string_view Expression(int item) const { return At(item).Expression; }
  /// The packed word: bits 0-15 the common topic's entry (0xFFFF: none), bit 17 hidden.
  std::uint32_t PackedWord(int item) const { return At(item).Word; }
  /// The entry of the common topic, or -1.
  int Reference(int item) const;
  bool Hidden(int item) const { return (At(item).Word & kHiddenBit) != 0; }

  /// Id of the case-folded expression of ITEM; ids count distinct texts.
  int TextId(int item) const { return textId_[static_cast<std::size_t>(item)]; }
  /// Id of TEXT among the expressions, or -1.
  int TextIdOf(std::string_view text) const { return textIds_.Find(text); }
  int TextCount() const { return static_cast<int>(firstItemOfText_.size()); }
  int FirstItemOfText(int id) const { return firstItemOfText_[static_cast<std::size_t>(id)]; }
  /// The entries whose common topic has text ID, in list order.
  const int* RelatedBegin(int id) const;
  const int* RelatedEnd(int id) const;

  /// Position in the longest-first order -> entry.
  int ByLengthItem(int position) const { return byLength_[static_cast<std::size_t>(position)]; }
  const GlossaryMatcher& Matcher() const { return *matcher_; }

private:
  static constexpr std::uint32_t kHiddenBit = 1u << 17;
  static constexpr std::uint32_t kNoReference = 0xFFFF;
  struct Entry {
    std::string_view Text;       // expression, or expression|topic
    std::string_view Expression; // after ResolveCommonTopics
    std::uint32_t Word;
  };
  const Entry& At(int item) const { return entries_.at(static_cast<std::size_t>(item)); }
  std::string_view Store(std::string_view a, std::string_view b);

  std::vector<Entry> entries_;
  // Joined texts live in blocks that never move, so views into them stay valid.
  std::vector<std::unique_ptr<char[]>> blocks_;
  std::size_t blockLeft_ = 0;
  char* blockAt_ = nullptr;
  FoldedIndex storedTexts_; // registration: whole stored texts

  FoldedIndex textIds_;
  std::vector<int> textId_;
  std::vector<int> firstItemOfText_;
  std::vector<int> relatedBegin_;
  std::vector<int> relatedItems_;
  std::vector<int> byLength_;
  std::unique_ptr<GlossaryMatcher> matcher_;
};
