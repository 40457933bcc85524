// The line processor and the inline commands.
#include <gtest/gtest.h>

#include "engine_fixture.h"

namespace {

using engine_test::Engine;
using Log = std::vector<std::string>;

std::string Picture(const std::string& name) {
  return "<IMG SRC=\"pictures/" + name + "\" ALIGN=\"BOTTOM\" BORDER=0>";
}

TEST(Inline, Emoticons) {
  Engine e;
  EXPECT_EQ(e.c.ProcessInlineText("[:D][:d][:)][:;][:(][:O][:o]"),
            Picture("laugh.gif") + Picture("laugh.gif") + Picture("smile.gif") +
                Picture("wink.gif") + Picture("sad.gif") + Picture("surprised.gif") +
                Picture("surprised.gif"));
}

TEST(Inline, Pictures) {
  Engine e;
  EXPECT_EQ(e.c.ProcessInlineCommand(":arrow"), Picture("arrow.gif"));
  EXPECT_EQ(e.c.ProcessInlineCommand(":photo.jpg"), Picture("photo.jpg"));
  EXPECT_EQ(e.c.ProcessInlineCommand(":"), Picture(".gif"));
  EXPECT_EQ(e.c.ProcessInlineCommand(":name."), Picture("name."));
  EXPECT_EQ(e.c.ProcessInlineCommand(":a.b\\c"), Picture("a.b\\c.gif"));
  EXPECT_EQ(e.c.ProcessInlineCommand(":a.b:c"), Picture("a.b:c.gif"));
  EXPECT_EQ(e.c.ProcessInlineCommand(":a.b/c"), Picture("a.b/c"));
  EXPECT_EQ(e.c.ProcessInlineCommand(":DD"), Picture("DD.gif"));
}

TEST(Inline, WebLinks) {
  Engine e;
  EXPECT_EQ(e.c.ProcessInlineCommand("@www.x.org"),
            "<A HREF=\"http://www.x.org\" TARGET=\"_blank\">www.x.org</A>");
  EXPECT_EQ(e.c.ProcessInlineCommand("@ftp://x"),
            "<A HREF=\"ftp://x\" TARGET=\"_blank\">ftp://x</A>");
  EXPECT_EQ(e.c.ProcessInlineCommand("@x:8080"), "<A HREF=\"x:8080\" TARGET=\"_blank\">x:8080</A>");
  EXPECT_EQ(e.c.ProcessInlineCommand("@"), "<A HREF=\"http://\" TARGET=\"_blank\"></A>");
}

TEST(Inline, InvalidCommandsStayVisible) {
  Engine e;
  EXPECT_EQ(e.c.ProcessInlineText("a [] b [xyz] c"), "a [] b [xyz] c");
  EXPECT_EQ(e.host.Log, (Log{"* Warning: empty inline command.",
                             "* Warning: unknown inline command \"xyz\"."}));
}

TEST(Inline, NestedBracketsEndAtTheFirstClose) {
  Engine e;
  // "[[:D]" is the command "[:D" (unknown); then "[:D]" is a picture.
  EXPECT_EQ(e.c.ProcessInlineText("[[:D]]"), "[" + Picture("laugh.gif") + "]");
  EXPECT_EQ(e.host.Log, (Log{"* Warning: unknown inline command \"[:D\"."}));
}

TEST(Inline, Tags) {
  Engine e;
  EXPECT_EQ(e.c.ProcessInlineText("<B [:D]>x</B>"), "<B [:D]>x</B>");
  EXPECT_EQ(e.c.ProcessInlineText("a <b [:D] c"), "a <b [:D] c"); // no ">": the rest is copied
  EXPECT_EQ(e.c.ProcessInlineText("[:D]<B>"), Picture("laugh.gif") + "<B>");
  EXPECT_EQ(e.c.ProcessInlineText("x<"), "x<");
  EXPECT_EQ(e.c.ProcessInlineText("x["), "x[");
  EXPECT_EQ(e.c.ProcessInlineText("[ no close"), "[ no close");
  EXPECT_TRUE(e.host.Log.empty());
}

TEST(Inline, VerbatimWhenSwitchedOffOrInCode) {
  Engine e;
  e.c.ProcessInline = false;
  EXPECT_EQ(e.c.ProcessInlineText("[] [:D] <x"), "[] [:D] <x");
  e.c.ProcessInline = true;
  e.c.InCodeBlock = true;
  EXPECT_EQ(e.c.ProcessInlineText("[] [:D] <x"), "[] [:D] <x");
  EXPECT_TRUE(e.host.Log.empty());
}

TEST(Inline, EveryOpenBracketBeforeACloseStartsACommand) {
  Engine e;
  EXPECT_EQ(e.c.ProcessInlineText("[[[x]"), "[[[x]");
  EXPECT_EQ(e.host.Log, (Log{"* Warning: unknown inline command \"[[x\".",
                             "* Warning: unknown inline command \"[x\".",
                             "* Warning: unknown inline command \"x\"."}));
}

TEST(Inline, ManyOpenBracketsWithoutCloseStayLinear) {
  Engine e;
  const std::string text(2000000, '[');
  EXPECT_EQ(e.c.ProcessInlineText(text), text);
  EXPECT_TRUE(e.host.Log.empty());
}

} // namespace
