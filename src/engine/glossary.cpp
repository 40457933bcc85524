// The glossary store's registration and the two topic groups.
#include "engine/converter.h"
#include "engine/folded.h"
#include "lib/text.h"

namespace {
constexpr int kMaxGlossaryItems = 65535;
constexpr std::uint32_t kHiddenBit = 1u << 17;
} // namespace

void TConverter::RegisterGlossaryItem(const std::string& line, const std::string& expression,
                                      const std::string& commonTopic, bool hidden) {
  if (GlossaryItems->Count() >= kMaxGlossaryItems) {
    AddLogLine("Warning: Too many glossary items. Can't add any more items.");
    return;
  }
  // The duplicate rule compares with whole stored texts (an entry stored with
  // a common topic never matches): a set of the folded stored texts.
  if (storedTextCount_ != GlossaryItems->Count()) { // the list changed elsewhere
    storedTexts_.clear();
    for (int i = 0; i < GlossaryItems->Count(); ++i)
      storedTexts_.insert(Folded(GlossaryItems->Get(i)));
  }
  if (storedTexts_.count(Folded(expression))) {
    AddLogLine("Warning: duplicate glossary item \"" + line + "\". Can't add item.");
    return;
  }
  if (!CheckLineCharacters(line, false)) {
    AddLogLine("Warning: invalid bookmark name \"" + line + "\". Can't add item.");
    return;
  }
  std::string text = commonTopic.empty() ? expression : expression + "|" + commonTopic;
  storedTexts_.insert(Folded(text));
  GlossaryItems->Add(text, hidden ? kHiddenBit : 0);
  storedTextCount_ = GlossaryItems->Count();
}

void TConverter::EnterSectionTopic(const std::string& expression) {
  CloseSectionTopics();
  if (SectionDefinitionCountdown <= 1)
    ClearGroup(*SectionDefinedItems, sectionIndex_);
  if (!expression.empty()) {
    AddToGroup(*SectionDefinedItems, sectionIndex_, expression);
    SectionDefinitionCountdown = 2;
    Emit(MakeAnchor(MakeGlossaryBookmark(expression)));
  }
}

void TConverter::EnterParagraphTopic(const std::string& expression) {
  CloseParagraphTopics();
  AddToGroup(*ParagraphDefinedItems, paragraphIndex_, expression);
  ParagraphDefinitionCountdown = 2;
  Emit(MakeAnchor(MakeGlossaryBookmark(expression)));
}

void TConverter::CountHeader() {
  ++HeaderCount;
  if (SectionDefinitionCountdown > 0)
    --SectionDefinitionCountdown;
}

void TConverter::CountParagraph() {
  if (ParagraphDefinitionCountdown > 0)
    --ParagraphDefinitionCountdown;
}

void TConverter::CloseSectionTopics() {
  CloseParagraphTopics();
  CountParagraph();
  if (SectionDefinitionCountdown == 1 && SectionDefinedItems->Count() > 0)
    Emit(CreateRelatedTopicsList(*SectionDefinedItems, false));
}

void TConverter::CloseParagraphTopics() {
  if (ParagraphDefinitionCountdown == 1 && ParagraphDefinedItems->Count() > 0) {
    Emit(CreateRelatedTopicsList(*ParagraphDefinedItems, true));
    ClearGroup(*ParagraphDefinedItems, paragraphIndex_);
  }
}

// --- group membership, hashed by the finished glossary's text ids ------------------

void TConverter::AddToGroup(TStringList& group, GroupIndex& index, const std::string& expression) {
  if (static_cast<int>(index.Ids.size()) != group.Count())
    RebuildGroupIndex(group, index);
  group.Add(expression);
  const int id = TextIdOf(expression);
  index.Ids.push_back(id);
  if (id >= 0) {
    if (index.Count.size() <= static_cast<std::size_t>(id))
      index.Count.resize(static_cast<std::size_t>(id) + 1, 0);
    ++index.Count[static_cast<std::size_t>(id)];
  }
}

void TConverter::ClearGroup(TStringList& group, GroupIndex& index) {
  for (int id : index.Ids)
    if (id >= 0 && static_cast<std::size_t>(id) < index.Count.size())
      --index.Count[static_cast<std::size_t>(id)];
  index.Ids.clear();
  group.Clear();
}

void TConverter::RebuildGroupIndex(const TStringList& group, GroupIndex& index) {
  index.Ids.clear();
  index.Count.assign(firstItemOfText_.size(), 0);
  for (int i = 0; i < group.Count(); ++i) {
    const int id = TextIdOf(group.Get(i));
    index.Ids.push_back(id);
    if (id >= 0)
      ++index.Count[static_cast<std::size_t>(id)];
  }
}

bool TConverter::IsDefinedInGroups(int item) {
  if (item < 0 || static_cast<std::size_t>(item) >= itemTextId_.size())
    return false;
  const auto id = static_cast<std::size_t>(itemTextId_[static_cast<std::size_t>(item)]);
  auto holds = [&](const TStringList& group, GroupIndex& index) {
    if (static_cast<int>(index.Ids.size()) != group.Count())
      RebuildGroupIndex(group, index);
    return id < index.Count.size() && index.Count[id] > 0;
  };
  return holds(*SectionDefinedItems, sectionIndex_) ||
         holds(*ParagraphDefinedItems, paragraphIndex_);
}
