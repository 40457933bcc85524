// Glossary linking in the text, also checked against the
// position-by-position algorithm as written.
#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>

#include "engine_fixture.h"
#include "lib/text.h"

namespace {

using engine_test::Engine;

std::string Link(const std::string& shown, const std::string& bookmark) {
  return "<A HREF=\"#GBM_" + bookmark + "\">" + shown + "</A>";
}

TEST(Linking, LongestExpressionWinsAndOncePerLine) {
  Engine e;
  const std::string out = e.Run(
      {"~GS=oak", "~GS=oak leaf", "~S=Trees", "~S=Other", "Oak Leaf and oak, oak leaf", "oak"});
  EXPECT_NE(out.find("<P>" + Link("Oak Leaf", "oak_leaf") + " and " + Link("oak", "oak") +
                     ", oak leaf</P><P>" + Link("oak", "oak") + "</P>"),
            std::string::npos)
      << out;
  EXPECT_EQ(e.Last().GlossaryLinkCount(), 3);
}

TEST(Linking, WordBoundaryAndAcronyms) {
  Engine e;
  const std::string out = e.Run(
      {"~GS=cat", "~GS=HTML", "~GS=is", "~S=A", "~S=B", "bobcat category", "html XHTML thIs this"});
  EXPECT_NE(out.find("<P>bobcat " + Link("cat", "cat") + "egory</P><P>html X" +
                     Link("HTML", "HTML") + " thIs th" + Link("is", "is") + "</P>"),
            std::string::npos)
      << out;
}

TEST(Linking, DefinitionsInsideTheirOwnSectionOrParagraph) {
  Engine e;
  e.host.UseTable = false;
  e.host.UseSectionSep = false;
  const std::string out = e.Run({"~GS=oak", "~S=Oaks", "an oak, an oak", "~GP=elm", "elm and oak"});
  EXPECT_NE(out.find("<P>an <DFN>oak</DFN>, an oak</P>"), std::string::npos) << out;
  EXPECT_NE(out.find("<P><DFN>elm</DFN> and <DFN>oak</DFN></P>"), std::string::npos) << out;
  EXPECT_EQ(e.Last().GlossaryLinkCount(), 0);
}

TEST(Linking, ParagraphCommandsKeepTheFlagsOfTheLastTextLine) {
  Engine e;
  e.host.UseTable = false;
  const std::string out = e.Run({"~GS=oak", "~S=A", "~S=B", "oak", "~NOTES=oak", "~MIS=oak"});
  EXPECT_NE(
      out.find(
          "<P>" + Link("oak", "oak") +
          "</P><P STYLE=\"MARGIN-BOTTOM: 0\">oak</P><BR>"
          "<P STYLE=\"MARGIN-BOTTOM: 0\">For more information on this subject go to: oak.</P><BR>"),
      std::string::npos)
      << out;
}

TEST(Linking, EWTextIsWrappedEverywhere) {
  Engine e;
  e.host.UseTable = false;
  const std::string out = e.Run({"~GS=ab", "~EW=Key", "~S=A", "~S=B", "Keys Key ab monKey key"});
  EXPECT_NE(out.find("<P><DFN CLASS=\"EW\">Key</DFN>s <DFN CLASS=\"EW\">Key</DFN> " +
                     Link("ab", "ab") + " mon<DFN CLASS=\"EW\">Key</DFN> key</P>"),
            std::string::npos)
      << out;
}

TEST(Linking, FastConversionLinksNothing) {
  Engine e(false);
  const std::string out = e.Run({"~GS=oak", "~EW=Key", "~S=A", "~S=B", "oak Key [:D]"});
  EXPECT_NE(out.find("<P>oak Key <IMG"), std::string::npos) << out;
  EXPECT_EQ(e.Last().GlossaryLinkCount(), 0);
}

TEST(Linking, TagsAndCommandOutputAreNotSearched) {
  Engine e;
  const std::string out = e.Run({"~GS=oak", "~GS=gif", "~S=A", "~S=B", "<I oak>oak</I>[:oak]"});
  EXPECT_NE(out.find("<P><I oak>" + Link("oak", "oak") +
                     "</I><IMG SRC=\"pictures/oak.gif\" ALIGN=\"BOTTOM\" BORDER=0></P>"),
            std::string::npos)
      << out;
}

// --- the algorithm as written --------------------------------------------------------

// The glossary step as written: every expression tried longest first (a
// stable sort of the finished glossary), section-group membership by a linear
// search, a mark per entry that the next text line clears. Inline commands
// are only those the generated lines hold: "[:D]" and the unknown "[x]".
class AsWritten {
public:
  AsWritten(const Glossary& g, std::vector<std::string> section, std::string ew)
      : g_(g), section_(std::move(section)), ew_(std::move(ew)) {
    item_.resize(static_cast<std::size_t>(g.Count()));
    std::iota(item_.begin(), item_.end(), 0);
    std::stable_sort(item_.begin(), item_.end(),
                     [&](int a, int b) { return g.Expression(a).size() > g.Expression(b).size(); });
  }

  std::string Line(const std::string& text, int& links) {
    std::vector<bool> linked(item_.size(), false);
    std::string out;
    std::size_t p = 0;
    const std::size_t n = text.size();
    while (p < n) {
      if (text[p] == '<' && p + 1 < n) {
        std::size_t end = text.find('>', p + 1);
        if (end == std::string::npos)
          end = n - 1;
        out += text.substr(p, end - p + 1);
        p = end + 1;
        continue;
      }
      if (text[p] == '[' && p + 1 < n) {
        const std::size_t close = text.find(']', p + 1);
        if (close != std::string::npos) {
          if (text.compare(p + 1, close - p - 1, ":D") == 0) {
            out += "<IMG SRC=\"pictures/laugh.gif\" ALIGN=\"BOTTOM\" BORDER=0>";
            p = close + 1;
          } else {
            out += '[';
            ++p;
          }
          continue;
        }
      }
      if (std::size_t used = Step(text, p, out, links, linked)) {
        p += used;
        continue;
      }
      out += text[p++];
    }
    return out;
  }

private:
  std::size_t Step(const std::string& text, std::size_t p, std::string& out, int& links,
                   std::vector<bool>& linked) {
    for (int item : item_) {
      const std::string e(g_.Expression(item));
      if (e.size() > text.size() - p)
        continue;
      const std::string m = text.substr(p, e.size());
      const bool matches =
          IsAcronym(e)
              ? m == e
              : SameText(m, e) && (p == 0 || !IsWordChar(static_cast<unsigned char>(text[p - 1])));
      if (!matches)
        continue;
      const auto at = static_cast<std::size_t>(item);
      const bool defined = std::any_of(section_.begin(), section_.end(),
                                       [&](const std::string& s) { return SameText(s, e); });
      if (linked[at]) {
        out += m;
      } else if (defined) {
        out += "<DFN>" + m + "</DFN>";
        linked[at] = true;
      } else {
        std::string b = e;
        MakeIdentifier(b);
        out += "<A HREF=\"#GBM_" + b + "\">" + m + "</A>";
        ++links;
        linked[at] = true;
      }
      return e.size();
    }
    if (!ew_.empty() && text.size() - p >= ew_.size() && text.compare(p, ew_.size(), ew_) == 0) {
      out += "<DFN CLASS=\"EW\">" + ew_ + "</DFN>";
      return ew_.size();
    }
    return 0;
  }

  const Glossary& g_;
  std::vector<int> item_;
  std::vector<std::string> section_;
  std::string ew_;
};

TEST(Linking, AgreesWithTheAlgorithmAsWritten) {
  const std::vector<std::string> words = {"oak",  "Oak", "OAK",   "oak leaf", "leaf",
                                          "HTML", "is",  "cat",   "CDs",      "c",
                                          "a b",  "ab",  "x-ray", "Ray",      "_id"};
  const std::string marker = "<!--text-->";
  for (unsigned seed = 1; seed <= 30; ++seed) {
    std::mt19937 rng(seed);
    auto pick = [&](std::size_t n) {
      return std::uniform_int_distribution<std::size_t>(0, n - 1)(rng);
    };
    std::vector<std::string> lines;
    for (int i = 0; i < 25; ++i) {
      const std::string& e = words[pick(words.size())];
      lines.push_back((pick(2) ? "~GS=" : "~GP=") + e +
                      (pick(3) == 0 ? "|" + words[pick(words.size())] : ""));
    }
    lines.push_back("~EW=ea");
    // Two headers close the groups of the definitions above; then a few
    // definitions make the section group that the text lines see (it stays
    // open to the end, so no topics block follows the text).
    lines.push_back("~S=A");
    lines.push_back("~S=B");
    std::vector<std::string> section;
    for (int i = 0; i < 3; ++i) {
      section.push_back(words[pick(words.size())]);
      lines.push_back("~GS=" + section.back());
    }
    lines.push_back("~IF=" + marker);
    // The same lines without text: the links made before the marker.
    Engine before;
    before.Run(lines);
    const int linksBefore = before.Last().GlossaryLinkCount();

    std::vector<std::string> texts;
    for (int line = 0; line < 30; ++line) {
      std::string text;
      for (int w = 0; w < 12; ++w) {
        static const char* glue[] = {" ", "", "-", "_", "1", "<b>", "[:D]", "[x]", "\xE9", "e"};
        text += pick(4) ? words[pick(words.size())] : std::string("t");
        text += glue[pick(10)];
      }
      texts.push_back(text);
      lines.push_back(text);
    }
    Engine e;
    const std::string content = e.Run(lines);
    const std::size_t at = content.find(marker);
    ASSERT_NE(at, std::string::npos);
    ASSERT_EQ(content.substr(0, at), before.Content().substr(0, at));

    AsWritten model(e.Items(), section, "ea");
    int links = linksBefore;
    std::string expected;
    for (const std::string& text : texts)
      expected += "<P>" + model.Line(text, links) + "</P>";
    ASSERT_EQ(content.substr(at + marker.size()), expected) << "seed " << seed;
    ASSERT_EQ(e.Last().GlossaryLinkCount(), links) << "seed " << seed;
  }
}

} // namespace
