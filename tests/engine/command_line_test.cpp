// Reading a command line: the name, the fields and the malformed forms.
#include <gtest/gtest.h>

#include "engine/command_line.h"
#include "engine/converter.h"

namespace {

struct Fields {
  CommandFields::Form Kind;
  std::string F1, F2, F3;
};

Fields Split(const std::string& line) {
  CommandFields c = SplitCommandLine(line);
  return {c.Kind, c.F1, c.F2, c.F3};
}

TEST(SplitCommandLine, SpecExamples) {
  Fields f = Split("~S=Intro");
  EXPECT_EQ(f.Kind, CommandFields::Parameter);
  EXPECT_EQ(f.F1, "Intro");
  EXPECT_EQ(f.F2, "");
  EXPECT_EQ(f.F3, "");

  f = Split("~S=Intro|");
  EXPECT_EQ(f.F1, "Intro");
  EXPECT_EQ(f.F2, "Intro");
  EXPECT_EQ(f.F3, "");

  f = Split("~S=Intro|start|begin");
  EXPECT_EQ(f.F1, "Intro");
  EXPECT_EQ(f.F2, "start");
  EXPECT_EQ(f.F3, "begin");

  f = Split("~GS=oak|plant");
  EXPECT_EQ(f.F1, "oak");
  EXPECT_EQ(f.F2, "plant");
  EXPECT_EQ(f.F3, "");
}

TEST(SplitCommandLine, EmptySecondFieldCopiesTheFirst) {
  Fields f = Split("~S=A||c|d");
  EXPECT_EQ(f.F1, "A");
  EXPECT_EQ(f.F2, "A");
  EXPECT_EQ(f.F3, "c|d"); // further bars stay in f3
}

TEST(SplitCommandLine, EqualsAfterTheFirstIsParameterText) {
  Fields f = Split("~S=A|B=C");
  EXPECT_EQ(f.Kind, CommandFields::Parameter);
  EXPECT_EQ(f.F1, "A");
  EXPECT_EQ(f.F2, "B=C");
  CommandFields c = SplitCommandLine("~Title=a=b");
  EXPECT_EQ(c.NameLength, 7u);
  EXPECT_EQ(c.F1, "a=b");
}

TEST(SplitCommandLine, MalformedForms) {
  EXPECT_EQ(Split("~S=").Kind, CommandFields::EmptyCommand);
  EXPECT_EQ(Split("~=").Kind, CommandFields::EmptyCommand);
  EXPECT_EQ(Split("~a=").Kind, CommandFields::EmptyCommand);
  EXPECT_EQ(Split("~=x").Kind, CommandFields::InvalidSyntax);
  EXPECT_EQ(Split("~X|Y=Z").Kind, CommandFields::InvalidSyntaxBar);
  EXPECT_EQ(Split("~S=|x").Kind, CommandFields::EmptyParameter);
  EXPECT_EQ(Split("~S=|").Kind, CommandFields::EmptyParameter);
  EXPECT_EQ(Split("~LI+").Kind, CommandFields::Bare);
  EXPECT_EQ(Split("~").Kind, CommandFields::Bare);
  EXPECT_EQ(Split("~ab|c").Kind, CommandFields::Bare);
}

TEST(SplitCommandLine, FourCharacterLineIsRead) {
  Fields f = Split("~a=b");
  EXPECT_EQ(f.Kind, CommandFields::Parameter);
  EXPECT_EQ(f.F1, "b");
}

TEST(CommandNameIs, ComparesTheWholeNameIgnoringCase) {
  EXPECT_TRUE(CommandNameIs("~gs=x", 4, "~GS="));
  EXPECT_FALSE(CommandNameIs("~GSH=x", 5, "~GS="));
  EXPECT_FALSE(CommandNameIs("~GS=x", 4, "~GSH="));
  EXPECT_TRUE(CommandNameIs("~po_usetableelem=TRUE", 17, "~PO_UseTableElem="));
}

TEST(IsLevelForm, AcceptsSecondCharacterFrom0x53To0x7F) {
  EXPECT_TRUE(IsLevelForm("~S3=x"));
  EXPECT_TRUE(IsLevelForm("~s3=x"));
  EXPECT_TRUE(IsLevelForm("~T3=x"));
  EXPECT_TRUE(IsLevelForm("~\x7F"
                          "0=x"));
  EXPECT_TRUE(IsLevelForm("~S12=x")); // only the third character is tested
  EXPECT_FALSE(IsLevelForm("~R3=x"));
  EXPECT_FALSE(IsLevelForm("~\x80"
                           "3=x"));
  EXPECT_FALSE(IsLevelForm("~Title=x"));
  EXPECT_TRUE(IsLevelForm("~S3="));
  EXPECT_FALSE(IsLevelForm("~S3"));
}

TEST(SplitAtBar, HeadAndTail) {
  std::string head, tail;
  TConverter::SplitAtBar("a|b|c", head, tail);
  EXPECT_EQ(head, "a");
  EXPECT_EQ(tail, "b|c");
  TConverter::SplitAtBar("abc", head, tail);
  EXPECT_EQ(head, "abc");
  EXPECT_EQ(tail, "");
  TConverter::SplitAtBar("|", head, tail);
  EXPECT_EQ(head, "");
  EXPECT_EQ(tail, "");
}

} // namespace
