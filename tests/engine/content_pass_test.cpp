// The content pass: progress, message pump, abort, and the button row.
#include <gtest/gtest.h>

#include "engine_fixture.h"

namespace {

using engine_test::Engine;

TEST(ContentPass, ProgressAndPumpOncePerTextLine) {
  Engine e;
  e.Run({"~S=A", "", "one", "~BP", "two", ""});
  EXPECT_EQ(e.host.Pumps, 2);
  EXPECT_EQ(e.host.Last.Line, 5);
  EXPECT_EQ(e.host.Last.LineCount, 6);
  EXPECT_EQ(e.host.Caption, "Conversion progress: 5 lines from 6. Time: 00:00:00");
}

TEST(ContentPass, OnlyCommandLinesNeverTouchTheProgress) {
  Engine e;
  e.Run({"~S=A", "~BP"});
  EXPECT_EQ(e.host.Pumps, 0);
  EXPECT_EQ(e.host.Caption, "Conversion progress: 0.");
}

TEST(ContentPass, BlankBeforeTheTildeMakesATextLine) {
  Engine e;
  e.host.UseTable = false;
  EXPECT_EQ(e.Run({"  ~S=Intro"}), "<P>  ~S=Intro</P>");
}

TEST(ContentPass, AbortStopsBetweenLines) {
  Engine e;
  e.host.UseTable = false;
  e.host.OnPump = [&] {
    if (e.host.Pumps == 2)
      e.RequestAbort();
  };
  EXPECT_EQ(e.Run({"one", "~P+", "two", "~BP", "three", "~S=A"}), "<P>one</P><P>two</P>");
  EXPECT_EQ(e.host.Caption, "Conversion progress: 3 lines from 6. Time: 00:00:00");
}

TEST(ContentPass, AbortBeforeTheStartSkipsTheWholeLoop) {
  Engine e;
  e.RequestAbort();
  EXPECT_EQ(e.Run({"~GS=a", "text", "~S=A"}), "");
  EXPECT_EQ(e.Items().Count(), 1);
  EXPECT_NE(e.Glossary(), "");
}

TEST(ContentPass, OutlineButtons) {
  Engine none;
  none.Run({"~S=A", "~S=B"});
  EXPECT_EQ(none.Buttons(), "");

  Engine e;
  e.Run({"~S=A", "~S+=B", "~S+=C", "~S0=D"});
  EXPECT_EQ(
      e.Buttons(),
      "<P>\r\n<INPUT TYPE=BUTTON VALUE='All' ONCLICK='FViewToHOL(9)' ALT='Show all headers'>"
      "\r\n<INPUT TYPE=BUTTON VALUE='1' ONCLICK='FViewToHOL(0)' ALT='Show headers up to level 1'>"
      "\r\n<INPUT TYPE=BUTTON VALUE='2' ONCLICK='FViewToHOL(1)' ALT='Show headers up to level 2'>"
      "\r\n</P>");
}

TEST(ContentPass, ButtonsAreWrittenAfterAnAbortToo) {
  Engine e;
  e.host.OnPump = [&] { e.RequestAbort(); };
  e.Run({"~S=A", "~S+=B", "text", "~S+=C"});
  EXPECT_EQ(e.Last().MaxOutlineLevel(), 1);
  EXPECT_NE(e.Buttons().find("VALUE='1'"), std::string::npos);
  EXPECT_EQ(e.Buttons().find("VALUE='2'"), std::string::npos);
}

} // namespace
