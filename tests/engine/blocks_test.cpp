// The HTML of the block shapes.
#include <gtest/gtest.h>

#include "engine_fixture.h"

namespace {

using engine_test::Engine;
using Log = std::vector<std::string>;

TEST(Blocks, WarningExampleOfTheSpec) {
  Engine e;
  EXPECT_EQ(e.Run({"~WARNP=Mind the gap"}),
            "<TABLE CELLSSPACING=0 CELLPADDING=5 BORDER=0 WIDTH=100%><TBODY><TR><TD WIDTH=10%><TD "
            "CLASS=\"WarnCell\"><P STYLE=\"MARGIN-BOTTOM: 0\"><B>Warning!</B> Mind the "
            "gap</P></TD></TD></TR></TBODY></TABLE><BR>");
  Engine off;
  off.c.UseTableElem = false;
  EXPECT_EQ(off.Run({"~WARNP=Mind the gap"}),
            "<P STYLE=\"MARGIN-BOTTOM: 0\"><B>Warning!</B> Mind the gap</P><BR>");
}

TEST(Blocks, LayoutKinds) {
  Engine e;
  EXPECT_EQ(e.c.WrapInLayoutTable("x", lkMore, false),
            "<TABLE CELLSSPACING=0 CELLPADDING=5 BORDER=0 WIDTH=100%><TBODY><TR><TD "
            "CLASS=\"MoreCell\">x</TD></TR></TBODY></TABLE>");
  EXPECT_NE(e.c.WrapInLayoutTable("x", lkCommon, true)
                .find("<TD WIDTH=10%><TD CLASS=\"CommonCell\">x</TD></TD>"),
            std::string::npos);
  EXPECT_NE(e.c.WrapInLayoutTable("x", lkHeader, false).find("HeaderCell"), std::string::npos);
  e.c.UseTableElem = false;
  EXPECT_EQ(e.c.WrapInLayoutTable("x", lkWarn, true), "x");
}

TEST(Blocks, Paragraphs) {
  Engine e;
  EXPECT_EQ(e.c.MakeParagraph("* item", pkPlain), "<LI>item</LI>");
  EXPECT_EQ(e.c.MakeParagraph("*item", pkPlain), "<P>*item</P>");
  EXPECT_EQ(e.c.MakeParagraph("* ", pkCaption), "<LI></LI>");
  EXPECT_EQ(e.c.MakeParagraph("cap", pkCaption), "<P CLASS=\"LIS\">cap</P>");
  e.c.InCodeBlock = true;
  EXPECT_EQ(e.c.MakeParagraph("* item", pkPlain), "<LI>item</LI>");
  EXPECT_EQ(e.c.MakeParagraph("code", pkCaption), "code\r\n");
  e.c.MakeCodePretty = true;
  EXPECT_EQ(e.c.MakeParagraph("code", pkPlain), "code\r\n\r\n\r\n");
  EXPECT_TRUE(e.host.Log.empty());
  EXPECT_EQ(e.c.MakeParagraph("", pkPlain), "");
  EXPECT_EQ(e.host.Log, (Log{"* Warning: empty paragraph."}));
}

TEST(Blocks, TextLinesBecomeParagraphs) {
  Engine e;
  EXPECT_EQ(e.Run({"text", "[:D]"}),
            "<P>text</P><P><IMG SRC=\"pictures/laugh.gif\" ALIGN=\"BOTTOM\" BORDER=0></P>");
  EXPECT_EQ(e.Run({"\t"}), "<P>\t</P>");
}

TEST(Blocks, Bookmarks) {
  Engine e;
  EXPECT_EQ(e.c.MakeGlossaryBookmark("a-b c"), "GBM_a_b_c");
  EXPECT_EQ(e.c.MakeGlossaryBookmark("x_\xE9"), "GBM_x__");
  EXPECT_EQ(e.c.MakeAnchor("B"), "<A NAME=\"B\"></A>");
  EXPECT_TRUE(e.host.Log.empty());
  EXPECT_EQ(e.c.MakeGlossaryBookmark(""), "");
  EXPECT_EQ(e.c.MakeAnchor(""), "");
  EXPECT_EQ(e.host.Log, (Log{"* Warning: empty bookmark name.", "* Warning: empty bookmark."}));
  e.c.HeaderTitles = {"Guide", "Getting started", "x y"};
  EXPECT_EQ(e.c.MakeHeaderBookmark(0), "HBM_Guide");
  EXPECT_EQ(e.c.MakeHeaderBookmark(2), "HBM_Guide_Getting_started_x_y");
}

TEST(Blocks, HeaderWithoutParentTitleHasAnEmptyPathLink) {
  Engine e;
  e.c.UseSectionSep = false;
  EXPECT_EQ(e.Run({"~S+=Child"}),
            "<A NAME=\"HBM__Child\"></A><TABLE CELLSSPACING=0 CELLPADDING=5 BORDER=0 "
            "WIDTH=100%><TBODY><TR><TD CLASS=\"HeaderCell\"><H1> > "
            "Child</H1></TD></TR></TBODY></TABLE><BR>");
  EXPECT_EQ(e.ContentLog(), (Log{"* Warning: empty bookmark name."}));
}

TEST(Blocks, SectionSeparatorLines) {
  Engine e;
  e.c.BeforeSectionLines->Clear();
  e.c.BeforeSectionLines->Add("<HR>");
  e.c.BeforeSectionLines->Add("<P>x</P>");
  e.c.UseTableElem = false;
  EXPECT_EQ(e.Run({"~S=A"}), "<A NAME=\"HBM_A\"></A><HR>\r\n<P>x</P>\r\n<H1>A</H1><BR>");
  Engine empty;
  empty.c.BeforeSectionLines->Clear();
  empty.c.UseTableElem = false;
  EXPECT_EQ(empty.Run({"~S=A"}), "<A NAME=\"HBM_A\"></A><H1>A</H1><BR>");
}

TEST(Blocks, MoreInformationIndentOnlyInTables) {
  Engine e;
  e.c.UseTableElem = false;
  EXPECT_EQ(e.Run({"~MIP=x"}), e.Run({"~MIS=x"}));
}

TEST(Blocks, PrettySpacing) {
  Engine e;
  e.c.MakeCodePretty = true;
  e.c.UseTableElem = false;
  e.c.UseSectionSep = false;
  EXPECT_EQ(e.Run({"~LIS=Cap", "a", "~LIS-", "~SEP", "~IF=raw", "~S=H"}),
            "<P CLASS=\"LIS\">Cap</P>\r\n\r\n<UL>\r\n\r\n<P>a</P>\r\n\r\n</UL><BR>\r\n\r\n"
            "<P><HR ALIGN=\"CENTER\" WIDTH=\"50%\" SIZE=2 NOSHADE></P>\r\n\r\nraw\r\n\r\n"
            "<A NAME=\"HBM_H\"></A><H1>H</H1><BR>\r\n\r\n");
  EXPECT_EQ(e.Toc(), "<P CLASS=\"HOL_0\" STYLE=\"TEXT-INDENT: 0MM\"><A "
                     "HREF=\"Guide.cnt.htm#HBM_H\" TARGET=\"ContentFrame\">H</A></P>\r\n\r\n");
}

TEST(Blocks, HeaderTitlesAreNotInlineProcessed) {
  Engine e;
  e.c.UseTableElem = false;
  e.c.UseSectionSep = false;
  EXPECT_EQ(e.Run({"~GS=word", "~S=<B>word</B> [:D]"}),
            "<A NAME=\"GBM_word\"></A><A NAME=\"HBM__B_word__B____D_\"></A><H1><B>word</B> "
            "[:D]</H1><BR>");
}

} // namespace
