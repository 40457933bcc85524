// Finishing the glossary and writing its file, checked against
// the quadratic algorithm as written.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "engine/command_line.h"
#include "engine_fixture.h"
#include "lib/text.h"

namespace {

using engine_test::Engine;

TEST(GlossaryFile, CommonAndRelatedEntries) {
  Engine e;
  e.Run({"~GS=apple|fruit", "~GS=fruit"});
  EXPECT_EQ(e.Glossary(),
            "<P><A HREF=\"Guide.cnt.htm#GBM_apple\" TARGET=\"ContentFrame\">apple</A></P>"
            "<P STYLE=\"TEXT-INDENT: 5MM\">Com: <A HREF=\"Guide.cnt.htm#GBM_fruit\" "
            "TARGET=\"ContentFrame\">fruit</A></P>"
            "<P><A HREF=\"Guide.cnt.htm#GBM_fruit\" TARGET=\"ContentFrame\">fruit</A></P>"
            "<P STYLE=\"TEXT-INDENT: 5MM\">Rel: <A HREF=\"Guide.cnt.htm#GBM_apple\" "
            "TARGET=\"ContentFrame\">apple</A></P>");
  EXPECT_EQ(e.host.Log[0], "* There are 2 glossary items.");
  EXPECT_EQ(e.host.Log[1], "* Common glossary expressions are gathered.");
  EXPECT_EQ(e.host.Log[2], "* Glossary created.");
  EXPECT_EQ(e.host.Log[3], "* Processing content...");
}

TEST(GlossaryFile, ReferenceToALaterEntryWithItsOwnReferenceIsMissed) {
  Engine e;
  e.Run({"~GS=apple|fruit", "~GS=fruit|food", "~GS=food"});
  EXPECT_EQ(e.Items().Reference(0), -1); // apple: "fruit|food" still stood there
  EXPECT_EQ(e.Items().Reference(2), 1);  // fruit: food
  EXPECT_EQ(e.Glossary().find("Com: <A HREF=\"Guide.cnt.htm#GBM_fruit\""), std::string::npos);
}

TEST(GlossaryFile, HiddenCommonTopic) {
  Engine e;
  e.Run({"~GS=b|h", "~GS=c|h", "~GSH=h"});
  EXPECT_EQ(e.Last().HiddenGlossaryItemCount(), 1);
  EXPECT_EQ(e.Glossary(), "<P><A HREF=\"Guide.cnt.htm#GBM_b\" TARGET=\"ContentFrame\">b</A></P>"
                          "<P><A HREF=\"Guide.cnt.htm#GBM_c\" TARGET=\"ContentFrame\">c</A></P>"
                          "<P STYLE=\"TEXT-INDENT: 5MM\">Rel: <A HREF=\"Guide.cnt.htm#GBM_b\" "
                          "TARGET=\"ContentFrame\">b</A></P>"
                          "<P STYLE=\"TEXT-INDENT: 5MM\">Rel: <A HREF=\"Guide.cnt.htm#GBM_c\" "
                          "TARGET=\"ContentFrame\">c</A></P>");
}

TEST(GlossaryFile, ByLengthIsStableLongestFirst) {
  Engine e;
  e.Run({"~GS=bb", "~GS=a", "~GS=ccc", "~GS=Aa", "~GS=d"});
  std::vector<std::string> order;
  for (int i = 0; i < e.Items().Count(); ++i)
    order.push_back(std::string(e.Items().Expression(e.Items().ByLengthItem(i))));
  EXPECT_EQ(order, (std::vector<std::string>{"ccc", "Aa", "bb", "a", "d"}));
}

// --- the algorithm as written, on random glossaries ----------------------------

struct Expected {
  std::vector<std::string> Texts;
  std::vector<int> References;
  std::string File;
  int Hidden = 0;
};

Expected AsWritten(std::vector<std::pair<std::string, bool>> entries) {
  std::stable_sort(entries.begin(), entries.end(),
                   [](const auto& a, const auto& b) { return CompareText(a.first, b.first) < 0; });
  Expected x;
  for (const auto& entry : entries)
    x.Texts.push_back(entry.first);
  const int count = static_cast<int>(entries.size());
  x.References.assign(static_cast<std::size_t>(count), -1);
  for (int i = 0; i < count; ++i) {
    std::string& text = x.Texts[static_cast<std::size_t>(i)];
    const std::size_t bar = text.find('|');
    if (bar == std::string::npos)
      continue;
    const std::string reference = text.substr(bar + 1);
    text.resize(bar);
    if (reference.empty())
      continue;
    for (int j = 0; j < count; ++j)
      if (SameText(x.Texts[static_cast<std::size_t>(j)], reference)) {
        x.References[static_cast<std::size_t>(i)] = j;
        break;
      }
  }
  auto write = [&](int i, int kind) {
    if (entries[static_cast<std::size_t>(i)].second) {
      if (kind == 0)
        ++x.Hidden;
      return;
    }
    const std::string& e = x.Texts[static_cast<std::size_t>(i)];
    std::string b = e;
    MakeIdentifier(b);
    const std::string link =
        "<A HREF=\"Guide.cnt.htm#GBM_" + b + "\" TARGET=\"ContentFrame\">" + e + "</A>";
    x.File += kind == 0 ? "<P>" + link + "</P>"
                        : std::string("<P STYLE=\"TEXT-INDENT: 5MM\">") +
                              (kind == 1 ? "Com: " : "Rel: ") + link + "</P>";
  };
  for (int i = 0; i < count; ++i) {
    write(i, 0);
    if (x.References[static_cast<std::size_t>(i)] >= 0)
      write(x.References[static_cast<std::size_t>(i)], 1);
    for (int j = 0; j < count; ++j) {
      const int s = x.References[static_cast<std::size_t>(j)];
      if (s >= 0 &&
          SameText(x.Texts[static_cast<std::size_t>(i)], x.Texts[static_cast<std::size_t>(s)]))
        write(j, 2);
    }
  }
  return x;
}

// The entries as the collection pass registers them, in source order: the
// text ("expression" or "expression|topic") and the hidden flag. A scratch
// glossary decides what is refused.
std::vector<std::pair<std::string, bool>> Registered(const std::vector<std::string>& lines) {
  ::Glossary scratch;
  std::vector<std::pair<std::string, bool>> entries;
  for (const std::string& line : lines) {
    const CommandFields f = SplitCommandLine(line);
    if (f.Kind != CommandFields::Parameter)
      continue;
    const Command command = ParameterCommand(std::string_view(line).substr(0, f.NameLength));
    const bool hidden = command == Command::GSH || command == Command::GPH;
    const bool glossary = hidden || command == Command::GS || command == Command::GP;
    const bool header = command == Command::S || command == Command::SDeeper ||
                        command == Command::SUp || IsLevelForm(line);
    if (!glossary && !header)
      continue;
    const std::string_view expression = glossary ? f.F1 : f.F2;
    const std::string_view topic = glossary ? f.F2 : f.F3;
    if (expression.empty())
      continue;
    if (scratch.Add(line, expression, topic, hidden) == ::Glossary::AddResult::Added)
      entries.emplace_back(std::string(expression) +
                               (topic.empty() ? std::string() : "|" + std::string(topic)),
                           hidden);
  }
  return entries;
}

TEST(GlossaryFile, AgreesWithTheAlgorithmAsWritten) {
  const std::vector<std::string> words = {"a", "b", "ab", "Ab", "AB", "c", "ca", "x y", "Q"};
  for (unsigned seed = 1; seed <= 60; ++seed) {
    std::mt19937 rng(seed);
    auto pick = [&](std::size_t n) {
      return std::uniform_int_distribution<std::size_t>(0, n - 1)(rng);
    };
    std::vector<std::string> lines;
    const std::size_t count = 5 + pick(40);
    for (std::size_t i = 0; i < count; ++i) {
      const std::string& e = words[pick(words.size())];
      const std::string& t = words[pick(words.size())];
      switch (pick(7)) {
      case 0:
        lines.push_back("~GS=" + e);
        break;
      case 1:
        lines.push_back("~GSH=" + e + "|" + t);
        break;
      case 2:
        lines.push_back("~GP=" + e + "|");
        break;
      case 3:
        lines.push_back("~S=T|" + e + "|" + t + (pick(3) == 0 ? "|" + t : ""));
        break;
      case 4:
        lines.push_back("~GPH=" + e);
        break;
      default:
        lines.push_back("~GS=" + e + "|" + t);
        break;
      }
    }
    const std::vector<std::pair<std::string, bool>> entries = Registered(lines);
    const Expected x = AsWritten(entries);

    Engine e(false);
    e.Run(lines);
    const Glossary& g = e.Items();
    ASSERT_EQ(g.Count(), static_cast<int>(x.Texts.size()));
    for (int i = 0; i < g.Count(); ++i) {
      ASSERT_EQ(g.Expression(i), x.Texts[static_cast<std::size_t>(i)]) << seed;
      ASSERT_EQ(g.Reference(i), x.References[static_cast<std::size_t>(i)])
          << "seed " << seed << " entry " << i;
    }
    ASSERT_EQ(e.Glossary(), x.File) << seed;
    ASSERT_EQ(e.Last().HiddenGlossaryItemCount(), x.Hidden);
  }
}

} // namespace
