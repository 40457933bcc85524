// The packed word of a glossary entry (common topic and hidden flag), and the
// per-line "already linked" state of the glossary step.
#include <gtest/gtest.h>

#include "engine_fixture.h"

namespace {

using engine_test::Engine;

std::string Link(const std::string& e) {
  return "<A HREF=\"#GBM_" + e + "\">" + e + "</A>";
}

TEST(PackedWord, ReferenceAndHiddenShareTheWord) {
  Engine e;
  e.Run({"~GSH=a|b", "~GS=b", "~GSH=c", "~GS=d|b"});
  const Glossary& g = e.Items();
  ASSERT_EQ(g.Count(), 4);
  ASSERT_EQ(g.Expression(0), "a");
  ASSERT_EQ(g.Expression(1), "b");
  // a: hidden, common topic b.
  EXPECT_EQ(g.Reference(0), 1);
  EXPECT_TRUE(g.Hidden(0));
  EXPECT_EQ(g.PackedWord(0), (1u << 17) | 1u);
  // b: neither.
  EXPECT_EQ(g.Reference(1), -1);
  EXPECT_FALSE(g.Hidden(1));
  EXPECT_EQ(g.PackedWord(1), 0xFFFFu);
  // c: hidden without a common topic.
  EXPECT_EQ(g.Reference(2), -1);
  EXPECT_TRUE(g.Hidden(2));
  EXPECT_EQ(g.PackedWord(2), (1u << 17) | 0xFFFFu);
  // d: a common topic, not hidden.
  EXPECT_EQ(g.PackedWord(3), 1u);
  EXPECT_FALSE(g.Hidden(3));
}

TEST(PackedWord, LinkedIsPerEntry) {
  Engine e;
  e.host.UseTable = false;
  const std::string out =
      e.Run({"~GS=apple", "~GSH=pear", "~S=A", "~S=B", "apple pear apple pear"});
  // Each entry is linked once in the line, a hidden one too.
  EXPECT_NE(out.find("<P>" + Link("apple") + " " + Link("pear") + " apple pear</P>"),
            std::string::npos)
      << out;
  EXPECT_EQ(e.Last().GlossaryLinkCount(), 2);
}

TEST(PackedWord, TextLinesClearEveryLinkedFlag) {
  Engine e;
  e.host.UseTable = false;
  const std::string out = e.Run({"~GS=apple", "~GS=pear", "~S=A", "~S=B", "apple", "pear apple"});
  // The first text line marked apple; the second cleared every mark, so
  // apple is linked again.
  EXPECT_NE(
      out.find("<P>" + Link("apple") + "</P><P>" + Link("pear") + " " + Link("apple") + "</P>"),
      std::string::npos)
      << out;
}

TEST(PackedWord, FlagsSetByALineStayUntilTheNextTextLine) {
  Engine e;
  e.host.UseTable = false;
  const std::string out =
      e.Run({"~GS=apple", "~S=A", "~S=B", "apple pie", "~S=T", "~NOTES=apple", "apple"});
  // The header and the note come before the next text line: apple stays plain.
  EXPECT_NE(out.find("<P STYLE=\"MARGIN-BOTTOM: 0\">apple</P><BR><P>" + Link("apple") + "</P>"),
            std::string::npos)
      << out;
}

TEST(PackedWord, OutOfRangeIndexThrows) {
  Engine e;
  e.Run({"~GS=a"});
  EXPECT_NO_THROW(e.Items().PackedWord(0));
  EXPECT_ANY_THROW(e.Items().PackedWord(1));
  EXPECT_ANY_THROW(e.Items().Reference(3));
  EXPECT_ANY_THROW(e.Items().Hidden(-1));
}

} // namespace
