// ProcessLine: warnings of both passes, the dispatch and the header commands.
#include <gtest/gtest.h>

#include <algorithm>

#include "engine_fixture.h"

namespace {

using engine_test::Engine;
using Log = std::vector<std::string>;

const std::string kTable = "<TABLE CELLSSPACING=0 CELLPADDING=5 BORDER=0 WIDTH=100%><TBODY><TR>";
const std::string kTableEnd = "</TR></TBODY></TABLE>";

std::string Header(const std::string& bookmark, const std::string& path) {
  return "<A NAME=\"" + bookmark + "\"></A><HR>\r\n" + kTable + "<TD CLASS=\"HeaderCell\"><H1>" +
         path + "</H1></TD>" + kTableEnd + "<BR>";
}

TEST(ProcessLine, MalformedLinesWarnInBothPasses) {
  Engine e;
  e.Run({"~S=", "~S=|x", "~=x", "~X|Y=Z"});
  const Log once = {"* Warning: empty command \"~S=\".",
                    "* Warning: empty command parameter \"~S=|x\".",
                    "* Warning: invalid syntax \"~=x\".", "* Warning: invalid syntax\"~X|Y=Z\"."};
  EXPECT_EQ(e.CollectionLog(), once);
  EXPECT_EQ(e.ContentLog(), once);
  EXPECT_EQ(e.Content(), "");
}

TEST(ProcessLine, UnknownCommandsWarnInTheContentPassOnly) {
  Engine e;
  e.Run({"~", "~LI+ ", "~XY=1", "~GSX=a|b"});
  EXPECT_TRUE(e.CollectionLog().empty());
  EXPECT_EQ(e.ContentLog(), (Log{"* Warning: unknown paragraph command \"~\".",
                                 "* Warning: unknown paragraph command \"~LI+ \".",
                                 "* Warning: unknown paragraph command \"~XY=1\".",
                                 "* Warning: unknown paragraph command \"~GSX=a|b\"."}));
}

TEST(ProcessLine, BareCommandsIgnoreCase) {
  Engine e;
  EXPECT_EQ(e.Run({"~li+", "~Li-", "~lis-", "~bp", "~p-", "a [:D]", "~P+", "~sep"}),
            "<UL></UL></UL><BR><P>&nbsp;</P><P>a [:D]</P>"
            "<P><HR ALIGN=\"CENTER\" WIDTH=\"50%\" SIZE=2 NOSHADE></P>");
  EXPECT_TRUE(e.ContentLog().empty());
}

TEST(ProcessLine, HeaderLevels) {
  Engine e;
  std::string out = e.Run({"~S=Guide", "~S+=Getting started", "~S+=Install", "~S1=Use",
                           "~S3=Too deep", "~S0=Again", "~S-", "~S-=Up"});
  EXPECT_EQ(out, Header("HBM_Guide", "Guide") +
                     Header("HBM_Guide_Getting_started",
                            "<A HREF=\"#HBM_Guide\">Guide</A> > Getting started") +
                     Header("HBM_Guide_Getting_started_Install",
                            "<A HREF=\"#HBM_Guide\">Guide</A> > <A "
                            "HREF=\"#HBM_Guide_Getting_started\">Getting started</A> > Install") +
                     Header("HBM_Guide_Use", "<A HREF=\"#HBM_Guide\">Guide</A> > Use") +
                     Header("HBM_Again", "Again"));
  EXPECT_EQ(
      e.ContentLog(),
      (Log{"* Warning: here, header outline level can be only between 0 and 2 \"~S3=Too deep\".",
           "* Warning: header outline level can't be negative \"~S-\".",
           "* Warning: header outline level can't be negative \"~S-=Up\"."}));
  EXPECT_EQ(e.Last().HeaderCount(), 5);
  EXPECT_EQ(e.Last().MaxOutlineLevel(), 2);
  EXPECT_EQ(e.Toc(),
            "<P CLASS=\"HOL_0\" STYLE=\"TEXT-INDENT: 0MM\"><A HREF=\"Guide.cnt.htm#HBM_Guide\" "
            "TARGET=\"ContentFrame\">Guide</A></P>"
            "<P CLASS=\"HOL_1\" STYLE=\"TEXT-INDENT: 5MM\"><A "
            "HREF=\"Guide.cnt.htm#HBM_Guide_Getting_started\" TARGET=\"ContentFrame\">Getting "
            "started</A></P>"
            "<P CLASS=\"HOL_2\" STYLE=\"TEXT-INDENT: 10MM\"><A "
            "HREF=\"Guide.cnt.htm#HBM_Guide_Getting_started_Install\" "
            "TARGET=\"ContentFrame\">Install</A></P>"
            "<P CLASS=\"HOL_1\" STYLE=\"TEXT-INDENT: 5MM\"><A HREF=\"Guide.cnt.htm#HBM_Guide_Use\" "
            "TARGET=\"ContentFrame\">Use</A></P>"
            "<P CLASS=\"HOL_0\" STYLE=\"TEXT-INDENT: 0MM\"><A HREF=\"Guide.cnt.htm#HBM_Again\" "
            "TARGET=\"ContentFrame\">Again</A></P>");
}

TEST(ProcessLine, LevelFormAcceptsOtherLettersInSecondPlace) {
  Engine e;
  std::string out = e.Run({"~s0=A", "~T1=B", "~Title=C"});
  EXPECT_EQ(out, Header("HBM_A", "A") + Header("HBM_A_B", "<A HREF=\"#HBM_A\">A</A> > B") +
                     "<P CLASS=\"Title\">C</P>");
}

TEST(ProcessLine, TooManyLevelsStillWritesTheAnchor) {
  Engine e;
  std::vector<std::string> lines = {"~S=L0"};
  for (int i = 1; i <= 9; ++i)
    lines.push_back("~S+=L" + std::to_string(i));
  lines.push_back("~S+=T|e");
  lines.push_back("e");
  e.Run(lines);
  EXPECT_EQ(e.Last().HeaderCount(), 10);
  EXPECT_EQ(e.Last().MaxOutlineLevel(), 9);
  // The refused header still entered its expression into the section group:
  // the next text line defines it instead of linking it.
  const std::string content = e.Content();
  const std::string tail = "<A NAME=\"GBM_e\"></A><P><DFN>e</DFN></P>";
  EXPECT_EQ(content.substr(content.size() - tail.size()), tail);
  EXPECT_EQ(e.ContentLog(), (Log{"* Warning: too many header outline levels \"~S+=T|e\"."}));

  // The level stays at 9: a header of the same level after it is at level 9.
  Engine same;
  lines.back() = "~S=U";
  same.Run(lines);
  const std::string toc = same.Toc();
  const std::string last = "<P CLASS=\"HOL_9\" STYLE=\"TEXT-INDENT: 45MM\"><A "
                           "HREF=\"Guide.cnt.htm#HBM_L0_L1_L2_L3_L4_L5_L6_L7_L8_U\" "
                           "TARGET=\"ContentFrame\">U</A></P>";
  ASSERT_GE(toc.size(), last.size());
  EXPECT_EQ(toc.substr(toc.size() - last.size()), last);
}

TEST(ProcessLine, InvalidCharactersRejectHeadersAndItems) {
  Engine e;
  std::string out = e.Run({"~S=A\tB|ab", "~GS=caf\xE9", "~S=plain\x7F"});
  EXPECT_EQ(e.CollectionLog(),
            (Log{"* Warning: invalid bookmark name \"~S=A\tB|ab\". Can't add item.",
                 "* Warning: invalid bookmark name \"~GS=caf\xE9\". Can't add item."}));
  EXPECT_EQ(e.ContentLog(),
            (Log{"* Warning: invalid header / bookmark name \"~S=A\tB|ab\".",
                 "* Warning: invalid bookmark name \"~S=A\tB|ab\". Can't add item.",
                 "* Warning: invalid header / bookmark name \"~GS=caf\xE9\".",
                 "* Warning: invalid bookmark name \"~GS=caf\xE9\". Can't add item."}));
  EXPECT_EQ(out, Header("HBM_plain_", "plain\x7F"));
  EXPECT_EQ(e.Items().Count(), 0);
}

TEST(ProcessLine, GlossaryRegistration) {
  Engine e;
  e.Run({"~GS=oak", "~GS=Oak", "~GS=elm|tree", "~GS=elm|wood", "~GSH=sapling", "~GS=ash|tree|x",
         "~GP=beech|", "~S=Oaks|oak", "~S=Intro", "~S=Start|begin|initial", "~Title=x|y",
         "~S=Same|"});
  EXPECT_EQ(e.CollectionLog(),
            (Log{"* Warning: duplicate glossary item \"~GS=Oak\". Can't add item.",
                 "* Warning: duplicate glossary item \"~S=Oaks|oak\". Can't add item."}));
  const Glossary& g = e.Items();
  std::vector<std::string> items;
  for (int i = 0; i < g.Count(); ++i)
    items.push_back(std::string(g.Expression(i)));
  EXPECT_EQ(items, (std::vector<std::string>{"ash", "beech", "begin", "elm", "elm", "oak", "Same",
                                             "sapling"}));
  auto ref = [&](int i) {
    int r = g.Reference(i);
    return r < 0 ? std::string("-") : std::string(g.Expression(r));
  };
  EXPECT_EQ(ref(0), "-");     // tree is no item
  EXPECT_EQ(ref(1), "beech"); // "~GP=beech|": its own common topic
  EXPECT_EQ(ref(2), "-");     // initial is no item
  EXPECT_EQ(ref(5), "-");
  EXPECT_TRUE(g.Hidden(7));
  EXPECT_FALSE(g.Hidden(6));
}

TEST(ProcessLine, GlossaryLimit) {
  Engine e(false);
  std::vector<std::string> lines;
  for (int i = 0; i < 65536; ++i)
    lines.push_back("~GS=item" + std::to_string(i));
  lines.push_back("~GS=item0"); // the limit is reported, not the duplicate
  e.Run(lines);
  EXPECT_EQ(e.Items().Count(), 65535);
  EXPECT_EQ(e.CollectionLog(),
            (Log{"* Warning: Too many glossary items. Can't add any more items.",
                 "* Warning: Too many glossary items. Can't add any more items."}));
}

TEST(ProcessLine, ProjectOptionsFollowTheCheckBoxWhenRead) {
  Engine e;
  e.host.UseProjectOptions = true;
  std::string out = e.Run({"~PO_UseTableElem=yes", "~NOTES=n", "~po_usetableelem=True", "~NOTES=n",
                           "~PO_MakeCodePretty=TRUE", "~BP", "~PO_UseSectionSep=false", "~S=H"});
  EXPECT_EQ(out, "<P STYLE=\"MARGIN-BOTTOM: 0\">n</P><BR>" + kTable +
                     "<TD CLASS=\"WarnCell\"><P STYLE=\"MARGIN-BOTTOM: 0\">n</P></TD>" + kTableEnd +
                     "<BR><P>&nbsp;</P>\r\n\r\n<A NAME=\"HBM_H\"></A>" + kTable +
                     "<TD CLASS=\"HeaderCell\"><H1>H</H1></TD>" + kTableEnd + "<BR>\r\n\r\n");

  // Ignored: the check box options stay (tables on, code not pretty).
  Engine off;
  off.host.UseProjectOptions = false;
  EXPECT_EQ(off.Run({"~PO_UseTableElem=no", "~PO_MakeCodePretty=TRUE", "~NOTES=n", "~BP"}),
            kTable + "<TD CLASS=\"WarnCell\"><P STYLE=\"MARGIN-BOTTOM: 0\">n</P></TD>" + kTableEnd +
                "<BR><P>&nbsp;</P>");
  EXPECT_TRUE(off.ContentLog().empty());
}

TEST(ProcessLine, ParameterCommandsUseOnlyTheFirstField) {
  Engine e(false);
  e.host.UseTable = false;
  std::string out = e.Run({"~IF=<HR>|x", "~IP=anything", "~Title=T|x", "~EW=word|x", "~LIS=Cap|x",
                           "~MIUS=www.x.org|y", "~ASUP=http://a.b", "~MIS=topic|z", "~ASP=t",
                           "~WARNP=w", "~NOTEP=n"});
  EXPECT_EQ(
      out,
      "<HR><P CLASS=\"Title\">T</P><P CLASS=\"LIS\">Cap</P><UL>"
      "<P STYLE=\"MARGIN-BOTTOM: 0\">For more information on this subject go <A "
      "HREF=\"www.x.org\" TARGET=\"_blank\">here</A>.</P><BR>"
      "<P STYLE=\"MARGIN-BOTTOM: 0\">You may also want to see <A HREF=\"http://a.b\" "
      "TARGET=\"_blank\">here</A>.</P><BR>"
      "<P STYLE=\"MARGIN-BOTTOM: 0\">For more information on this subject go to: topic.</P><BR>"
      "<P STYLE=\"MARGIN-BOTTOM: 0\">You may also want to see: t.</P><BR>"
      "<P STYLE=\"MARGIN-BOTTOM: 0\"><B>Warning!</B> w</P><BR>"
      "<P STYLE=\"MARGIN-BOTTOM: 0\">n</P><BR>");
  EXPECT_TRUE(e.ContentLog().empty());

  // Only "word" is the EW text, not "word|x".
  Engine full;
  full.host.UseTable = false;
  EXPECT_EQ(full.Run({"~EW=word|x", "a word|x"}), "<P>a <DFN CLASS=\"EW\">word</DFN>|x</P>");
}

TEST(ProcessLine, CodeBlocks) {
  Engine e;
  e.host.UseTable = false;
  std::string out =
      e.Run({"~CODEP+", "int x; [:D]", "* item", "~CODEP-", "~codes+", "~CODES-", "after [:D]"});
  // After the block, text lines are paragraphs with inline commands again.
  EXPECT_EQ(out, kTable + "<TD WIDTH=10%><TD CLASS=\"CodeCell\"><P CLASS=\"CODE\">\r\n" +
                     "int x; [:D]\r\n<LI>item</LI></P></TD></TD>" + kTableEnd + kTable +
                     "<TD CLASS=\"CodeCell\"><P CLASS=\"CODE\">\r\n</P></TD>" + kTableEnd +
                     "<P>after <IMG SRC=\"pictures/laugh.gif\" ALIGN=\"BOTTOM\" BORDER=0></P>");
}

} // namespace
