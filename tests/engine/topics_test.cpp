// The topic groups and the related/common-topics blocks.
#include <gtest/gtest.h>

#include "engine/html.h"
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
  e.host.UseSectionSep = false;
  e.host.UseTable = true;
  const std::string out =
      e.Run({"~GS=fruit", "~S=Fruits", "~GP=apple|fruit", "text one", "text two", "~S=Next"});
  const std::string header = "<A NAME=\"HBM_Fruits\"></A>" + kTable +
                             "<TD CLASS=\"HeaderCell\"><H1>Fruits</H1></TD>" + kTableEnd + "<BR>";
  const std::string next = "<A NAME=\"HBM_Next\"></A>" + kTable +
                           "<TD CLASS=\"HeaderCell\"><H1>Next</H1></TD>" + kTableEnd + "<BR>";
  EXPECT_EQ(out, "<A NAME=\"GBM_fruit\"></A>" + header + "<A NAME=\"GBM_apple\"></A>" +
                     "<P>text one</P>" + One("See common topic: ", "fruit", true) +
                     "<P>text two</P>" + One("See related topic: ", "apple", false) + next);
  EXPECT_EQ(e.Last().GlossaryLinkCount(), 2);
  EXPECT_TRUE(e.ContentLog().empty());
}

TEST(TopicGroups, ParagraphGroupBeforeAHeaderIsCountedDownByIt) {
  Engine e;
  e.host.UseSectionSep = false;
  e.host.UseTable = false;
  const std::string out = e.Run({"~GS=fruit", "~GP=apple|fruit", "~S=T", "text"});
  // The header counts the paragraph group down to 1; its block comes right
  // before the paragraph of the first text line after the header.
  EXPECT_EQ(out, "<A NAME=\"GBM_fruit\"></A><A NAME=\"GBM_apple\"></A><A NAME=\"HBM_T\"></A>"
                 "<H1>T</H1><BR><P STYLE=\"MARGIN-BOTTOM: 0\">See common topic: " +
                     Link("fruit") + "</P><BR><P>text</P>");
}

TEST(TopicGroups, SectionGroupSpansDefinitionsUpToTheNextHeader) {
  Engine e;
  e.host.UseSectionSep = false;
  e.host.UseTable = false;
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
  EXPECT_EQ(e.Last().GlossaryLinkCount(), 6);
}

TEST(TopicGroups, PendingGroupsAtTheEndAreNotWritten) {
  Engine e;
  e.host.UseSectionSep = false;
  e.host.UseTable = false;
  EXPECT_EQ(e.Run({"~GS=b|a", "~GS=a", "~S=T|t", "none"}),
            "<A NAME=\"GBM_b\"></A><A NAME=\"GBM_a\"></A><A NAME=\"GBM_t\"></A>"
            "<A NAME=\"HBM_T\"></A><H1>T</H1><BR><P>none</P>");
}

TEST(TopicGroups, PrettyListRepeatsTheSpacing) {
  PageSink out;
  const std::string_view entries[] = {"b", "c"};
  html::TopicsBlock(out, {true, false}, entries, 2, true, true);
  EXPECT_EQ(out.View(), "<P STYLE=\"MARGIN-BOTTOM: 0\">See related topics:</P><UL>\r\n\r\n<LI>" +
                            Link("b") + "</LI>\r\n\r\n<LI>" + Link("c") +
                            "</LI>\r\n\r\n</UL><BR>\r\n\r\n");
}

// A group of definitions closed by two headers: the lines that come before
// MARKER, then the group, then "~S=Z" and "~S=W" (at which the group's
// topics are written). Returns the content from the marker on, and the links
// counted from the marker on (from a run without "~S=W", where the group
// stays open and nothing is written for it).
struct ClosedGroup {
  std::string Content;
  int Links = 0;
  std::vector<std::string> Log; // content-pass lines about the marker's line and later
};

ClosedGroup CloseGroup(Engine& e, std::vector<std::string> before,
                       const std::vector<std::string>& group) {
  const std::string marker = "<!--group-->";
  before.push_back("~IF=" + marker);
  before.insert(before.end(), group.begin(), group.end());
  before.push_back("~S=Z");
  Engine open;
  open.host = e.host;
  open.Run(before);
  before.push_back("~S=W");
  const std::string content = e.Run(before);
  ClosedGroup closed;
  closed.Content = content.substr(content.find(marker) + marker.size());
  closed.Links = e.Last().GlossaryLinkCount() - open.Last().GlossaryLinkCount();
  const int markerLine = static_cast<int>(before.size() - group.size() - 2);
  bool contentPass = false;
  for (std::size_t i = 0; i < e.host.Log.size(); ++i) {
    if (contentPass && e.host.LogSourceLines[i] > markerLine)
      closed.Log.push_back(e.host.Log[i]);
    contentPass = contentPass || e.host.Log[i] == "* Processing content...";
  }
  return closed;
}

const std::string kZW = "<A NAME=\"HBM_Z\"></A><H1>Z</H1><BR>";
const std::string kW = "<A NAME=\"HBM_W\"></A><H1>W</H1><BR>";

TEST(CreateRelatedTopicsList, MissingItemGivesNothing) {
  // A group entry that is not in the glossary: only a full glossary leaves
  // one (the collection pass could not add "ghost").
  Engine e(false);
  e.host.UseTable = false;
  e.host.UseSectionSep = false;
  std::vector<std::string> before = {"~GS=b|a", "~GS=a", "~S=X", "~S=Y"};
  for (int i = 0; i < Glossary::kMaxItems - 2; ++i)
    before.push_back("~GP=item" + std::to_string(i));
  before.push_back("~BP"); // the paragraph group closes with the next text line: none
  before.push_back("~S=X2");
  before.push_back("~S=Y2");
  const ClosedGroup closed = CloseGroup(e, before, {"~GS=A", "~GS=ghost"});
  EXPECT_EQ(e.Items().Count(), Glossary::kMaxItems);
  EXPECT_EQ(closed.Content, "<A NAME=\"GBM_A\"></A><A NAME=\"GBM_ghost\"></A>" + kZW + kW);
  EXPECT_EQ(closed.Log, (Log{"* Warning: can't create list with related topics because the item "
                             "is not in the glossary."}));
  EXPECT_EQ(closed.Links, 1); // b, counted before the warning
  EXPECT_EQ(FunStatContext.Status, fsPerfect);
}

TEST(CreateRelatedTopicsList, DuplicatesAndHiddenItems) {
  Engine e;
  e.host.UseTable = false;
  e.host.UseSectionSep = false;
  const ClosedGroup closed = CloseGroup(e, {"~GS=B|t", "~GS=c|u", "~GS=u", "~S=X", "~S=Y"},
                                        {"~GS=t", "~GS=T", "~GS=a|t", "~GSH=b|t"});
  // Related of t (twice): a, B, b (hidden too), listed once each ignoring
  // case, the first one added staying. Common: a, b have t.
  EXPECT_EQ(closed.Content,
            "<A NAME=\"GBM_t\"></A><A NAME=\"GBM_T\"></A><A NAME=\"GBM_a\"></A><A "
            "NAME=\"GBM_b\"></A>" +
                kZW + "<P STYLE=\"MARGIN-BOTTOM: 0\">See related topics:</P><UL><LI>" + Link("a") +
                "</LI><LI>" + Link("B") + "</LI></UL><BR>" +
                "<P STYLE=\"MARGIN-BOTTOM: 0\">See common topic: " + Link("t") + "</P><BR>" + kW);
  EXPECT_EQ(closed.Links, 6 + 2);
}

TEST(MakeTopicsBlock, Shapes) {
  PageSink none;
  html::TopicsBlock(none, {}, nullptr, 0, false, false);
  EXPECT_EQ(none.View(), "");
  PageSink one;
  const std::string_view entries[] = {"x y"};
  html::TopicsBlock(one, {}, entries, 1, false, true);
  EXPECT_EQ(one.View(), One("See common topic: ", "x y", true));
}

TEST(CreateRelatedTopicsList, FirstSpellingAddedStaysAndRepeatsCount) {
  Engine e;
  e.host.UseTable = false;
  e.host.UseSectionSep = false;
  const std::vector<std::string> before = {"~GS=B|t", "~GS=b|u", "~S=X", "~S=Y"};
  // B|t sorts before b|u, and t comes first in the group: "B" stays.
  ClosedGroup closed = CloseGroup(e, before, {"~GS=t", "~GS=u", "~GS=t"});
  EXPECT_EQ(
      closed.Content,
      "<A NAME=\"GBM_t\"></A><A NAME=\"GBM_u\"></A><A NAME=\"GBM_t\"></A>" + kZW +
          "<P STYLE=\"MARGIN-BOTTOM: 0\">See related topic: <A HREF=\"#GBM_B\">B</A></P><BR>" + kW);
  EXPECT_EQ(closed.Links, 3);
  // With u first, "b" stays.
  closed = CloseGroup(e, before, {"~GS=u", "~GS=t"});
  EXPECT_EQ(
      closed.Content,
      "<A NAME=\"GBM_u\"></A><A NAME=\"GBM_t\"></A>" + kZW +
          "<P STYLE=\"MARGIN-BOTTOM: 0\">See related topic: <A HREF=\"#GBM_b\">b</A></P><BR>" + kW);
}

} // namespace
