// The HTML of every block shape.
#include "engine/converter.h"
#include "lib/file.h"
#include "lib/text.h"

namespace {

constexpr const char* kTableOpen =
    "<TABLE CELLSSPACING=0 CELLPADDING=5 BORDER=0 WIDTH=100%><TBODY><TR>";
constexpr const char* kTableClose = "</TR></TBODY></TABLE>";
constexpr const char* kSpacerCell = "<TD WIDTH=10%>";
constexpr const char* kSentenceOpen = "<P STYLE=\"MARGIN-BOTTOM: 0\">";

const char* CellClass(int kind) {
  switch (kind) {
  case lkHeader:
    return "HeaderCell";
  case lkCommon:
    return "CommonCell";
  case lkWarn:
    return "WarnCell";
  case lkMore:
    return "MoreCell";
  default:
    return "";
  }
}

std::string Sanitised(std::string text) {
  MakeIdentifier(text);
  return text;
}

} // namespace

std::string TConverter::MakePretty(const std::string& html) const {
  return MakeCodePretty ? html + "\r\n\r\n" : html;
}

std::string TConverter::MakeParagraph(const std::string& text, ParagraphKind kind) {
  if (text.empty()) {
    AddLogLine("Warning: empty paragraph.");
    return {};
  }
  if (text.size() >= 2 && text[0] == '*' && text[1] == ' ')
    return MakePretty("<LI>" + text.substr(2) + "</LI>");
  if (InCodeBlock)
    return MakePretty(text + "\r\n");
  if (kind == pkCaption)
    return MakePretty("<P CLASS=\"LIS\">" + text + "</P>");
  return MakePretty("<P>" + text + "</P>");
}

std::string TConverter::MakeTitleParagraph(const std::string& text) const {
  return MakePretty("<P CLASS=\"Title\">" + text + "</P>");
}

std::string TConverter::MakeTopicReference(const std::string& topic, ReferenceKind kind) {
  const char* lead = kind == rkMoreInformation ? "For more information on this subject go to"
                                               : "You may also want to see";
  return std::string(kSentenceOpen) + lead + ": " + ProcessInlineText(topic) + ".</P>";
}

std::string TConverter::MakeUrlReference(const std::string& url, ReferenceKind kind) const {
  const char* lead = kind == rkMoreInformation ? "For more information on this subject go"
                                               : "You may also want to see";
  return std::string(kSentenceOpen) + lead + " <A HREF=\"" + url +
         "\" TARGET=\"_blank\">here</A>.</P>";
}

std::string TConverter::MakeWarningParagraph(const std::string& text) {
  return std::string(kSentenceOpen) + "<B>Warning!</B> " + ProcessInlineText(text) + "</P>";
}

std::string TConverter::MakeNoteParagraph(const std::string& text) {
  return std::string(kSentenceOpen) + ProcessInlineText(text) + "</P>";
}

std::string TConverter::WrapInLayoutTable(const std::string& html, int kind, bool indent) const {
  if (!UseTableElem)
    return html;
  std::string s = kTableOpen;
  if (indent)
    s += kSpacerCell;
  s += "<TD CLASS=\"";
  s += CellClass(kind);
  s += "\">";
  s += html;
  s += "</TD>";
  if (indent)
    s += "</TD>";
  s += kTableClose;
  return s;
}

std::string TConverter::BeginCodeBlock(bool indent) {
  InCodeBlock = true;
  return std::string(kTableOpen) + (indent ? kSpacerCell : "") +
         "<TD CLASS=\"CodeCell\"><P CLASS=\"CODE\">\r\n";
}

std::string TConverter::EndCodeBlock(bool indent) {
  InCodeBlock = false;
  return std::string("</P></TD>") + (indent ? "</TD>" : "") + kTableClose;
}

std::string TConverter::MakeHeaderBookmark(int level) const {
  std::string path = HeaderTitles[0];
  for (int i = 1; i <= level; ++i)
    path += "_" + HeaderTitles[static_cast<std::size_t>(i)];
  return "HBM_" + Sanitised(path);
}

std::string TConverter::MakeGlossaryBookmark(const std::string& expression) {
  if (expression.empty()) {
    AddLogLine("Warning: empty bookmark name.");
    return {};
  }
  return "GBM_" + Sanitised(expression);
}

std::string TConverter::MakeAnchor(const std::string& bookmark) {
  if (bookmark.empty()) {
    AddLogLine("Warning: empty bookmark.");
    return {};
  }
  return "<A NAME=\"" + bookmark + "\"></A>";
}

std::string TConverter::MakeHeaderParagraph() {
  const int level = OutlineLevel;
  std::string path;
  // MakeHeaderBookmark(i) for every level above, grown one title at a time.
  std::string bookmark = "HBM_";
  for (int i = 0; i < level; ++i) {
    const std::string& title = HeaderTitles[static_cast<std::size_t>(i)];
    if (i > 0)
      bookmark += '_';
    bookmark += Sanitised(title);
    path += MakeBookmarkLink(title, bookmark);
    path += " > ";
  }
  path += HeaderTitles[static_cast<std::size_t>(level)];
  AddContentsEntry();
  const std::string separator = UseSectionSep ? BeforeSectionLines->Text() : std::string();
  return MakePretty(MakeAnchor(MakeHeaderBookmark(level)) + separator +
                    WrapInLayoutTable("<H1>" + path + "</H1>", lkHeader, false) + "<BR>");
}

void TConverter::AddContentsEntry() {
  const int level = OutlineLevel;
  if (level > MaxOutlineLevel)
    MaxOutlineLevel = level;
  const std::string link =
      MakeContentLink(HeaderTitles[static_cast<std::size_t>(level)], MakeHeaderBookmark(level));
  Append(TOCStorage, MakePretty("<P CLASS=\"HOL_" + std::to_string(level) +
                                "\" STYLE=\"TEXT-INDENT: " + std::to_string(5 * level) + "MM\">" +
                                link + "</P>"));
}
