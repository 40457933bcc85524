// The search index: what it holds for a source, that it leaves the pages
// alone, and the option that asks for it.
#include <gtest/gtest.h>

#include <string>

#include "engine_fixture.h"

using engine_test::Engine;
using engine_test::Lines;

namespace {

std::string IndexOf(const Engine& e) {
  PageSink out;
  e.Last().WriteSearchIndex(out);
  return std::string(out.View());
}

TEST(SearchIndex, HoldsHeadersTextWordsAndVisibleGlossary) {
  Engine e;
  e.host.SearchIndex = true;
  e.Run(Lines({
      "Before any header is in no section",
      "~S=Guide|guide",
      "Welcome to <B>Orv</B>anel[:)]caf&eacute; &amp; <BR>more &#65;&#x62;c",
      "~S+=Install &amp; run",
      "~GS=setup",
      "~GP=A &amp; B",
      "* Step[:pic]one [@example.org] two [unknown] Welcome",
      "~WARNP=Mind <I>the</I> \"gap\"",
      "~MIUS=example.org",
      "~P-",
      "Raw [:x] stays",
      "~P+",
      "~S=Second",
      "~GSH=secret",
      "~CODES+",
      "a<b [:c]",
      "~CODES-",
      "~S-",
      "~S=Top",
  }));
  EXPECT_EQ(IndexOf(e),
            "// The search index of Guide.cnt.htm, written by Orvanel with the pages.\n"
            "var OrvanelSearchIndex = {\n"
            "\"format\": 1,\n"
            "\"page\": \"Guide.cnt.htm\",\n"
            "\"headers\": [\n"
            "[0,-1,\"Guide\"],\n"
            "[1,0,\"Install & run\",\"HBM_Guide_Install__amp__run\"],\n"
            "[1,0,\"Second\"],\n"
            "[0,-1,\"Top\"]],\n"
            "\"text\": [\n"
            "\"Welcome to Orvanel caf\\u00e9 & more Abc\",\n"
            "\"Step one two [unknown] Welcome Mind the \\\"gap\\\" Raw [:x] stays\",\n"
            "\"a\",\n"
            "\"\"],\n"
            "\"glossary\": [\n"
            "[\"guide\",0],\n"
            "[\"setup\",1],\n"
            "[\"A & B\",1,\"GBM_A__amp__B\"]],\n"
            "\"words\": \"welcome to orvanel caf\\u00e9 more abc step one two unknown mind the gap "
            "raw x stays a\",\n"
            "\"postings\": \"0,1 0 0 0 0 0 1 1 1 1 1 1 1 1 1 1 2\"\n"
            "};\n");
}

TEST(SearchIndex, FourPagesAreTheSameWithAndWithoutIt) {
  const auto source = Lines({
      "~S=Intro|intro",
      "The intro and the <I>setup</I> [:)] [@example.org].",
      "~S+=Setup|setup|intro",
      "~GP=step",
      "* One step of the setup",
      "~NOTES=A note on the intro",
      "~ASS=setup",
      "~S2=Deeper",
      "~PO_SearchIndex=TRUE",
      "~S-=Back",
      "~EW=Back",
      "Back to the intro, step by step.",
  });
  for (const bool full : {true, false}) {
    Engine plain(full), indexed(full);
    indexed.host.SearchIndex = true;
    plain.host.UseProjectOptions = indexed.host.UseProjectOptions = false;
    plain.Run(source);
    indexed.Run(source);
    ASSERT_NE(indexed.Last().Index(), nullptr);
    EXPECT_EQ(plain.Last().Index(), nullptr);
    EXPECT_EQ(plain.Content(), indexed.Content());
    EXPECT_EQ(plain.Toc(), indexed.Toc());
    EXPECT_EQ(plain.Glossary(), indexed.Glossary());
    EXPECT_EQ(plain.Buttons(), indexed.Buttons());
    EXPECT_EQ(plain.host.Log, indexed.host.Log);
    EXPECT_EQ(indexed.Last().Index()->HeaderCount(), 4);
  }
}

TEST(SearchIndex, TheOptionCommandInBothSpellingsLastOneCounting) {
  struct Case {
    const char* line;
    bool defaultOn;
    bool projectOptions;
    bool wanted;
  } cases[] = {
      {"~PO_SearchIndex=TRUE", false, true, true},   {"~po_searchindex=true", false, true, true},
      {"~PO_SearchIndex=FALSE", true, true, false},  {"~PO_SearchIndex=yes", true, true, false},
      {"~PO_SearchIndex=TRUE", false, false, false}, // project options ignored
      {"~PO_SearchIndex=FALSE", true, false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    Engine e;
    e.host.SearchIndex = c.defaultOn;
    e.host.UseProjectOptions = c.projectOptions;
    const std::string withOption = e.Run(Lines({"~S=A", "text", c.line, "more"}));
    EXPECT_EQ(e.Last().Index() != nullptr, c.wanted);
    for (const std::string& line : e.host.Log)
      EXPECT_EQ(line.find("Warning"), std::string::npos) << line;
    Engine without;
    EXPECT_EQ(without.Run(Lines({"~S=A", "text", "more"})), withOption);
  }
  // The index covers the whole source whichever line asks for it; the last
  // option command decides.
  Engine e;
  e.Run(Lines({"~S=A", "~PO_SearchIndex=FALSE", "~S=B", "~PO_SearchIndex=TRUE"}));
  ASSERT_NE(e.Last().Index(), nullptr);
  EXPECT_EQ(e.Last().Index()->HeaderCount(), 2);
  e.Run(Lines({"~PO_SearchIndex=TRUE", "~S=A", "~PO_SearchIndex=false"}));
  EXPECT_EQ(e.Last().Index(), nullptr);
}

TEST(SearchIndex, WordsAreFoldedOnceWithEachHeaderOnce) {
  Engine e;
  e.host.SearchIndex = true;
  e.Run(Lines({"~S=One", "Word word WORD wordy", "~S=Two", "~S=Three", "WoRd", "word"}));
  const std::string index = IndexOf(e);
  EXPECT_NE(index.find("\"words\": \"word wordy\",\n\"postings\": \"0,2 0\"\n"), std::string::npos)
      << index;
}

TEST(SearchIndex, LongWordsAreCutAndPostingsUseBase36Differences) {
  Engine e;
  e.host.SearchIndex = true;
  std::vector<std::string> lines;
  for (int i = 0; i < 40; ++i) {
    lines.push_back("~S=H" + std::to_string(i));
    if (i == 0 || i == 37)
      lines.push_back(std::string(100, 'x') + " last");
  }
  e.Run(lines);
  const std::string index = IndexOf(e);
  EXPECT_NE(index.find("\"words\": \"" + std::string(64, 'x') +
                       " last\",\n"
                       "\"postings\": \"0,11 0,11\"\n"),
            std::string::npos)
      << index;
}

} // namespace
