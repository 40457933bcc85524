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
  EXPECT_EQ(e.c.HeaderCount, 5);
  EXPECT_EQ(e.c.MaxOutlineLevel, 2);
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
  e.Run(lines);
  EXPECT_EQ(e.c.HeaderCount, 10);
  EXPECT_EQ(e.c.OutlineLevel, 9);
  const std::string content = e.Content();
  const std::string anchor = "<A NAME=\"GBM_e\"></A>";
  EXPECT_EQ(content.substr(content.size() - anchor.size()), anchor);
  EXPECT_EQ(e.ContentLog(), (Log{"* Warning: too many header outline levels \"~S+=T|e\"."}));
  EXPECT_EQ(e.c.SectionDefinedItems->Count(), 1);
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
  EXPECT_EQ(e.c.GlossaryItems->Count(), 0);
}

TEST(ProcessLine, GlossaryRegistration) {
  Engine e;
  e.Run({"~GS=oak", "~GS=Oak", "~GS=elm|tree", "~GS=elm|wood", "~GSH=sapling", "~GS=ash|tree|x",
         "~GP=beech|", "~S=Oaks|oak", "~S=Intro", "~S=Start|begin|initial", "~Title=x|y",
         "~S=Same|"});
  EXPECT_EQ(e.CollectionLog(),
            (Log{"* Warning: duplicate glossary item \"~GS=Oak\". Can't add item.",
                 "* Warning: duplicate glossary item \"~S=Oaks|oak\". Can't add item."}));
  std::vector<std::string> items;
  for (int i = 0; i < e.c.GlossaryItems->Count(); ++i)
    items.push_back(e.c.GlossaryItems->Get(i));
  EXPECT_EQ(items, (std::vector<std::string>{"ash", "beech", "begin", "elm", "elm", "oak", "Same",
                                             "sapling"}));
  auto ref = [&](int i) {
    int r = e.c.GetReferenceIndex(i);
    return r < 0 ? std::string("-") : e.c.GlossaryItems->Get(r);
  };
  EXPECT_EQ(ref(0), "-");     // tree is no item
  EXPECT_EQ(ref(1), "beech"); // "~GP=beech|": its own common topic
  EXPECT_EQ(ref(2), "-");     // initial is no item
  EXPECT_EQ(ref(5), "-");
  EXPECT_TRUE(e.c.GetHiddenFlag(7));
  EXPECT_FALSE(e.c.GetHiddenFlag(6));
}

TEST(ProcessLine, GlossaryLimit) {
  Engine e(false);
  std::vector<std::string> lines;
  for (int i = 0; i < 65536; ++i)
    lines.push_back("~GS=item" + std::to_string(i));
  lines.push_back("~GS=item0"); // the limit is reported, not the duplicate
  e.Run(lines);
  EXPECT_EQ(e.c.GlossaryItems->Count(), 65535);
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

  Engine off;
  off.host.UseProjectOptions = false;
  off.Run({"~PO_UseTableElem=no", "~PO_MakeCodePretty=TRUE"});
  EXPECT_TRUE(off.c.UseTableElem);
  EXPECT_FALSE(off.c.MakeCodePretty);
  EXPECT_TRUE(off.ContentLog().empty());
}

TEST(ProcessLine, ProjectOptionCheckBoxIsReadPerLine) {
  int reads = 0;
  struct Host : testing_support::RecordingHost {
    int* reads;
    bool UseProjectOptionsChecked() override { return ++*reads == 2; }
  } host;
  host.reads = &reads;
  TConverter c(host);
  c.GlossaryItems = std::make_unique<TStringList>();
  c.UseTableElem = true;
  c.ProcessLine("~PO_UseTableElem=no", false); // box unchecked at this line
  EXPECT_TRUE(c.UseTableElem);
  c.ProcessLine("~PO_UseTableElem=no", false); // checked now
  EXPECT_FALSE(c.UseTableElem);
  EXPECT_EQ(reads, 2);
}

TEST(ProcessLine, ParameterCommandsUseOnlyTheFirstField) {
  Engine e(false);
  e.c.UseTableElem = false;
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
  EXPECT_EQ(e.c.EWText, "word");
  EXPECT_TRUE(e.ContentLog().empty());
}

TEST(ProcessLine, CodeBlocks) {
  Engine e;
  e.c.UseTableElem = false;
  std::string out = e.Run({"~CODEP+", "int x; [:D]", "* item", "~CODEP-", "~codes+", "~CODES-"});
  EXPECT_EQ(out, kTable + "<TD WIDTH=10%><TD CLASS=\"CodeCell\"><P CLASS=\"CODE\">\r\n" +
                     "int x; [:D]\r\n<LI>item</LI></P></TD></TD>" + kTableEnd + kTable +
                     "<TD CLASS=\"CodeCell\"><P CLASS=\"CODE\">\r\n</P></TD>" + kTableEnd);
  EXPECT_FALSE(e.c.InCodeBlock);
}

} // namespace
