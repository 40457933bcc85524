// The HTML of the block shapes.
#include <gtest/gtest.h>

#include "engine/html.h"
#include "engine_fixture.h"

namespace {

using engine_test::Engine;
using Log = std::vector<std::string>;

// What one html:: function appends to an empty page.
template <class Render> std::string Html(Render render) {
  PageSink out;
  render(out);
  return std::string(out.View());
}

TEST(Blocks, WarningBlockWithAndWithoutTables) {
  Engine e;
  EXPECT_EQ(e.Run({"~WARNP=Mind the gap"}),
            "<TABLE CELLSSPACING=0 CELLPADDING=5 BORDER=0 WIDTH=100%><TBODY><TR><TD WIDTH=10%><TD "
            "CLASS=\"WarnCell\"><P STYLE=\"MARGIN-BOTTOM: 0\"><B>Warning!</B> Mind the "
            "gap</P></TD></TD></TR></TBODY></TABLE><BR>");
  Engine off;
  off.host.UseTable = false;
  EXPECT_EQ(off.Run({"~WARNP=Mind the gap"}),
            "<P STYLE=\"MARGIN-BOTTOM: 0\"><B>Warning!</B> Mind the gap</P><BR>");
}

TEST(Blocks, LayoutKinds) {
  auto wrap = [](html::LayoutKind kind, bool indent, bool tables) {
    return Html([&](PageSink& out) {
      const html::Style s{false, tables};
      html::LayoutOpen(out, s, kind, indent);
      out.Append("x");
      html::LayoutClose(out, s, indent);
    });
  };
  EXPECT_EQ(wrap(html::lkMore, false, true),
            "<TABLE CELLSSPACING=0 CELLPADDING=5 BORDER=0 WIDTH=100%><TBODY><TR><TD "
            "CLASS=\"MoreCell\">x</TD></TR></TBODY></TABLE>");
  EXPECT_NE(
      wrap(html::lkCommon, true, true).find("<TD WIDTH=10%><TD CLASS=\"CommonCell\">x</TD></TD>"),
      std::string::npos);
  EXPECT_NE(wrap(html::lkHeader, false, true).find("HeaderCell"), std::string::npos);
  EXPECT_EQ(wrap(html::lkWarn, true, false), "x");
}

TEST(Blocks, Paragraphs) {
  auto paragraph = [](std::string_view text, html::ParagraphKind kind, bool inCode,
                      bool pretty = false) {
    return Html([&](PageSink& out) { html::Paragraph(out, {pretty, true}, text, kind, inCode); });
  };
  EXPECT_EQ(paragraph("* item", html::pkPlain, false), "<LI>item</LI>");
  EXPECT_EQ(paragraph("*item", html::pkPlain, false), "<P>*item</P>");
  EXPECT_EQ(paragraph("* ", html::pkCaption, false), "<LI></LI>");
  EXPECT_EQ(paragraph("cap", html::pkCaption, false), "<P CLASS=\"LIS\">cap</P>");
  EXPECT_EQ(paragraph("* item", html::pkPlain, true), "<LI>item</LI>");
  EXPECT_EQ(paragraph("code", html::pkCaption, true), "code\r\n");
  EXPECT_EQ(paragraph("code", html::pkPlain, true, true), "code\r\n\r\n\r\n");
}

TEST(Blocks, TextLinesBecomeParagraphs) {
  Engine e;
  EXPECT_EQ(e.Run({"text", "[:D]"}),
            "<P>text</P><P><IMG SRC=\"pictures/laugh.gif\" ALIGN=\"BOTTOM\" BORDER=0></P>");
  EXPECT_EQ(e.Run({"\t"}), "<P>\t</P>");
}

TEST(Blocks, Bookmarks) {
  EXPECT_EQ(Html([](PageSink& out) { html::GlossaryBookmark(out, "a-b c"); }), "GBM_a_b_c");
  EXPECT_EQ(Html([](PageSink& out) { html::GlossaryBookmark(out, "x_\xE9"); }), "GBM_x__");
  EXPECT_EQ(Html([](PageSink& out) { html::GlossaryAnchor(out, "B"); }), "<A NAME=\"GBM_B\"></A>");
  const std::array<std::string_view, 10> titles{"Guide", "Getting started", "x y"};
  EXPECT_EQ(Html([&](PageSink& out) { html::HeaderBookmark(out, titles, 0); }), "HBM_Guide");
  EXPECT_EQ(Html([&](PageSink& out) { html::HeaderBookmark(out, titles, 2); }),
            "HBM_Guide_Getting_started_x_y");
}

TEST(Blocks, HeaderWithoutParentTitleHasAnEmptyPathLink) {
  Engine e;
  e.host.UseSectionSep = false;
  EXPECT_EQ(e.Run({"~S+=Child"}),
            "<A NAME=\"HBM__Child\"></A><TABLE CELLSSPACING=0 CELLPADDING=5 BORDER=0 "
            "WIDTH=100%><TBODY><TR><TD CLASS=\"HeaderCell\"><H1> > "
            "Child</H1></TD></TR></TBODY></TABLE><BR>");
  EXPECT_EQ(e.ContentLog(), (Log{"* Warning: empty bookmark name."}));
}

TEST(Blocks, SectionSeparatorLines) {
  Engine e;
  e.BeforeSection = "<HR>\r\n<P>x</P>\r\n";
  e.host.UseTable = false;
  EXPECT_EQ(e.Run({"~S=A"}), "<A NAME=\"HBM_A\"></A><HR>\r\n<P>x</P>\r\n<H1>A</H1><BR>");
  Engine empty;
  empty.BeforeSection.clear();
  empty.host.UseTable = false;
  EXPECT_EQ(empty.Run({"~S=A"}), "<A NAME=\"HBM_A\"></A><H1>A</H1><BR>");
}

TEST(Blocks, MoreInformationIndentOnlyInTables) {
  Engine e;
  e.host.UseTable = false;
  EXPECT_EQ(e.Run({"~MIP=x"}), e.Run({"~MIS=x"}));
}

TEST(Blocks, PrettySpacing) {
  Engine e;
  e.host.MakeCodePretty = true;
  e.host.UseTable = false;
  e.host.UseSectionSep = false;
  EXPECT_EQ(e.Run({"~LIS=Cap", "a", "~LIS-", "~SEP", "~IF=raw", "~S=H"}),
            "<P CLASS=\"LIS\">Cap</P>\r\n\r\n<UL>\r\n\r\n<P>a</P>\r\n\r\n</UL><BR>\r\n\r\n"
            "<P><HR ALIGN=\"CENTER\" WIDTH=\"50%\" SIZE=2 NOSHADE></P>\r\n\r\nraw\r\n\r\n"
            "<A NAME=\"HBM_H\"></A><H1>H</H1><BR>\r\n\r\n");
  EXPECT_EQ(e.Toc(), "<P CLASS=\"HOL_0\" STYLE=\"TEXT-INDENT: 0MM\"><A "
                     "HREF=\"Guide.cnt.htm#HBM_H\" TARGET=\"ContentFrame\">H</A></P>\r\n\r\n");
}

TEST(Blocks, HeaderTitlesAreNotInlineProcessed) {
  Engine e;
  e.host.UseTable = false;
  e.host.UseSectionSep = false;
  EXPECT_EQ(e.Run({"~GS=word", "~S=<B>word</B> [:D]"}),
            "<A NAME=\"GBM_word\"></A><A NAME=\"HBM__B_word__B____D_\"></A><H1><B>word</B> "
            "[:D]</H1><BR>");
}

} // namespace
