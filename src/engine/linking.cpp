// Glossary linking and the link and definition shapes.
#include <string_view>

#include "engine/converter.h"
#include "engine/glossary_matcher.h"
#include "lib/file.h"

std::size_t TConverter::MatchGlossary(const std::string& line, std::size_t pos, std::string& out) {
  EnsureIndexes();
  const int found = matcher_->Find(line, pos);
  if (found >= 0) {
    const std::size_t length = matcher_->Length(found);
    const std::string matched = line.substr(pos, length);
    const int item = byLengthItem_[static_cast<std::size_t>(found)];
    if (GetLinkedFlag(item)) {
      out += matched;
    } else if (IsDefinedInGroups(item)) {
      out += MakeDefinition(matched);
      SetLinkedFlag(item, true);
    } else {
      out += MakeBookmarkLink(matched, MakeGlossaryBookmark(GlossaryItemsByLength->Get(found)));
      ++GlossaryLinkCount;
      SetLinkedFlag(item, true);
    }
    return length;
  }
  if (!EWText.empty() && line.compare(pos, EWText.size(), EWText) == 0) {
    out += MakeEWDefinition(EWText);
    return EWText.size();
  }
  return 0;
}

std::string TConverter::MakeBookmarkLink(const std::string& text, const std::string& bookmark) {
  if (text.empty()) {
    AddLogLine("Warning: empty bookmark name.");
    return {};
  }
  return "<A HREF=\"#" + bookmark + "\">" + text + "</A>";
}

std::string TConverter::MakeContentLink(const std::string& text, const std::string& bookmark) {
  if (text.empty()) {
    AddLogLine("Warning: empty link name.");
    return {};
  }
  return "<A HREF=\"" + FileNameOf(ContentFileName) + "#" + bookmark +
         "\" TARGET=\"ContentFrame\">" + text + "</A>";
}

std::string TConverter::MakeDefinition(const std::string& text) {
  return "<DFN>" + text + "</DFN>";
}

std::string TConverter::MakeEWDefinition(const std::string& text) {
  return "<DFN CLASS=\"EW\">" + text + "</DFN>";
}
