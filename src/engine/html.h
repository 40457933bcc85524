// Every piece of HTML the pages hold. The passes decide what to write; these
// functions decide how it looks, appending to a page's sink.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "engine/page_sink.h"

namespace html {

/// Layout cells of the block tables.
enum LayoutKind : int { lkHeader = 1, lkCommon = 3, lkWarn = 4, lkMore = 5 };
enum ReferenceKind { rkMoreInformation, rkAlsoSee };
enum ParagraphKind { pkPlain, pkCaption };
enum GlossaryEntryKind { geItem = 0, geCommon = 1, geRelated = 2 };

/// The page options that change how blocks look.
struct Style {
  bool MakeCodePretty = false;
  bool UseTableElem = true;
};

/// The blank lines that end every block when code is made pretty.
inline void Pretty(PageSink& out, const Style& s) {
  if (s.MakeCodePretty)
    out.Append("\r\n\r\n");
}

/// TEXT with every byte but an ASCII letter, digit or '_' written as '_'.
void Identifier(PageSink& out, std::string_view text);
/// "GBM_" + the expression as an identifier.
void GlossaryBookmark(PageSink& out, std::string_view expression);
/// "HBM_" + the titles of levels 0..LEVEL joined by '_', as an identifier.
void HeaderBookmark(PageSink& out, const std::array<std::string_view, 10>& titles, int level);

// The layout table around a block: nothing when tables are off.
void LayoutOpen(PageSink& out, const Style& s, LayoutKind kind, bool indent);
void LayoutClose(PageSink& out, const Style& s, bool indent);

/// The opening of a one-line sentence block (references, warnings, notes).
void SentenceOpen(PageSink& out);
void WarningLead(PageSink& out);
void TopicReferenceLead(PageSink& out, ReferenceKind kind);
void UrlReference(PageSink& out, ReferenceKind kind, std::string_view url);
void ParagraphClose(PageSink& out);
/// "<BR>" after a block, then the pretty break.
void BlockEnd(PageSink& out, const Style& s);

/// A text paragraph: a list item for "* ", a code line inside a code block,
/// a caption or a plain paragraph. TEXT is not empty.
void Paragraph(PageSink& out, const Style& s, std::string_view text, ParagraphKind kind,
               bool inCodeBlock);
void TitleParagraph(PageSink& out, const Style& s, std::string_view text);
void CodeBlockBegin(PageSink& out, bool indent);
void CodeBlockEnd(PageSink& out, bool indent);
void Fragment(PageSink& out, const Style& s, std::string_view fragment);
void ListCaption(PageSink& out, const Style& s, std::string_view caption, bool inCodeBlock);
void Separator(PageSink& out, const Style& s, bool inCodeBlock);

/// <A NAME="bookmark"></A> for a glossary expression.
void GlossaryAnchor(PageSink& out, std::string_view expression);
/// The header: anchor, separator, the path of titles with links to the
/// levels above, in its layout table.
void HeaderParagraph(PageSink& out, const Style& s, const std::array<std::string_view, 10>& titles,
                     int level, std::string_view separator);
/// The contents entry of a header.
void ContentsEntry(PageSink& out, const Style& s, const std::array<std::string_view, 10>& titles,
                   int level, std::string_view contentFile);

// The glossary step's shapes.
void Definition(PageSink& out, std::string_view text);
void EWDefinition(PageSink& out, std::string_view text);
void GlossaryLink(PageSink& out, std::string_view text, std::string_view expression);

// Inline commands.
void Picture(PageSink& out, std::string_view name, std::string_view extension);
void WebLink(PageSink& out, std::string_view target);

/// One paragraph of the glossary page.
void GlossaryEntry(PageSink& out, const Style& s, GlossaryEntryKind kind,
                   std::string_view expression, std::string_view contentFile);

/// A related- or common-topics block: one entry as a sentence, several as a list.
void TopicsBlock(PageSink& out, const Style& s, const std::string_view* entries, std::size_t count,
                 bool related, bool indent);

/// The row of outline-level buttons for levels 0..MAX_LEVEL.
void OutlineButtons(PageSink& out, int maxLevel);

} // namespace html
