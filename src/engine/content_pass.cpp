// The two passes over the source lines, the glossary's finishing and its file,
// the outline-level buttons, and the packed word of an entry.
#include <algorithm>
#include <numeric>

#include "engine/converter.h"
#include "engine/folded.h"
#include "engine/glossary_matcher.h"
#include "lib/mymath.h"
#include "lib/text.h"

namespace {
constexpr std::int32_t kNoReference = 0xFFFF;
bool IsCommandLine(const std::string& line) {
  return line[0] == '~';
}
} // namespace

// --- the packed word ------------------------------------------------------------

int TConverter::GetReferenceIndex(int index) const {
  std::int32_t field = GetBits(static_cast<std::int32_t>(GlossaryItems->GetObject(index)), 0, 16);
  return field == kNoReference ? -1 : field;
}

void TConverter::SetReferenceIndex(int index, int value) {
  auto word = static_cast<std::int32_t>(GlossaryItems->GetObject(index));
  word = SetBits(word, value < 0 ? kNoReference : value, 0, 16);
  GlossaryItems->PutObject(index, static_cast<std::uint32_t>(word));
}

bool TConverter::GetLinkedFlag(int index) const {
  (void)GlossaryItems->GetObject(index); // the index must name an entry
  const auto i = static_cast<std::size_t>(index);
  return i < linkedInGeneration_.size() && linkedInGeneration_[i] == linkGeneration_;
}

void TConverter::SetLinkedFlag(int index, bool on) {
  (void)GlossaryItems->GetObject(index);
  const auto i = static_cast<std::size_t>(index);
  if (linkedInGeneration_.size() <= i)
    linkedInGeneration_.resize(static_cast<std::size_t>(GlossaryItems->Count()), 0);
  linkedInGeneration_[i] = on ? linkGeneration_ : 0;
}

bool TConverter::GetHiddenFlag(int index) const {
  return GetBits(static_cast<std::int32_t>(GlossaryItems->GetObject(index)), 17, 1) != 0;
}

// --- the passes ---------------------------------------------------------------------

void TConverter::ProcessSourceLines(TStringList& lines) {
  ResetIndexes();
  for (int i = 0; i < lines.Count(); ++i) {
    const std::string& line = lines.Get(i);
    if (!line.empty() && IsCommandLine(line))
      ProcessLine(line, true);
  }
  FinishGlossary();
  WriteGlossaryFile();
  AddLogLine("Glossary created.");
  AddLogLine("Processing content...");
  RunContentPass(lines);
  AppendOutlineButtons();
}

void TConverter::ResetIndexes() {
  matcher_.reset();
  linkGeneration_ = 1;
  linkedInGeneration_.clear();
  storedTexts_.clear();
  storedTextCount_ = 0;
  textIds_.clear();
  itemTextId_.clear();
  firstItemOfText_.clear();
  relatedBegin_.clear();
  relatedItems_.clear();
  byLengthItem_.clear();
  sectionIndex_ = {};
  paragraphIndex_ = {};
}

// Between the passes: sort, resolve the common topics, fill the longest-first copy.
void TConverter::FinishGlossary() {
  std::unordered_set<std::string>().swap(storedTexts_); // registration is over
  storedTextCount_ = -1;
  GlossaryItems->Sort();
  const int count = GlossaryItems->Count();
  AddLogLine("There are " + std::to_string(count) + " glossary items.");

  // Entry i looks its reference up while entries up to i hold their
  // expression and entries after i their full text: the first expression
  // match at or before i wins, else the first full-text match after i.
  std::vector<std::string> expressions(static_cast<std::size_t>(count));
  std::vector<std::string> references(static_cast<std::size_t>(count));
  std::unordered_map<std::string, int> firstExpression;
  std::unordered_map<std::string, std::vector<int>> fullTexts;
  for (int i = 0; i < count; ++i) {
    const auto k = static_cast<std::size_t>(i);
    fullTexts[Folded(GlossaryItems->Get(i))].push_back(i);
    SplitAtBar(GlossaryItems->Get(i), expressions[k], references[k]);
    firstExpression.emplace(Folded(expressions[k]), i);
  }
  for (int i = 0; i < count; ++i) {
    const auto k = static_cast<std::size_t>(i);
    GlossaryItems->Put(i, expressions[k]);
    int found = -1;
    if (!references[k].empty()) {
      const std::string key = Folded(references[k]);
      auto e = firstExpression.find(key);
      if (e != firstExpression.end() && e->second <= i) {
        found = e->second;
      } else if (auto f = fullTexts.find(key); f != fullTexts.end()) {
        auto later = std::upper_bound(f->second.begin(), f->second.end(), i);
        if (later != f->second.end())
          found = *later;
      }
    }
    SetReferenceIndex(i, found);
  }
  AddLogLine("Common glossary expressions are gathered.");

  // GlossaryItems stably sorted by length, longest first.
  std::vector<int> order(static_cast<std::size_t>(count));
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
    return GlossaryItems->Get(a).size() > GlossaryItems->Get(b).size();
  });
  GlossaryItemsByLength->Clear();
  for (int i : order)
    GlossaryItemsByLength->Add(GlossaryItems->Get(i), GlossaryItems->GetObject(i));
  BuildIndexes();
}

void TConverter::BuildIndexes() {
  const int count = GlossaryItems->Count();
  textIds_.clear();
  itemTextId_.assign(static_cast<std::size_t>(count), -1);
  firstItemOfText_.clear();
  for (int i = 0; i < count; ++i) {
    auto [it, added] =
        textIds_.emplace(Folded(GlossaryItems->Get(i)), static_cast<int>(firstItemOfText_.size()));
    if (added)
      firstItemOfText_.push_back(i);
    itemTextId_[static_cast<std::size_t>(i)] = it->second;
  }

  // Per text id, the entries whose common topic bears that text, in list order.
  const std::size_t texts = firstItemOfText_.size();
  relatedBegin_.assign(texts + 1, 0);
  std::vector<int> topicText(static_cast<std::size_t>(count), -1);
  for (int j = 0; j < count; ++j) {
    const int s = GetReferenceIndex(j);
    if (s >= 0 && s < count) {
      const int id = itemTextId_[static_cast<std::size_t>(s)];
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

  // GlossaryItemsByLength position -> GlossaryItems index (the same stable order).
  byLengthItem_.resize(static_cast<std::size_t>(count));
  std::iota(byLengthItem_.begin(), byLengthItem_.end(), 0);
  std::stable_sort(byLengthItem_.begin(), byLengthItem_.end(), [&](int a, int b) {
    return GlossaryItems->Get(a).size() > GlossaryItems->Get(b).size();
  });
  matcher_ = std::make_unique<GlossaryMatcher>(*GlossaryItemsByLength);

  linkedInGeneration_.assign(static_cast<std::size_t>(count), 0);
  linkGeneration_ = 1;
  RebuildGroupIndex(*SectionDefinedItems, sectionIndex_);
  RebuildGroupIndex(*ParagraphDefinedItems, paragraphIndex_);
}

void TConverter::EnsureIndexes() {
  const auto count = static_cast<std::size_t>(GlossaryItems->Count());
  if (matcher_ && itemTextId_.size() == count && byLengthItem_.size() == count &&
      static_cast<std::size_t>(GlossaryItemsByLength->Count()) == count)
    return;
  BuildIndexes();
}

int TConverter::TextIdOf(const std::string& text) const {
  auto it = textIds_.find(Folded(text));
  return it == textIds_.end() ? -1 : it->second;
}

// The glossary file: each entry, its common topic, then every entry that names it.
void TConverter::WriteGlossaryFile() {
  const int count = GlossaryItems->Count();
  for (int i = 0; i < count; ++i) {
    WriteGlossaryEntry(i, 0);
    if (const int r = GetReferenceIndex(i); r >= 0)
      WriteGlossaryEntry(r, 1);
    const auto id = static_cast<std::size_t>(itemTextId_[static_cast<std::size_t>(i)]);
    for (int k = relatedBegin_[id]; k < relatedBegin_[id + 1]; ++k)
      WriteGlossaryEntry(relatedItems_[static_cast<std::size_t>(k)], 2);
  }
}

void TConverter::WriteGlossaryEntry(int index, int kind) {
  if (GetHiddenFlag(index)) {
    if (kind == 0)
      ++HiddenGlossaryItemCount;
    return;
  }
  const std::string& expression = GlossaryItems->Get(index);
  const std::string bookmark = MakeGlossaryBookmark(expression);
  if (bookmark.empty())
    return;
  const std::string link = MakeContentLink(expression, bookmark);
  std::string paragraph;
  if (kind == 0)
    paragraph = "<P>" + link + "</P>";
  else
    paragraph = std::string("<P STYLE=\"TEXT-INDENT: 5MM\">") + (kind == 1 ? "Com: " : "Rel: ") +
                link + "</P>";
  Append(GlossaryStorage, MakePretty(paragraph));
}

// The content pass.
void TConverter::RunContentPass(TStringList& lines) {
  ClearGroup(*SectionDefinedItems, sectionIndex_);
  ClearGroup(*ParagraphDefinedItems, paragraphIndex_);
  const int count = lines.Count();
  for (int i = 0; i < count && !AbortRequested; ++i) {
    const std::string& line = lines.Get(i);
    if (line.empty())
      continue;
    if (IsCommandLine(line)) {
      ProcessLine(line, false);
      continue;
    }
    CloseParagraphTopics();
    // Every LinkedFlag cleared at once: a new generation.
    if (++linkGeneration_ == 0) {
      std::fill(linkedInGeneration_.begin(), linkedInGeneration_.end(), 0);
      linkGeneration_ = 1;
    }
    CountParagraph();
    Emit(MakeParagraph(ProcessInline ? ProcessInlineText(line) : line, pkPlain));
    if (ParagraphDefinitionCountdown < 1)
      ClearGroup(*ParagraphDefinedItems, paragraphIndex_);
    host_.SetProgressCaption("Conversion progress: " + std::to_string(i + 1) + " lines from " +
                             std::to_string(count) +
                             ". Time: " + DurationText(0, "/", ".", "hh:nn:ss", Crono.Elapsed()));
    host_.ProcessMessages();
  }
}

// The outline-level buttons.
void TConverter::AppendOutlineButtons() {
  if (MaxOutlineLevel <= 0)
    return;
  std::string row = "<P>\r\n<INPUT TYPE=BUTTON VALUE='All' ONCLICK='FViewToHOL(9)' ALT='Show all "
                    "headers'>\r\n<INPUT TYPE=BUTTON VALUE='1' ONCLICK='FViewToHOL(0)' ALT='Show "
                    "headers up to level 1'>";
  for (int n = 1; n < MaxOutlineLevel; ++n) {
    const std::string shown = std::to_string(n + 1);
    row += "\r\n<INPUT TYPE=BUTTON VALUE='" + shown + "' ONCLICK='FViewToHOL(" + std::to_string(n) +
           ")' ALT='Show headers up to level " + shown + "'>";
  }
  row += "\r\n</P>";
  Append(TOCButtonsStorage, row);
}
