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
  EXPECT_EQ(e.c.GlossaryLinkCount, 3);
}

TEST(Linking, WordBoundaryAndAcronyms) {
  Engine e;
  e.Run({"~GS=cat", "~GS=HTML", "~GS=is", "~S=A", "~S=B"});
  EXPECT_EQ(e.c.ProcessInlineText("bobcat category"), "bobcat " + Link("cat", "cat") + "egory");
  e.c.SetLinkedFlag(0, false);
  e.c.SetLinkedFlag(1, false);
  e.c.SetLinkedFlag(2, false);
  EXPECT_EQ(e.c.ProcessInlineText("html XHTML thIs this"),
            "html X" + Link("HTML", "HTML") + " thIs th" + Link("is", "is"));
}

TEST(Linking, DefinitionsInsideTheirOwnSectionOrParagraph) {
  Engine e;
  e.c.UseTableElem = false;
  e.c.UseSectionSep = false;
  const std::string out = e.Run({"~GS=oak", "~S=Oaks", "an oak, an oak", "~GP=elm", "elm and oak"});
  EXPECT_NE(out.find("<P>an <DFN>oak</DFN>, an oak</P>"), std::string::npos) << out;
  EXPECT_NE(out.find("<P><DFN>elm</DFN> and <DFN>oak</DFN></P>"), std::string::npos) << out;
  EXPECT_EQ(e.c.GlossaryLinkCount, 0);
}

TEST(Linking, ParagraphCommandsKeepTheFlagsOfTheLastTextLine) {
  Engine e;
  e.c.UseTableElem = false;
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
  e.c.UseTableElem = false;
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
  EXPECT_EQ(e.c.GlossaryLinkCount, 0);
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

// ProcessInlineText with the glossary step step: every
// expression tried in GlossaryItemsByLength order, group membership by
// linear search, the LinkedFlag of each item read through the converter.
class AsWritten {
public:
  explicit AsWritten(TConverter& c) : c_(c) {
    const int count = c.GlossaryItems->Count();
    item_.resize(static_cast<std::size_t>(count));
    std::iota(item_.begin(), item_.end(), 0);
    std::stable_sort(item_.begin(), item_.end(), [&](int a, int b) {
      return c.GlossaryItems->Get(a).size() > c.GlossaryItems->Get(b).size();
    });
  }

  std::string Line(const std::string& text, int& links, std::vector<bool>& linked) {
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
          const std::string html = c_.ProcessInlineCommand(text.substr(p + 1, close - p - 1));
          if (!html.empty()) {
            out += html;
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
    const TStringList& byLength = *c_.GlossaryItemsByLength;
    for (int k = 0; k < byLength.Count(); ++k) {
      const std::string& e = byLength.Get(k);
      if (e.size() > text.size() - p)
        continue;
      const std::string m = text.substr(p, e.size());
      const bool matches =
          IsAcronym(e)
              ? m == e
              : SameText(m, e) && (p == 0 || !IsWordChar(static_cast<unsigned char>(text[p - 1])));
      if (!matches)
        continue;
      const auto item = static_cast<std::size_t>(item_[static_cast<std::size_t>(k)]);
      if (linked[item]) {
        out += m;
      } else if (c_.SectionDefinedItems->IndexOf(e) >= 0 ||
                 c_.ParagraphDefinedItems->IndexOf(e) >= 0) {
        out += "<DFN>" + m + "</DFN>";
        linked[item] = true;
      } else {
        std::string b = e;
        MakeIdentifier(b);
        out += "<A HREF=\"#GBM_" + b + "\">" + m + "</A>";
        ++links;
        linked[item] = true;
      }
      return e.size();
    }
    const std::string& ew = c_.EWText;
    if (!ew.empty() && text.size() - p >= ew.size() && text.compare(p, ew.size(), ew) == 0) {
      out += "<DFN CLASS=\"EW\">" + ew + "</DFN>";
      return ew.size();
    }
    return 0;
  }

  TConverter& c_;
  std::vector<int> item_;
};

TEST(Linking, AgreesWithTheAlgorithmAsWritten) {
  const std::vector<std::string> words = {"oak",  "Oak", "OAK",   "oak leaf", "leaf",
                                          "HTML", "is",  "cat",   "CDs",      "c",
                                          "a b",  "ab",  "x-ray", "Ray",      "_id"};
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
    Engine e;
    e.Run(lines);
    // More definitions in both groups.
    for (int i = 0; i < 3; ++i) {
      e.c.EnterSectionTopic(words[pick(words.size())]);
      e.c.EnterParagraphTopic(words[pick(words.size())]);
    }
    AsWritten model(e.c);
    const int count = e.c.GlossaryItems->Count();
    std::vector<bool> linked(static_cast<std::size_t>(count), false);
    int links = e.c.GlossaryLinkCount;
    for (int line = 0; line < 30; ++line) {
      std::string text;
      for (int w = 0; w < 12; ++w) {
        static const char* glue[] = {" ", "", "-", "_", "1", "<b>", "[:D]", "[x]", "\xE9", "e"};
        text += pick(4) ? words[pick(words.size())] : std::string("t");
        text += glue[pick(10)];
      }
      if (pick(3) == 0) { // a new text line clears every flag
        for (int k = 0; k < count; ++k)
          e.c.SetLinkedFlag(k, false);
        std::fill(linked.begin(), linked.end(), false);
      }
      const std::string expected = model.Line(text, links, linked);
      ASSERT_EQ(e.c.ProcessInlineText(text), expected) << "seed " << seed << ": " << text;
      ASSERT_EQ(e.c.GlossaryLinkCount, links);
      for (int k = 0; k < count; ++k)
        ASSERT_EQ(e.c.GetLinkedFlag(k), linked[static_cast<std::size_t>(k)]);
    }
  }
}

} // namespace
