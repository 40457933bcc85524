#include "engine/glossary.h"

#include <algorithm>
#include <cstring>
#include <numeric>

#include "lib/text.h"

Glossary::Glossary() = default;
Glossary::~Glossary() = default;

std::string_view Glossary::Store(std::string_view a, std::string_view b) {
  const std::size_t size = a.size() + 1 + b.size();
  if (size > blockLeft_) {
    const std::size_t block = std::max<std::size_t>(size, 64 * 1024);
    blocks_.emplace_back(new char[block]);
    blockAt_ = blocks_.back().get();
    blockLeft_ = block;
  }
  char* at = blockAt_;
  std::memcpy(at, a.data(), a.size());
  at[a.size()] = '|';
  if (!b.empty())
    std::memcpy(at + a.size() + 1, b.data(), b.size());
  blockAt_ += size;
  blockLeft_ -= size;
  return {at, size};
}

Glossary::AddResult Glossary::Add(std::string_view line, std::string_view expression,
                                  std::string_view commonTopic, bool hidden) {
  if (Count() >= kMaxItems)
    return AddResult::TooMany;
  // Compared with whole stored texts: an entry stored with a common topic
  // never matches an expression.
  if (storedTexts_.Find(expression) >= 0)
    return AddResult::Duplicate;
  if (!IsPrintableAscii(line))
    return AddResult::InvalidName;
  const std::string_view text = commonTopic.empty() ? expression : Store(expression, commonTopic);
  storedTexts_.Insert(text, Count());
  entries_.push_back({text, {}, hidden ? kHiddenBit : 0});
  return AddResult::Added;
}

int Glossary::Sort() {
  storedTexts_ = FoldedIndex(); // registration is over
  std::stable_sort(entries_.begin(), entries_.end(),
                   [](const Entry& a, const Entry& b) { return CompareText(a.Text, b.Text) < 0; });
  return Count();
}

int Glossary::Reference(int item) const {
  const std::uint32_t field = At(item).Word & 0xFFFF;
  return field == kNoReference ? -1 : static_cast<int>(field);
}

void Glossary::ResolveCommonTopics() {
  const int count = Count();
  const auto n = static_cast<std::size_t>(count);
  std::vector<std::string_view> references(n);
  FoldedIndex firstExpression; // folded expression -> first entry
  FoldedIndex fullTexts;       // folded whole text -> id
  firstExpression.Reserve(n);
  fullTexts.Reserve(n);
  std::vector<int> fullTextId(n);
  int fullTextCount = 0;
  for (std::size_t i = 0; i < n; ++i) {
    Entry& e = entries_[i];
    const std::size_t bar = e.Text.find('|');
    e.Expression = e.Text.substr(0, bar);
    references[i] = bar == std::string_view::npos ? std::string_view() : e.Text.substr(bar + 1);
    const auto [id, added] = fullTexts.Insert(e.Text, fullTextCount);
    if (added)
      ++fullTextCount;
    fullTextId[i] = id;
    firstExpression.Insert(e.Expression, static_cast<int>(i));
  }
  // Per whole text, its entries in list order.
  std::vector<int> begin(static_cast<std::size_t>(fullTextCount) + 1, 0);
  for (int id : fullTextId)
    ++begin[static_cast<std::size_t>(id) + 1];
  std::partial_sum(begin.begin(), begin.end(), begin.begin());
  std::vector<int> members(n);
  std::vector<int> fill(begin.begin(), begin.end() - 1);
  for (std::size_t i = 0; i < n; ++i)
    members[static_cast<std::size_t>(fill[static_cast<std::size_t>(fullTextId[i])]++)] =
        static_cast<int>(i);

  for (int i = 0; i < count; ++i) {
    const std::string_view reference = references[static_cast<std::size_t>(i)];
    int found = -1;
    if (!reference.empty()) {
      const int e = firstExpression.Find(reference);
      if (e >= 0 && e <= i) {
        found = e;
      } else if (const int t = fullTexts.Find(reference); t >= 0) {
        const auto first = members.begin() + begin[static_cast<std::size_t>(t)];
        const auto last = members.begin() + begin[static_cast<std::size_t>(t) + 1];
        const auto later = std::upper_bound(first, last, i);
        if (later != last)
          found = *later;
      }
    }
    Entry& entry = entries_[static_cast<std::size_t>(i)];
    entry.Word =
        (entry.Word & ~0xFFFFu) | (found < 0 ? kNoReference : static_cast<std::uint32_t>(found));
  }
}

void Glossary::BuildIndexes(bool withMatcher) {
  const int count = Count();
  const auto n = static_cast<std::size_t>(count);
  textIds_ = FoldedIndex();
  textIds_.Reserve(n);
  textId_.assign(n, -1);
  firstItemOfText_.clear();
  for (int i = 0; i < count; ++i) {
    const auto [id, added] =
        textIds_.Insert(Expression(i), static_cast<int>(firstItemOfText_.size()));
    if (added)
      firstItemOfText_.push_back(i);
    textId_[static_cast<std::size_t>(i)] = id;
  }

  // Per text id, the entries whose common topic bears that text, in list order.
  const std::size_t texts = firstItemOfText_.size();
  relatedBegin_.assign(texts + 1, 0);
  std::vector<int> topicText(n, -1);
  for (int j = 0; j < count; ++j) {
    const int s = Reference(j);
    if (s >= 0 && s < count) {
      const int id = textId_[static_cast<std::size_t>(s)];
      topicText[static_cast<std::size_t>(j)] = id;
      ++relatedBegin_[static_cast<std::size_t>(id) + 1];
    }
  }
  std::partial_sum(relatedBegin_.begin(), relatedBegin_.end(), relatedBegin_.begin());
  relatedItems_.assign(static_cast<std::size_t>(relatedBegin_.back()), 0);
  std::vector<int> fill(relatedBegin_.begin(), relatedBegin_.end() - 1);
  for (int j = 0; j < count; ++j)
    if (const int id = topicText[static_cast<std::size_t>(j)]; id >= 0)
      relatedItems_[static_cast<std::size_t>(fill[static_cast<std::size_t>(id)]++)] = j;

  if (!withMatcher)
    return;
  // Longest first; equal lengths keep list order.
  byLength_.resize(n);
  std::iota(byLength_.begin(), byLength_.end(), 0);
  std::stable_sort(byLength_.begin(), byLength_.end(),
                   [&](int a, int b) { return Expression(a).size() > Expression(b).size(); });
  std::vector<std::string_view> byLengthTexts;
  byLengthTexts.reserve(n);
  for (int i : byLength_)
    byLengthTexts.push_back(Expression(i));
  matcher_ = std::make_unique<GlossaryMatcher>(std::move(byLengthTexts));
}

const int* Glossary::RelatedBegin(int id) const {
  return relatedItems_.data() + relatedBegin_[static_cast<std::size_t>(id)];
}

const int* Glossary::RelatedEnd(int id) const {
  return relatedItems_.data() + relatedBegin_[static_cast<std::size_t>(id) + 1];
}
