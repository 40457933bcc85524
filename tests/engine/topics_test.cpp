// The topic groups and the related/common-topics blocks.
#include <gtest/gtest.h>

#include "engine_fixture.h"
#include "lib/error.h"

namespace {

using engine_test::Engine;
using Log = std::vector<std::string>;

const std::string kTable = "<TABLE CELLSSPACING=0 CELLPADDING=5 BORDER=0 WIDTH=100%><TBODY><TR>";
const std::string kTableEnd = "</TR></TBODY></TABLE>";

std::string Link(const std::string& e) {
  std::string b = e;
  for (char& c : b)
    if (!isalnum(static_cast<unsigned char>(c)))
      c = '_';
  return "<A HREF=\"#GBM_" + b + "\">" + e + "</A>";
}

std::string One(const std::string& caption, const std::string& e, bool indent) {
  return kTable + (indent ? "<TD WIDTH=10%>" : "") + "<TD CLASS=\"CommonCell\">" +
         "<P STYLE=\"MARGIN-BOTTOM: 0\">" + caption + Link(e) + "</P></TD>" +
         (indent ? "</TD>" : "") + kTableEnd + "<BR>";
}

TEST(TopicGroups, ParagraphAndSectionBlocks) {
  Engine e;
  e.c.UseSectionSep = false;
  e.c.UseTableElem = true;
  const std::string out =
      e.Run({"~GS=fruit", "~S=Fruits", "~GP=apple|fruit", "text one", "text two", "~S=Next"});
  const std::string header = "<A NAME=\"HBM_Fruits\"></A>" + kTable +
                             "<TD CLASS=\"HeaderCell\"><H1>Fruits</H1></TD>" + kTableEnd + "<BR>";
  const std::string next = "<A NAME=\"HBM_Next\"></A>" + kTable +
                           "<TD CLASS=\"HeaderCell\"><H1>Next</H1></TD>" + kTableEnd + "<BR>";
  EXPECT_EQ(out, "<A NAME=\"GBM_fruit\"></A>" + header + "<A NAME=\"GBM_apple\"></A>" +
                     "<P>text one</P>" + One("See common topic: ", "fruit", true) +
                     "<P>text two</P>" + One("See related topic: ", "apple", false) + next);
  EXPECT_EQ(e.c.GlossaryLinkCount, 2);
  EXPECT_TRUE(e.ContentLog().empty());
}

TEST(TopicGroups, ParagraphGroupBeforeAHeaderIsCountedDownByIt) {
  Engine e;
  e.c.UseSectionSep = false;
  e.c.UseTableElem = false;
  const std::string out = e.Run({"~GS=fruit", "~GP=apple|fruit", "~S=T", "text"});
  // The header counts the paragraph group down to 1; its block comes right
  // before the paragraph of the first text line after the header.
  EXPECT_EQ(out, "<A NAME=\"GBM_fruit\"></A><A NAME=\"GBM_apple\"></A><A NAME=\"HBM_T\"></A>"
                 "<H1>T</H1><BR><P STYLE=\"MARGIN-BOTTOM: 0\">See common topic: " +
                     Link("fruit") + "</P><BR><P>text</P>");
}

TEST(TopicGroups, SectionGroupSpansDefinitionsUpToTheNextHeader) {
  Engine e;
  e.c.UseSectionSep = false;
  e.c.UseTableElem = false;
  const std::string out = e.Run(
      {"~GS=Zeta|Alpha", "~GS=beta|alpha", "~GS=alpha", "~S=T|gamma|alpha", "x", "~GS=delta"});
  EXPECT_EQ(out, "<A NAME=\"GBM_Zeta\"></A><A NAME=\"GBM_beta\"></A><A NAME=\"GBM_alpha\"></A>"
                 "<A NAME=\"GBM_gamma\"></A><A NAME=\"HBM_T\"></A><H1>T</H1><BR><P>x</P>"
                 "<P STYLE=\"MARGIN-BOTTOM: 0\">See related topics:</P><UL><LI>" +
                     Link("beta") + "</LI><LI>" + Link("gamma") + "</LI><LI>" + Link("Zeta") +
                     "</LI></UL><BR>"
                     "<P STYLE=\"MARGIN-BOTTOM: 0\">See common topic: " +
                     Link("alpha") + "</P><BR><A NAME=\"GBM_delta\"></A>");
  // Related: beta, gamma and Zeta name alpha (3); common: Zeta, beta and
  // gamma each count alpha (3), listed once.
  EXPECT_EQ(e.c.GlossaryLinkCount, 6);
}

TEST(TopicGroups, PendingGroupsAtTheEndAreNotWritten) {
  Engine e;
  e.c.UseSectionSep = false;
  e.c.UseTableElem = false;
  EXPECT_EQ(e.Run({"~GS=b|a", "~GS=a", "~S=T|t", "none"}),
            "<A NAME=\"GBM_b\"></A><A NAME=\"GBM_a\"></A><A NAME=\"GBM_t\"></A>"
            "<A NAME=\"HBM_T\"></A><H1>T</H1><BR><P>none</P>");
}

TEST(TopicGroups, PrettyListRepeatsTheSpacing) {
  Engine e;
  e.c.MakeCodePretty = true;
  e.c.UseTableElem = false;
  e.Run({"~GS=b|a", "~GS=c|a", "~GS=a"});
  TStringList group;
  group.Add("a");
  EXPECT_EQ(e.c.CreateRelatedTopicsList(group, true),
            "<P STYLE=\"MARGIN-BOTTOM: 0\">See related topics:</P><UL>\r\n\r\n<LI>" + Link("b") +
                "</LI>\r\n\r\n<LI>" + Link("c") + "</LI>\r\n\r\n</UL><BR>\r\n\r\n");
}

TEST(CreateRelatedTopicsList, MissingItemGivesNothing) {
  Engine e;
  e.Run({"~GS=b|a", "~GS=a"});
  const int before = e.c.GlossaryLinkCount;
  e.host.Log.clear();
  TStringList group;
  group.Add("A");
  group.Add("ghost");
  EXPECT_EQ(e.c.CreateRelatedTopicsList(group, false), "");
  EXPECT_EQ(e.host.Log, (Log{"* Warning: can't create list with related topics because the item "
                             "is not in the glossary."}));
  EXPECT_EQ(e.c.GlossaryLinkCount, before + 1); // b, counted before the warning
  EXPECT_EQ(FunStatContext.Status, fsPerfect);
}

TEST(CreateRelatedTopicsList, DuplicatesAndHiddenItems) {
  Engine e;
  e.c.UseTableElem = false;
  e.Run({"~GS=a|t", "~GS=B|t", "~GSH=b|t", "~GS=t", "~GS=c|u", "~GS=u"});
  TStringList group;
  group.Add("t");
  group.Add("T");
  group.Add("a");
  group.Add("b");
  const int before = e.c.GlossaryLinkCount;
  // Related of t (twice): a, B, b (hidden too), listed once each ignoring
  // case, the first one added staying. Common: a, b have t.
  EXPECT_EQ(e.c.CreateRelatedTopicsList(group, false),
            "<P STYLE=\"MARGIN-BOTTOM: 0\">See related topics:</P><UL><LI>" + Link("a") +
                "</LI><LI>" + Link("B") + "</LI></UL><BR>" +
                "<P STYLE=\"MARGIN-BOTTOM: 0\">See common topic: " + Link("t") + "</P><BR>");
  EXPECT_EQ(e.c.GlossaryLinkCount, before + 6 + 2);
}

TEST(MakeTopicsBlock, Shapes) {
  Engine e;
  TStringList list;
  EXPECT_EQ(e.c.MakeTopicsBlock(list, "S:", "O: ", false), "");
  list.Add("x y");
  EXPECT_EQ(e.c.MakeTopicsBlock(list, "S:", "O: ", true), One("O: ", "x y", true));
}

} // namespace

namespace {

using engine_test::Engine;

TEST(CreateRelatedTopicsList, FirstSpellingAddedStaysAndRepeatsCount) {
  Engine e;
  e.c.UseTableElem = false;
  // b|u sorts before B|t, but t comes first in the group: "B" stays.
  e.Run({"~GS=B|t", "~GS=b|u", "~GS=t", "~GS=u"});
  TStringList group;
  group.Add("t");
  group.Add("u");
  group.Add("t");
  const int before = e.c.GlossaryLinkCount;
  EXPECT_EQ(e.c.CreateRelatedTopicsList(group, false),
            "<P STYLE=\"MARGIN-BOTTOM: 0\">See related topic: <A HREF=\"#GBM_B\">B</A></P><BR>");
  EXPECT_EQ(e.c.GlossaryLinkCount, before + 3);
  group.Clear();
  group.Add("u");
  group.Add("t");
  EXPECT_EQ(e.c.CreateRelatedTopicsList(group, false),
            "<P STYLE=\"MARGIN-BOTTOM: 0\">See related topic: <A HREF=\"#GBM_b\">b</A></P><BR>");
}

} // namespace
