// The section and paragraph topic groups, and the related and common topics
// written after a group of definitions.
#include <algorithm>

#include "engine/conversion.h"
#include "lib/text.h"

namespace {

// Sorted ignoring case, an entry equal to the one before it dropped (the
// first one added stays).
void SortUnique(std::vector<std::string_view>& entries) {
  std::stable_sort(entries.begin(), entries.end(), TextLess());
  auto last = std::unique(entries.begin(), entries.end(),
                          [](std::string_view a, std::string_view b) { return SameText(a, b); });
  entries.erase(last, entries.end());
}

constexpr std::string_view kNotInGlossary =
    "Warning: can't create list with related topics because the item is not in the glossary.";

} // namespace

void Conversion::AddToGroup(Group& group, std::string_view expression) {
  group.Items.push_back(expression);
  const int id = glossary_.TextIdOf(expression);
  group.Ids.push_back(id);
  if (id >= 0) {
    if (group.Count.size() <= static_cast<std::size_t>(id))
      group.Count.resize(static_cast<std::size_t>(id) + 1, 0);
    ++group.Count[static_cast<std::size_t>(id)];
  }
}

void Conversion::ClearGroup(Group& group) {
  for (int id : group.Ids)
    if (id >= 0)
      --group.Count[static_cast<std::size_t>(id)];
  group.Ids.clear();
  group.Items.clear();
}

bool Conversion::IsDefinedInGroups(int textId) const {
  const auto id = static_cast<std::size_t>(textId);
  auto holds = [id](const Group& g) { return id < g.Count.size() && g.Count[id] > 0; };
  return holds(sectionItems_) || holds(paragraphItems_);
}

void Conversion::EnterSectionTopic(std::string_view expression) {
  CloseSectionTopics();
  if (SectionDefinitionCountdown <= 1)
    ClearGroup(sectionItems_);
  if (!expression.empty()) {
    AddToGroup(sectionItems_, expression);
    SectionDefinitionCountdown = 2;
    html::GlossaryAnchor(pages_->Content, expression);
    if (searchIndex_)
      searchIndex_->Anchor(expression);
  }
}

void Conversion::EnterParagraphTopic(std::string_view expression) {
  CloseParagraphTopics();
  AddToGroup(paragraphItems_, expression);
  ParagraphDefinitionCountdown = 2;
  if (expression.empty()) {
    AddLogLine("Warning: empty bookmark name.");
    AddLogLine("Warning: empty bookmark.");
    return;
  }
  html::GlossaryAnchor(pages_->Content, expression);
  if (searchIndex_)
    searchIndex_->Anchor(expression);
}

void Conversion::CountHeader() {
  ++headerCount_;
  if (SectionDefinitionCountdown > 0)
    --SectionDefinitionCountdown;
}

void Conversion::CountParagraph() {
  if (ParagraphDefinitionCountdown > 0)
    --ParagraphDefinitionCountdown;
}

void Conversion::CloseSectionTopics() {
  CloseParagraphTopics();
  CountParagraph();
  if (SectionDefinitionCountdown == 1 && !sectionItems_.Items.empty())
    CreateRelatedTopicsList(sectionItems_, false);
}

void Conversion::CloseParagraphTopics() {
  if (ParagraphDefinitionCountdown == 1 && !paragraphItems_.Items.empty()) {
    CreateRelatedTopicsList(paragraphItems_, true);
    ClearGroup(paragraphItems_);
  }
}

// Each group entry adds (and counts) the entries that name its text as their
// common topic, then each adds (and counts) its own common topic. An entry
// that is not in the glossary ends the list with a warning and nothing written.
void Conversion::CreateRelatedTopicsList(const Group& group, bool indent) {
  std::vector<int> texts; // first-seen order: it decides which spelling stays
  if (seenStamp_.size() < static_cast<std::size_t>(glossary_.TextCount()))
    seenStamp_.assign(static_cast<std::size_t>(glossary_.TextCount()), 0);
  ++seenGeneration_;
  for (int id : group.Ids) {
    if (id < 0) {
      AddLogLine(kNotInGlossary);
      return;
    }
    glossaryLinkCount_ += static_cast<int>(glossary_.RelatedEnd(id) - glossary_.RelatedBegin(id));
    if (std::uint32_t& stamp = seenStamp_[static_cast<std::size_t>(id)]; stamp != seenGeneration_) {
      stamp = seenGeneration_;
      texts.push_back(id);
    }
  }
  std::vector<std::string_view> related;
  for (int id : texts)
    for (const int* k = glossary_.RelatedBegin(id); k != glossary_.RelatedEnd(id); ++k)
      related.push_back(glossary_.Expression(*k));
  SortUnique(related);

  std::vector<std::string_view> common;
  for (int id : group.Ids) {
    const int reference = glossary_.Reference(glossary_.FirstItemOfText(id));
    if (reference >= 0) {
      common.push_back(glossary_.Expression(reference));
      ++glossaryLinkCount_;
    }
  }
  SortUnique(common);

  const html::Style s = Style();
  html::TopicsBlock(pages_->Content, s, related.data(), related.size(), true, indent);
  html::TopicsBlock(pages_->Content, s, common.data(), common.size(), false, indent);
}
