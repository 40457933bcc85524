// Reading a command line: the name, the fields and the malformed forms.
#include <gtest/gtest.h>

#include "engine/command_line.h"

namespace {

struct Fields {
  CommandFields::Form Kind;
  std::string F1, F2, F3;
};

Fields Split(const std::string& line) {
  CommandFields c = SplitCommandLine(line);
  return {c.Kind, std::string(c.F1), std::string(c.F2), std::string(c.F3)};
}

TEST(SplitCommandLine, HeaderAndGlossaryFields) {
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

TEST(CommandLookup, ComparesTheWholeNameIgnoringCase) {
  EXPECT_EQ(ParameterCommand("~gs="), Command::GS);
  EXPECT_EQ(ParameterCommand("~GSH="), Command::GSH);
  EXPECT_EQ(ParameterCommand("~GSX="), Command::Unknown);
  EXPECT_EQ(ParameterCommand("~G="), Command::Unknown);
  EXPECT_EQ(ParameterCommand("~po_usetableelem="), Command::POUseTableElem);
  EXPECT_EQ(ParameterCommand("~S+="), Command::SDeeper);
  EXPECT_EQ(ParameterCommand("~S3="), Command::Unknown); // the level form is tested apart
  EXPECT_EQ(BareCommand("~li+"), Command::LIPlus);
  EXPECT_EQ(BareCommand("~LI+ "), Command::Unknown);
  EXPECT_EQ(BareCommand("~S-"), Command::SMinus);
  EXPECT_EQ(BareCommand("~"), Command::Unknown);
  // A parameter command's name is not a bare command, and the other way round.
  EXPECT_EQ(BareCommand("~GS"), Command::Unknown);
  EXPECT_EQ(ParameterCommand("~BP="), Command::Unknown);
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
  std::string_view head, tail;
  SplitAtBar("a|b|c", head, tail);
  EXPECT_EQ(head, "a");
  EXPECT_EQ(tail, "b|c");
  SplitAtBar("abc", head, tail);
  EXPECT_EQ(head, "abc");
  EXPECT_EQ(tail, "");
  SplitAtBar("|", head, tail);
  EXPECT_EQ(head, "");
  EXPECT_EQ(tail, "");
}

} // namespace
