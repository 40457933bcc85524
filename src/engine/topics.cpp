// Related and common topics after a group of definitions.
#include <algorithm>
#include <unordered_set>
#include <vector>

#include "engine/converter.h"
#include "lib/error.h"
#include "lib/text.h"

namespace {

// The working list: sorted ignoring case, an entry equal to one already held
// ignored (the first one added stays).
TStringList SortedUnique(std::vector<std::string> entries) {
  std::stable_sort(entries.begin(), entries.end(), TextLess());
  TStringList list;
  for (std::size_t i = 0; i < entries.size(); ++i)
    if (i == 0 || !SameText(entries[i], entries[i - 1]))
      list.Add(entries[i]);
  return list;
}

constexpr const char* kNotInGlossary =
    "Warning: can't create list with related topics because the item is not in the glossary.";

} // namespace

std::string TConverter::CreateRelatedTopicsList(const TStringList& group, bool indent) {
  StatusFrame frame("Main", "TMainForm::CreateRelatedTopicsList", 796);
  std::string related, common;
  bool relatedDone = false, commonDone = false, missing = false;
  frame.Run(847, [&] {
    EnsureIndexes();
    // Each group entry adds (and counts) the entries that name its text; an
    // entry repeated in the group adds nothing new to the sorted list, so the
    // entries of one text are gathered once and only counted again.
    std::vector<std::string> gathered;
    std::vector<int> texts;
    std::unordered_set<int> seen;
    for (int g = 0; g < group.Count(); ++g) {
      const int id = TextIdOf(group.Get(g));
      if (id < 0) {
        AddLogLine(kNotInGlossary);
        missing = true;
        return;
      }
      const auto t = static_cast<std::size_t>(id);
      GlossaryLinkCount += relatedBegin_[t + 1] - relatedBegin_[t];
      if (seen.insert(id).second)
        texts.push_back(id); // first-seen order: it decides which spelling stays
    }
    for (int id : texts) {
      const auto t = static_cast<std::size_t>(id);
      for (int k = relatedBegin_[t]; k < relatedBegin_[t + 1]; ++k)
        gathered.push_back(GlossaryItems->Get(relatedItems_[static_cast<std::size_t>(k)]));
    }
    related = MakeTopicsBlock(SortedUnique(std::move(gathered)),
                              "See related topics:", "See related topic: ", indent);
    relatedDone = true;

    gathered.clear();
    for (int g = 0; g < group.Count(); ++g) {
      const int id = TextIdOf(group.Get(g));
      if (id < 0) {
        AddLogLine(kNotInGlossary);
        missing = true;
        return;
      }
      const int reference = GetReferenceIndex(firstItemOfText_[static_cast<std::size_t>(id)]);
      if (reference >= 0) {
        gathered.push_back(GlossaryItems->Get(reference));
        ++GlossaryLinkCount;
      }
    }
    common = MakeTopicsBlock(SortedUnique(std::move(gathered)),
                             "See common topics:", "See common topic: ", indent);
    commonDone = true;
  });
  if (missing)
    return {};
  return (relatedDone ? related : std::string()) + (commonDone ? common : std::string());
}

std::string TConverter::MakeTopicsBlock(const TStringList& list, const std::string& captionSeveral,
                                        const std::string& captionOne, bool indent) {
  auto link = [&](const std::string& entry) {
    return MakeBookmarkLink(entry, MakeGlossaryBookmark(entry));
  };
  if (list.Count() == 0)
    return {};
  if (list.Count() == 1) {
    const std::string block =
        "<P STYLE=\"MARGIN-BOTTOM: 0\">" + captionOne + link(list.Get(0)) + "</P>";
    return MakePretty(WrapInLayoutTable(block, lkCommon, indent) + "<BR>");
  }
  std::string text = MakePretty("<P STYLE=\"MARGIN-BOTTOM: 0\">" + captionSeveral + "</P><UL>");
  for (int i = 0; i < list.Count(); ++i) {
    text += "<LI>" + link(list.Get(i)) + "</LI>";
    if (MakeCodePretty)
      text += "\r\n\r\n"; // MakePretty of the text so far
  }
  return MakePretty(WrapInLayoutTable(text + "</UL>", lkCommon, indent) + "<BR>");
}
