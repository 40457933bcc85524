// Hostile source text: every byte value, NUL bytes, odd line ends, the size
// limit, a line as long as a whole source, the glossary limit, header levels
// and output that outgrows what the converter can hold.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "hostile_support.h"

using namespace hostile;
using testing_support::FileExists;
using testing_support::WriteFileBytes;

namespace {

constexpr std::size_t kMaxSource = 10000000;
const std::string kContentStart = "<!--content-->\r\n";

bool IsLineEnd(int b) {
  return b == '\r' || b == '\n';
}
bool IsNameByte(int b) {
  return b >= 32 && b <= 127;
}

std::string Hex(int b) {
  char buffer[3];
  std::snprintf(buffer, sizeof buffer, "%02X", b);
  return buffer;
}

// Standard error holds nothing but each warning of the log with its place.
#define EXPECT_ONLY_PLACED_WARNINGS(run)                                                           \
  do {                                                                                             \
    EXPECT_EQ(Count((run).Err, "\n"), Count((run).Out, "* Warning: "));                            \
    EXPECT_EQ(Count((run).Err, ": warning: "), Count((run).Out, "* Warning: "));                   \
  } while (false)

class HostileInput : public HostileTest {};

TEST_F(HostileInput, EveryByteValueInTextLinesPassesThrough) {
  std::string source;
  std::string expected = kContentStart;
  std::string all = "x";
  for (int b = 1; b < 256; ++b) {
    if (IsLineEnd(b))
      continue;
    all += static_cast<char>(b);
    // Each byte in the middle of a line and, unless it makes a command line,
    // at its start.
    std::vector<std::string> lines{"t" + std::string(1, static_cast<char>(b)) + "t"};
    if (b != '~')
      lines.push_back(std::string(1, static_cast<char>(b)) + "x");
    for (const std::string& line : lines) {
      source += line + "\r\n";
      expected += "<P>" + line + "</P>";
    }
  }
  // "<=>" is a tag and "[\]" an unknown command: both stay as they are.
  source += all;
  expected += "<P>" + all + "</P>";
  WriteSource(source);

  const RunResult run = Convert();
  EXPECT_CONVERTED(run);
  EXPECT_ONLY_PLACED_WARNINGS(run);
  EXPECT_NE(run.Err.find(":506: warning: unknown inline command \"\\\".\n"), std::string::npos);
  EXPECT_EQ(Output(".cnt.htm"), expected);
  EXPECT_EQ(Count(run.Out, "Warning"), 1u);
  EXPECT_NE(run.Out.find("* Warning: unknown inline command \"\\\".\n"), std::string::npos);
}

TEST_F(HostileInput, EveryByteValueInCommandLines) {
  std::string source;
  int refused = 0;
  for (int b = 1; b < 256; ++b) {
    if (IsLineEnd(b))
      continue;
    const std::string c(1, static_cast<char>(b));
    source += "~S=H" + c + "\r\n" + "~GS=G" + Hex(b) + c + "\r\n" + "~Title=" + c + "\r\n" +
              "~IF=" + c + "\r\n" + "~" + c + "\r\n";
    if (!IsNameByte(b))
      ++refused;
  }
  WriteSource(source);

  const RunResult run = Convert();
  EXPECT_CONVERTED(run);
  EXPECT_ONLY_PLACED_WARNINGS(run);
  const auto n = static_cast<std::size_t>(refused);
  ASSERT_EQ(n, 29u + 128u);
  // Headers and definitions holding a byte outside 32..127 are refused in the
  // content pass; definitions are refused in the collection pass as well.
  EXPECT_EQ(Count(run.Out, "* Warning: invalid header / bookmark name \"~S=H"), n);
  EXPECT_EQ(Count(run.Out, "* Warning: invalid header / bookmark name \"~GS=G"), n);
  EXPECT_EQ(Count(run.Out, "* Warning: invalid bookmark name \"~S=H"), n);
  EXPECT_EQ(Count(run.Out, "* Warning: invalid bookmark name \"~GS=G"), 2 * n);
  const int accepted = 253 - refused;
  EXPECT_NE(run.Out.find("* There are " + std::to_string(accepted) + " headers.\n"),
            std::string::npos);
  // "~S=H|" defines the item "H" besides the accepted definitions.
  EXPECT_NE(run.Out.find("* There are " + std::to_string(accepted + 1) + " glossary items.\n"),
            std::string::npos);
  // Every byte of a title reaches the content as it is.
  const std::string content = Output(".cnt.htm");
  EXPECT_NE(content.find("<P CLASS=\"Title\">\x01</P>"), std::string::npos);
  EXPECT_NE(content.find("<P CLASS=\"Title\">\xFF</P>"), std::string::npos);
  EXPECT_NE(content.find("<H1>H\x7F</H1>"), std::string::npos);
  EXPECT_EQ(content.find("<H1>H\x80</H1>"), std::string::npos);
}

TEST_F(HostileInput, NulBytesEndTheSourceAndTheTemplates) {
  WriteFileBytes(src + "BeforeContent.htm", std::string("<!--c-->\0<!--hidden-->", 22));
  WriteSource(std::string("One\r\nTw\0o\r\n~S=Lost\r\nLost too", 28));
  const RunResult run = Convert();
  EXPECT_CONVERTED(run);
  EXPECT_EQ(Output(".cnt.htm"), "<!--c-->\r\n<P>One</P><P>Tw</P>");
  EXPECT_NE(run.Out.find("* There are 0 headers.\n"), std::string::npos);
  // The size counts every byte, also those after the NUL.
  EXPECT_NE(run.Out.find("* Source file size is 28 characters.\n"), std::string::npos);

  WriteSource(std::string("\0~S=Never", 9));
  EXPECT_CONVERTED(Convert());
  EXPECT_EQ(Output(".cnt.htm"), "<!--c-->\r\n");
}

TEST_F(HostileInput, LoneCarriageReturnsAndMixedLineEnds) {
  WriteSource("A\rB\nC\r\nD\n\rE\r\r\nF");
  EXPECT_CONVERTED(Convert());
  EXPECT_EQ(Output(".cnt.htm"), kContentStart + "<P>A</P><P>B</P><P>C</P><P>D</P><P>E</P><P>F</P>");

  // Commands end at a lone CR as well; "\n\r" is two line ends.
  WriteSource("~S=One\r~S+=Two\n\r~S-\rText\r");
  const RunResult run = Convert("--no-section-separators --no-table-elements");
  EXPECT_CONVERTED(run);
  EXPECT_EQ(run.Out.find("Warning"), std::string::npos) << run.Out;
  EXPECT_EQ(Output(".cnt.htm"), kContentStart + "<A NAME=\"HBM_One\"></A><H1>One</H1><BR>" +
                                    "<A NAME=\"HBM_One_Two\"></A><H1><A HREF=\"#HBM_One\">One</A>" +
                                    " > Two</H1><BR><P>Text</P>");
}

TEST_F(HostileInput, ALineAsLongAsTheLargestSource) {
  // Exactly the largest accepted size, on one line without a line end.
  const std::string piece = "Text [:D] <I>x</I> and [@example.org] ";
  const std::string picture = "<IMG SRC=\"pictures/laugh.gif\" ALIGN=\"BOTTOM\" BORDER=0>";
  const std::string link = "<A HREF=\"http://example.org\" TARGET=\"_blank\">example.org</A>";
  const std::string piecehtml = "Text " + picture + " <I>x</I> and " + link + " ";
  std::string line;
  std::string html;
  while (line.size() + piece.size() <= kMaxSource) {
    line += piece;
    html += piecehtml;
  }
  const std::string pad(kMaxSource - line.size(), 'z');
  line += pad;
  html += pad;
  ASSERT_EQ(line.size(), kMaxSource);
  WriteSource(line);

  const RunResult run = Convert();
  EXPECT_CONVERTED(run);
  EXPECT_EQ(Output(".cnt.htm"), kContentStart + "<P>" + html + "</P>");
}

TEST_F(HostileInput, OpenBracketsBeforeOneCloseLogAMeasuredAmount) {
  // Every "[" before the "]" starts an unknown command that would quote the
  // rest of the line: ten million of them must not log the line each time.
  std::string line(kMaxSource - 1, '[');
  line += ']';
  WriteSource(line);
  const RunResult run = Convert();
  EXPECT_CONVERTED(run);
  EXPECT_LT(run.Out.size(), 3 * kMaxSource);
  EXPECT_EQ(Output(".cnt.htm"), kContentStart + "<P>" + line + "</P>");
  // The first warnings are written whole, then one line says the rest are not.
  EXPECT_NE(run.Out.find("* Warning: unknown inline command \"" + line.substr(1, kMaxSource - 2) +
                         "\".\n"),
            std::string::npos);
  EXPECT_EQ(Count(run.Out, "* Warning: more unknown inline commands in this line are not "
                           "reported.\n"),
            1u);
}

TEST_F(HostileInput, OneByteOverTheLimitIsRefusedBeforeAnythingChanges) {
  WriteFileBytes(dest + "Guide.cnt.htm", "old");
  WriteSource(std::string(kMaxSource + 1, 'a'));
  const RunResult run = Convert();
  EXPECT_EQ(run.Status, 1);
  EXPECT_EQ(run.Err, "Error: Source file too big.\n");
  EXPECT_EQ(run.Out.find("Pre-processing"), std::string::npos);
  EXPECT_EQ(Output(".cnt.htm"), "old");
  EXPECT_FALSE(FileExists(dest + "Guide.toc.htm"));
}

// NAMES glossary definitions g00000, g00001, ...; the first names the last
// storable one (index 65534) as its common topic; then two headers (the
// second closes the definitions' group) and one text line.
std::string GlossarySource(int names) {
  std::string source = "~GS=g00000|g65534\r\n";
  char name[16];
  for (int i = 1; i < names; ++i) {
    std::snprintf(name, sizeof name, "g%05d", i);
    source += "~GS=" + std::string(name) + "\r\n";
  }
  return source + "~S=End\r\n~S=Next\r\nSee g00001, g65534 and g65535.\r\n";
}

TEST_F(HostileInput, TheGlossaryHoldsAtMost65535Items) {
  const std::string limitWarning = "* Warning: Too many glossary items. Can't add any more items.";
  WriteSource(GlossarySource(65535));
  RunResult run = Convert();
  EXPECT_CONVERTED(run);
  EXPECT_NE(run.Out.find("* There are 65535 glossary items.\n"), std::string::npos);
  EXPECT_EQ(run.Out.find(limitWarning), std::string::npos);
  EXPECT_NE(Output(".cnt.htm")
                .find("See <A HREF=\"#GBM_g00001\">g00001</A>, <A "
                      "HREF=\"#GBM_g65534\">g65534</A> and g65535."),
            std::string::npos);
  // Index 65534 still fits the reference field: a common topic is written.
  const std::string topic =
      "<A HREF=\"Guide.cnt.htm#GBM_g65534\" TARGET=\"ContentFrame\">g65534</A>";
  EXPECT_NE(Output(".gls.htm").find("Com: " + topic), std::string::npos);
  EXPECT_NE(Output(".gls.htm").find("Rel: <A HREF=\"Guide.cnt.htm#GBM_g00000\""),
            std::string::npos);

  WriteSource(GlossarySource(65536));
  run = Convert();
  EXPECT_CONVERTED(run);
  EXPECT_NE(run.Out.find("* There are 65535 glossary items.\n"), std::string::npos);
  EXPECT_EQ(Count(run.Out, limitWarning), 1u);
  // The refused item is not linked; its anchor is still written.
  const std::string content = Output(".cnt.htm");
  EXPECT_EQ(content.find("HREF=\"#GBM_g65535\""), std::string::npos);
  EXPECT_NE(content.find("<A NAME=\"GBM_g65535\"></A>"), std::string::npos);
  EXPECT_NE(content.find("<A HREF=\"#GBM_g65534\">g65534</A>"), std::string::npos);
}

TEST_F(HostileInput, DeepAndRefusedHeaderLevels) {
  std::string source = "~S-\r\n~S-=Up\r\n~S2=Skip\r\n~S=L0\r\n";
  for (int level = 1; level <= 9; ++level)
    source += "~S+=L" + std::to_string(level) + "\r\n";
  source += "~S+=L10\r\n~S0=Top\r\n~S1=One\r\n~S3=Three\r\n~S9=Nine\r\n";
  WriteSource(source);
  const RunResult run = Convert();
  EXPECT_CONVERTED(run);
  EXPECT_NE(run.Out.find("* Warning: header outline level can't be negative \"~S-\".\n"),
            std::string::npos);
  EXPECT_NE(run.Out.find("* Warning: header outline level can't be negative \"~S-=Up\".\n"),
            std::string::npos);
  EXPECT_NE(run.Out.find("* Warning: here, header outline level can be only between 0 and 1 "
                         "\"~S2=Skip\".\n"),
            std::string::npos);
  EXPECT_NE(run.Out.find("* Warning: too many header outline levels \"~S+=L10\".\n"),
            std::string::npos);
  EXPECT_NE(run.Out.find("* Warning: here, header outline level can be only between 0 and 2 "
                         "\"~S3=Three\".\n"),
            std::string::npos);
  EXPECT_NE(run.Out.find("* Warning: here, header outline level can be only between 0 and 2 "
                         "\"~S9=Nine\".\n"),
            std::string::npos);
  EXPECT_NE(run.Out.find("* There are 12 headers.\n"), std::string::npos);
  const std::string buttons = Output(".tocbtn.htm");
  EXPECT_NE(buttons.find("VALUE='9' ONCLICK='FViewToHOL(8)'"), std::string::npos);
  EXPECT_EQ(buttons.find("VALUE='10'"), std::string::npos);
  EXPECT_NE(Output(".cnt.htm").find("<A NAME=\"HBM_L0_L1_L2_L3_L4_L5_L6_L7_L8_L9\"></A>"),
            std::string::npos);
}

TEST_F(HostileInput, OutputBeyondWhatTheConverterCanHoldFailsVisibly) {
  // Nine levels of one-megabyte titles: every header below them repeats the
  // whole path with its bookmarks, about 54 MB, so a few dozen short lines
  // ask for more than the 1 GiB a page may hold.
  std::string source = "~S=" + std::string(1000000, 'a') + "\r\n";
  for (int level = 1; level <= 8; ++level)
    source += "~S+=" + std::string(1000000, static_cast<char>('a' + level)) + "\r\n";
  source += "~S+=x\r\n";
  for (int i = 0; i < 200; ++i)
    source += "~S=y" + std::to_string(i) + "\r\nText.\r\n";
  ASSERT_LT(source.size(), kMaxSource);
  WriteSource(source);
  for (const std::string& suffix : kSuffixes)
    WriteFileBytes(dest + "Guide" + suffix, "old");

  const RunResult run = Convert();
  EXPECT_EQ(run.Status, 1);
  EXPECT_EQ(run.Out.find("File has been processed."), std::string::npos);
  EXPECT_NE(run.Err.find("Error: Failed to process file."), std::string::npos) << run.Err;
  // No page that lost part of its text is written; the old ones stay.
  for (const std::string& suffix : kSuffixes)
    EXPECT_EQ(Output(suffix), "old");
  EXPECT_NE(run.Out.find("* There are "), std::string::npos);
}

} // namespace
