// The HTML of every page: blocks, headers, contents entries, links, inline
// commands, the glossary page and the level buttons.
#include "engine/html.h"

namespace html {
namespace {

constexpr std::string_view kTableOpen =
    "<TABLE CELLSSPACING=0 CELLPADDING=5 BORDER=0 WIDTH=100%><TBODY><TR>";
constexpr std::string_view kTableClose = "</TR></TBODY></TABLE>";
constexpr std::string_view kSpacerCell = "<TD WIDTH=10%>";
constexpr std::string_view kSentenceOpen = "<P STYLE=\"MARGIN-BOTTOM: 0\">";

std::string_view CellClass(LayoutKind kind) {
  switch (kind) {
  case lkHeader:
    return "HeaderCell";
  case lkCommon:
    return "CommonCell";
  case lkWarn:
    return "WarnCell";
  case lkMore:
    return "MoreCell";
  }
  return "";
}

struct IdentifierTable {
  char Map[256];
  constexpr IdentifierTable() : Map() {
    for (int c = 0; c < 256; ++c) {
      const bool word =
          (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
      Map[c] = word ? static_cast<char>(c) : '_';
    }
  }
};
constexpr IdentifierTable kIdentifier;

// <A HREF="#bookmark">text</A> for a glossary expression's bookmark.
void BookmarkLinkToExpression(PageSink& out, std::string_view text, std::string_view expression) {
  out.Append("<A HREF=\"#");
  GlossaryBookmark(out, expression);
  out.Append("\">");
  out.Append(text);
  out.Append("</A>");
}

} // namespace

void Identifier(PageSink& out, std::string_view text) {
  char* at = out.Extend(text.size());
  for (char c : text)
    *at++ = kIdentifier.Map[static_cast<unsigned char>(c)];
}

void GlossaryBookmark(PageSink& out, std::string_view expression) {
  out.Append("GBM_");
  Identifier(out, expression);
}

void HeaderBookmark(PageSink& out, const std::array<std::string_view, 10>& titles, int level) {
  out.Append("HBM_");
  for (int i = 0; i <= level; ++i) {
    if (i > 0)
      out.Append('_');
    Identifier(out, titles[static_cast<std::size_t>(i)]);
  }
}

void LayoutOpen(PageSink& out, const Style& s, LayoutKind kind, bool indent) {
  if (!s.UseTableElem)
    return;
  out.Append(kTableOpen);
  if (indent)
    out.Append(kSpacerCell);
  out.Append("<TD CLASS=\"");
  out.Append(CellClass(kind));
  out.Append("\">");
}

void LayoutClose(PageSink& out, const Style& s, bool indent) {
  if (!s.UseTableElem)
    return;
  out.Append("</TD>");
  if (indent)
    out.Append("</TD>");
  out.Append(kTableClose);
}

void SentenceOpen(PageSink& out) {
  out.Append(kSentenceOpen);
}

void WarningLead(PageSink& out) {
  out.Append(kSentenceOpen);
  out.Append("<B>Warning!</B> ");
}

void TopicReferenceLead(PageSink& out, ReferenceKind kind) {
  out.Append(kSentenceOpen);
  out.Append(kind == rkMoreInformation ? "For more information on this subject go to"
                                       : "You may also want to see");
  out.Append(": ");
}

void UrlReference(PageSink& out, ReferenceKind kind, std::string_view url) {
  out.Append(kSentenceOpen);
  out.Append(kind == rkMoreInformation ? "For more information on this subject go"
                                       : "You may also want to see");
  out.Append(" <A HREF=\"");
  out.Append(url);
  out.Append("\" TARGET=\"_blank\">here</A>.</P>");
}

void ParagraphClose(PageSink& out) {
  out.Append("</P>");
}

void BlockEnd(PageSink& out, const Style& s) {
  out.Append("<BR>");
  Pretty(out, s);
}

void Paragraph(PageSink& out, const Style& s, std::string_view text, ParagraphKind kind,
               bool inCodeBlock) {
  if (text.size() >= 2 && text[0] == '*' && text[1] == ' ') {
    out.Append("<LI>");
    out.Append(text.substr(2));
    out.Append("</LI>");
  } else if (inCodeBlock) {
    out.Append(text);
    out.Append("\r\n");
  } else if (kind == pkCaption) {
    out.Append("<P CLASS=\"LIS\">");
    out.Append(text);
    out.Append("</P>");
  } else {
    out.Append("<P>");
    out.Append(text);
    out.Append("</P>");
  }
  Pretty(out, s);
}

void TitleParagraph(PageSink& out, const Style& s, std::string_view text) {
  out.Append("<P CLASS=\"Title\">");
  out.Append(text);
  out.Append("</P>");
  Pretty(out, s);
}

void CodeBlockBegin(PageSink& out, bool indent) {
  out.Append(kTableOpen);
  if (indent)
    out.Append(kSpacerCell);
  out.Append("<TD CLASS=\"CodeCell\"><P CLASS=\"CODE\">\r\n");
}

void CodeBlockEnd(PageSink& out, bool indent) {
  out.Append("</P></TD>");
  if (indent)
    out.Append("</TD>");
  out.Append(kTableClose);
}

void Fragment(PageSink& out, const Style& s, std::string_view fragment) {
  out.Append(fragment);
  Pretty(out, s);
}

void ListCaption(PageSink& out, const Style& s, std::string_view caption, bool inCodeBlock) {
  Paragraph(out, s, caption, pkCaption, inCodeBlock);
  out.Append("<UL>");
  Pretty(out, s);
}

void Separator(PageSink& out, const Style& s, bool inCodeBlock) {
  Paragraph(out, s, "<HR ALIGN=\"CENTER\" WIDTH=\"50%\" SIZE=2 NOSHADE>", pkPlain, inCodeBlock);
}

void GlossaryAnchor(PageSink& out, std::string_view expression) {
  out.Append("<A NAME=\"");
  GlossaryBookmark(out, expression);
  out.Append("\"></A>");
}

void HeaderParagraph(PageSink& out, const Style& s, const std::array<std::string_view, 10>& titles,
                     int level, std::string_view separator) {
  out.Append("<A NAME=\"");
  HeaderBookmark(out, titles, level);
  out.Append("\"></A>");
  out.Append(separator);
  LayoutOpen(out, s, lkHeader, false);
  out.Append("<H1>");
  // The path: a link to each level above (none for an empty title), then the title.
  for (int i = 0; i < level; ++i) {
    const std::string_view title = titles[static_cast<std::size_t>(i)];
    if (!title.empty()) {
      out.Append("<A HREF=\"#");
      HeaderBookmark(out, titles, i);
      out.Append("\">");
      out.Append(title);
      out.Append("</A>");
    }
    out.Append(" > ");
  }
  out.Append(titles[static_cast<std::size_t>(level)]);
  out.Append("</H1>");
  LayoutClose(out, s, false);
  BlockEnd(out, s);
}

void ContentsEntry(PageSink& out, const Style& s, const std::array<std::string_view, 10>& titles,
                   int level, std::string_view contentFile) {
  out.Append("<P CLASS=\"HOL_");
  out.AppendNumber(level);
  out.Append("\" STYLE=\"TEXT-INDENT: ");
  out.AppendNumber(5 * level);
  out.Append("MM\">");
  const std::string_view title = titles[static_cast<std::size_t>(level)];
  if (!title.empty()) {
    out.Append("<A HREF=\"");
    out.Append(contentFile);
    out.Append('#');
    HeaderBookmark(out, titles, level);
    out.Append("\" TARGET=\"ContentFrame\">");
    out.Append(title);
    out.Append("</A>");
  }
  out.Append("</P>");
  Pretty(out, s);
}

void Definition(PageSink& out, std::string_view text) {
  out.Append("<DFN>");
  out.Append(text);
  out.Append("</DFN>");
}

void EWDefinition(PageSink& out, std::string_view text) {
  out.Append("<DFN CLASS=\"EW\">");
  out.Append(text);
  out.Append("</DFN>");
}

void GlossaryLink(PageSink& out, std::string_view text, std::string_view expression) {
  BookmarkLinkToExpression(out, text, expression);
}

void Picture(PageSink& out, std::string_view name, std::string_view extension) {
  out.Append("<IMG SRC=\"pictures/");
  out.Append(name);
  out.Append(extension);
  out.Append("\" ALIGN=\"BOTTOM\" BORDER=0>");
}

void WebLink(PageSink& out, std::string_view target) {
  out.Append("<A HREF=\"");
  if (target.find(':') == std::string_view::npos)
    out.Append("http://");
  out.Append(target);
  out.Append("\" TARGET=\"_blank\">");
  out.Append(target);
  out.Append("</A>");
}

void GlossaryEntry(PageSink& out, const Style& s, GlossaryEntryKind kind,
                   std::string_view expression, std::string_view contentFile) {
  if (kind == geItem)
    out.Append("<P>");
  else
    out.Append(kind == geCommon ? "<P STYLE=\"TEXT-INDENT: 5MM\">Com: "
                                : "<P STYLE=\"TEXT-INDENT: 5MM\">Rel: ");
  out.Append("<A HREF=\"");
  out.Append(contentFile);
  out.Append('#');
  GlossaryBookmark(out, expression);
  out.Append("\" TARGET=\"ContentFrame\">");
  out.Append(expression);
  out.Append("</A></P>");
  Pretty(out, s);
}

void TopicsBlock(PageSink& out, const Style& s, const std::string_view* entries, std::size_t count,
                 bool related, bool indent) {
  if (count == 0)
    return;
  LayoutOpen(out, s, lkCommon, indent);
  out.Append(kSentenceOpen);
  if (count == 1) {
    out.Append(related ? "See related topic: " : "See common topic: ");
    BookmarkLinkToExpression(out, entries[0], entries[0]);
    out.Append("</P>");
  } else {
    out.Append(related ? "See related topics:" : "See common topics:");
    out.Append("</P><UL>");
    Pretty(out, s);
    for (std::size_t i = 0; i < count; ++i) {
      out.Append("<LI>");
      BookmarkLinkToExpression(out, entries[i], entries[i]);
      out.Append("</LI>");
      Pretty(out, s);
    }
    out.Append("</UL>");
  }
  LayoutClose(out, s, indent);
  BlockEnd(out, s);
}

void OutlineButtons(PageSink& out, int maxLevel) {
  out.Append("<P>\r\n<INPUT TYPE=BUTTON VALUE='All' ONCLICK='FViewToHOL(9)' ALT='Show all "
             "headers'>\r\n<INPUT TYPE=BUTTON VALUE='1' ONCLICK='FViewToHOL(0)' ALT='Show "
             "headers up to level 1'>");
  for (int n = 1; n < maxLevel; ++n) {
    out.Append("\r\n<INPUT TYPE=BUTTON VALUE='");
    out.AppendNumber(n + 1);
    out.Append("' ONCLICK='FViewToHOL(");
    out.AppendNumber(n);
    out.Append(")' ALT='Show headers up to level ");
    out.AppendNumber(n + 1);
    out.Append("'>");
  }
  out.Append("\r\n</P>");
}

} // namespace html
