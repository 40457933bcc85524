// The inline commands of text lines: emoticons, pictures, web links, tags and
// the warnings for commands that are not.
#include <gtest/gtest.h>

#include "engine_fixture.h"

namespace {

using engine_test::Engine;
using Log = std::vector<std::string>;

std::string Picture(const std::string& name) {
  return "<IMG SRC=\"pictures/" + name + "\" ALIGN=\"BOTTOM\" BORDER=0>";
}

// TEXT as the only line of a conversion, without the paragraph around it.
std::string Inline(Engine& e, const std::string& text) {
  const std::string out = e.Run({text});
  if (out.size() < 7 || out.compare(0, 3, "<P>") != 0 || out.compare(out.size() - 4, 4, "</P>"))
    return "not one paragraph: " + out;
  return out.substr(3, out.size() - 7);
}

TEST(Inline, Emoticons) {
  Engine e;
  EXPECT_EQ(Inline(e, "[:D][:d][:)][:;][:(][:O][:o]"),
            Picture("laugh.gif") + Picture("laugh.gif") + Picture("smile.gif") +
                Picture("wink.gif") + Picture("sad.gif") + Picture("surprised.gif") +
                Picture("surprised.gif"));
}

TEST(Inline, Pictures) {
  Engine e;
  EXPECT_EQ(Inline(e, "[:arrow]"), Picture("arrow.gif"));
  EXPECT_EQ(Inline(e, "[:photo.jpg]"), Picture("photo.jpg"));
  EXPECT_EQ(Inline(e, "[:]"), Picture(".gif"));
  EXPECT_EQ(Inline(e, "[:name.]"), Picture("name."));
  EXPECT_EQ(Inline(e, "[:a.b\\c]"), Picture("a.b\\c.gif"));
  EXPECT_EQ(Inline(e, "[:a.b:c]"), Picture("a.b:c.gif"));
  EXPECT_EQ(Inline(e, "[:a.b/c]"), Picture("a.b/c"));
  EXPECT_EQ(Inline(e, "[:DD]"), Picture("DD.gif"));
}

TEST(Inline, WebLinks) {
  Engine e;
  EXPECT_EQ(Inline(e, "[@www.x.org]"),
            "<A HREF=\"http://www.x.org\" TARGET=\"_blank\">www.x.org</A>");
  EXPECT_EQ(Inline(e, "[@ftp://x]"), "<A HREF=\"ftp://x\" TARGET=\"_blank\">ftp://x</A>");
  EXPECT_EQ(Inline(e, "[@x:8080]"), "<A HREF=\"x:8080\" TARGET=\"_blank\">x:8080</A>");
  EXPECT_EQ(Inline(e, "[@]"), "<A HREF=\"http://\" TARGET=\"_blank\"></A>");
}

TEST(Inline, InvalidCommandsStayVisible) {
  Engine e;
  EXPECT_EQ(Inline(e, "a [] b [xyz] c"), "a [] b [xyz] c");
  EXPECT_EQ(e.ContentLog(), (Log{"* Warning: empty inline command.",
                                 "* Warning: unknown inline command \"xyz\"."}));
}

TEST(Inline, NestedBracketsEndAtTheFirstClose) {
  Engine e;
  // "[[:D]" is the command "[:D" (unknown); then "[:D]" is a picture.
  EXPECT_EQ(Inline(e, "[[:D]]"), "[" + Picture("laugh.gif") + "]");
  EXPECT_EQ(e.ContentLog(), (Log{"* Warning: unknown inline command \"[:D\"."}));
}

TEST(Inline, Tags) {
  Engine e;
  EXPECT_EQ(Inline(e, "<B [:D]>x</B>"), "<B [:D]>x</B>");
  EXPECT_EQ(Inline(e, "a <b [:D] c"), "a <b [:D] c"); // no ">": the rest is copied
  EXPECT_EQ(Inline(e, "[:D]<B>"), Picture("laugh.gif") + "<B>");
  EXPECT_EQ(Inline(e, "x<"), "x<");
  EXPECT_EQ(Inline(e, "x["), "x[");
  EXPECT_EQ(Inline(e, "[ no close"), "[ no close");
  EXPECT_TRUE(e.ContentLog().empty());
}

TEST(Inline, VerbatimWhenSwitchedOffOrInCode) {
  Engine e;
  EXPECT_EQ(e.Run({"~P-", "[] [:D] <x", "~P+", "[:D]"}),
            "<P>[] [:D] <x</P><P>" + Picture("laugh.gif") + "</P>");
  EXPECT_TRUE(e.ContentLog().empty());
  e.host.UseTable = false;
  EXPECT_NE(e.Run({"~CODES+", "[] [:D] <x", "~CODES-"}).find("\r\n[] [:D] <x\r\n</P>"),
            std::string::npos);
  EXPECT_TRUE(e.ContentLog().empty());
}

TEST(Inline, EveryOpenBracketBeforeACloseStartsACommand) {
  Engine e;
  EXPECT_EQ(Inline(e, "[[[x]"), "[[[x]");
  EXPECT_EQ(e.ContentLog(), (Log{"* Warning: unknown inline command \"[[x\".",
                                 "* Warning: unknown inline command \"[x\".",
                                 "* Warning: unknown inline command \"x\"."}));
}

TEST(Inline, ManyOpenBracketsWithoutCloseStayLinear) {
  Engine e;
  const std::string text(2000000, '[');
  EXPECT_EQ(Inline(e, text), text);
  EXPECT_TRUE(e.ContentLog().empty());
}

} // namespace
