// The stress project: a source of an exact size with many glossary items of
// realistic lengths used throughout its text, every command of the source
// language and inline markup.
#include "stress_project.h"

#include "seeded_random.h"

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <random>
#include <stdexcept>
#include <string>
#include <unordered_set>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::string Folded(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z')
      c = static_cast<char>(c + 32);
  return s;
}

std::string Capitalised(std::string s) {
  if (!s.empty() && s[0] >= 'a' && s[0] <= 'z')
    s[0] = static_cast<char>(s[0] - 32);
  return s;
}

const std::vector<std::string> kSyllables = {
    "ka",  "lo",  "ren", "tis",  "mar", "vel", "dor", "qui", "sen", "bal", "tor", "fi",  "gra",
    "nu",  "pel", "cor", "dan",  "ex",  "ly",  "mon", "sta", "ri",  "ven", "zo",  "ha",  "ter",
    "pro", "li",  "sca", "ment", "ion", "ar",  "ul",  "bro", "che", "dri", "el",  "fer", "gin"};

const std::vector<std::string> kFiller = {
    "the",  "of",     "and",     "to",   "in",    "is",    "that",   "for",   "it",      "as",
    "with", "on",     "by",      "this", "are",   "be",    "from",   "or",    "an",      "which",
    "can",  "when",   "all",     "each", "used",  "value", "system", "shows", "returns", "file",
    "page", "window", "setting", "user", "data",  "first", "next",   "line",  "text",    "option",
    "list", "then",   "also",    "more", "other", "only"};

// Pseudo-English words, then expressions of one to four of them.
class Glossary {
public:
  Glossary(Random& r, int itemCount) : r_(r) {
    std::unordered_set<std::string> words;
    while (words_.size() < 9000) {
      std::string w;
      const int syllables = 2 + r_.Below(3);
      for (int i = 0; i < syllables; ++i)
        w += r_.Pick(kSyllables);
      if (words.insert(w).second)
        words_.push_back(w);
    }
    std::unordered_set<std::string> seen;
    while (static_cast<int>(items_.size()) < itemCount) {
      std::string e = Make();
      if (seen.insert(Folded(e)).second)
        items_.push_back(e);
    }
  }
  const std::vector<std::string>& Items() const { return items_; }
  const std::vector<std::string>& Words() const { return words_; }

private:
  std::string Make() {
    if (r_.Chance(6)) { // an acronym, sometimes with a plural s
      std::string a;
      const int letters = 2 + r_.Below(4);
      for (int i = 0; i < letters; ++i)
        a += static_cast<char>('A' + r_.Below(26));
      return r_.Chance(25) ? a + "s" : a;
    }
    const int roll = r_.Below(100);
    const int count = roll < 35 ? 1 : roll < 75 ? 2 : roll < 93 ? 3 : 4;
    std::string e;
    for (int i = 0; i < count; ++i) {
      if (i > 0)
        e += r_.Chance(10) ? "-" : " ";
      e += r_.Pick(words_);
    }
    return r_.Chance(8) ? Capitalised(e) : e;
  }

  Random& r_;
  std::vector<std::string> words_;
  std::vector<std::string> items_;
};

// One section: its lines, with empty strings as the places of text lines.
struct Section {
  std::vector<std::string> Lines;
  std::size_t StructureBytes = 0;
  int TextSlots = 0;
};

class Writer {
public:
  Writer(Random& r, const Glossary& g, int sectionCount)
      : r_(r), g_(g), sectionCount_(sectionCount) {}

  std::vector<Section> Sections() {
    const auto& items = g_.Items();
    std::vector<Section> sections(static_cast<std::size_t>(sectionCount_));
    std::size_t next = 0;
    int level = 0;
    for (int s = 0; s < sectionCount_; ++s) {
      Section& sec = sections[static_cast<std::size_t>(s)];
      auto line = [&](std::string l) { sec.Lines.push_back(std::move(l)); };
      auto text = [&] { sec.Lines.emplace_back(); };
      // Items still to define, spread evenly over the remaining sections.
      const std::size_t share = (items.size() - next) / static_cast<std::size_t>(sectionCount_ - s);
      std::size_t left = share;
      auto item = [&]() -> std::string {
        --left;
        return items[next++];
      };
      auto topic = [&]() -> std::string {
        if (!r_.Chance(35))
          return {};
        return "|" + r_.Pick(items); // before or after the item, resolved or not
      };

      if (s == 0) {
        line("~PO_MakeCodePretty=false");
        line("~PO_UseTableElem=TRUE");
        line("~PO_UseSectionSep=true");
        line("~Title=Stress manual|ignored");
        line("~IP=processing instructions are ignored");
        line("~EW=NOTE");
      }
      // Section-level definitions, then the header (some with an expression).
      const int sectionItems =
          static_cast<int>(std::min<std::size_t>(left, 2 + static_cast<std::size_t>(r_.Below(3))));
      for (int i = 0; i < sectionItems; ++i)
        line((r_.Chance(4) ? "~GSH=" : "~GS=") + item() + topic());
      std::string title = Capitalised(r_.Pick(g_.Words())) + " " + r_.Pick(g_.Words());
      std::string expression = left > 0 && r_.Chance(30) ? "|" + item() + topic() : "";
      const int roll = r_.Below(10);
      if (level < 4 && roll < 4) {
        line("~S+=" + title + expression);
        ++level;
      } else if (level > 0 && roll < 6) {
        line("~S-=" + title + expression);
        --level;
      } else if (level > 1 && roll < 7) {
        line("~S" + std::to_string(level - 1) + "=" + title + expression);
        --level;
      } else if (level > 0 && roll < 8) {
        line("~S-");
        --level;
        line("~S=" + title + expression);
      } else {
        line("~S=" + title + expression);
      }
      text();

      // Paragraph-level definitions and the body.
      while (left > 0) {
        const int defs = static_cast<int>(
            std::min<std::size_t>(left, 1 + static_cast<std::size_t>(r_.Below(3))));
        for (int i = 0; i < defs; ++i)
          line((r_.Chance(4) ? "~GPH=" : "~GP=") + item() + topic());
        text();
        text();
      }
      Extras(s, sec);
      text();
    }
    for (Section& sec : sections)
      for (const std::string& l : sec.Lines) {
        if (l.empty())
          ++sec.TextSlots;
        else
          sec.StructureBytes += l.size() + 2;
      }
    return sections;
  }

  // A text line of about LENGTH bytes: filler words and glossary expressions,
  // with tags and inline commands now and then.
  std::string TextLine(std::size_t length) {
    std::string t;
    bool sentenceStart = true;
    while (t.size() < length) {
      const int roll = r_.Below(100);
      std::string word;
      if (roll < 30) {
        word = r_.Pick(g_.Items());
        if (r_.Chance(10))
          word = Folded(word);
      } else if (roll < 32) {
        static const std::vector<std::string> inl = {"[:D]",
                                                     "[:)]",
                                                     "[:diagram]",
                                                     "[:photo.jpg]",
                                                     "[@www.example.org/page]",
                                                     "<B>",
                                                     "</B>",
                                                     "<I>",
                                                     "</I>",
                                                     "<CODE>x &lt; y</CODE>",
                                                     "[unknown]",
                                                     "NOTE",
                                                     "[@mailto:a@b.org]"};
        word = r_.Pick(inl);
      } else {
        word = r_.Pick(kFiller);
      }
      if (sentenceStart)
        word = Capitalised(word);
      t += word;
      sentenceStart = r_.Chance(8);
      t += sentenceStart ? ". " : (r_.Chance(6) ? ", " : " ");
    }
    t.resize(length);
    while (!t.empty() && t.back() == ' ')
      t.back() = '.';
    return t;
  }

private:
  void Extras(int s, Section& sec) {
    auto line = [&](std::string l) { sec.Lines.push_back(std::move(l)); };
    auto text = [&] { sec.Lines.emplace_back(); };
    auto phrase = [&] {
      return r_.Pick(g_.Items()) + " and " + r_.Pick(kFiller) + " " + r_.Pick(g_.Items());
    };
    switch (s % 12) {
    case 0:
      line("~MIS=" + phrase());
      line("~ASP=" + phrase() + " [:D]");
      break;
    case 1:
      line("~MIUS=www.example.org/" + r_.Pick(g_.Words()));
      line("~ASUP=http://example.org/" + r_.Pick(g_.Words()));
      line("~MIUP=example.org");
      line("~ASUS=ftp://files.example.org");
      break;
    case 2:
      line("~WARNS=" + phrase());
      line("~NOTEP=" + phrase());
      break;
    case 3:
      line("~LIS=" + Capitalised(r_.Pick(g_.Words())) + " list");
      for (int i = 0; i < 4; ++i)
        line("* " + phrase());
      line("~LIS-");
      break;
    case 4:
      line("~CODES+");
      line("int " + r_.Pick(g_.Words()) + " = 0; // [:D] <not a tag>");
      line("for (auto& x : list) ++" + r_.Pick(g_.Words()) + ";");
      line("~CODES-");
      line("~CODEP+");
      line("return " + r_.Pick(g_.Items()) + ";");
      line("~CODEP-");
      break;
    case 5:
      line("~LI+");
      line("* " + phrase());
      line("* " + phrase());
      line("~LI-");
      line("~BP");
      break;
    case 6:
      line("~SEP");
      line("~IF=<HR CLASS=\"thin\">");
      line("~MIP=" + phrase());
      break;
    case 7:
      line("~P-");
      text();
      line("~P+");
      line("~WARNP=" + phrase());
      break;
    case 8:
      line("~NOTES=" + phrase() + " NOTE");
      line("~ASS=" + phrase());
      break;
    default:
      break;
    }
  }

  Random& r_;
  const Glossary& g_;
  const int sectionCount_;
};

void WriteFile(const fs::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out)
    throw std::runtime_error("cannot write " + path.string());
}

} // namespace

std::string MakeStressSource(const StressParameters& p) {
  Random r(p.Seed);
  const Glossary glossary(r, p.GlossaryItems);
  Writer writer(r, glossary, p.Sections);
  const std::vector<Section> sections = writer.Sections();
  const std::size_t size = p.SourceSize;

  std::vector<std::size_t> structureAfter(sections.size() + 1, 0);
  for (std::size_t s = sections.size(); s-- > 0;)
    structureAfter[s] = structureAfter[s + 1] + sections[s].StructureBytes;

  constexpr std::size_t kReserve = 400; // for the last line
  if (structureAfter[0] + kReserve + 100 > size)
    throw std::runtime_error("the structure does not fit");
  std::string source;
  source.reserve(size);
  for (std::size_t s = 0; s < sections.size(); ++s) {
    const Section& sec = sections[s];
    const std::size_t budget = size - kReserve - source.size() - structureAfter[s];
    const std::size_t share = budget / (sections.size() - s);
    const std::size_t structure = sec.StructureBytes;
    std::size_t perSlot =
        share > structure
            ? (share - structure) / static_cast<std::size_t>(std::max(1, sec.TextSlots))
            : 0;
    for (const std::string& l : sec.Lines) {
      if (l.empty())
        source += writer.TextLine(std::max<std::size_t>(perSlot, 3) - 2);
      else
        source += l;
      source += "\r\n";
    }
  }
  if (source.size() + 100 > size)
    throw std::runtime_error("the structure does not fit");
  source += writer.TextLine(size - source.size() - 2);
  source += "\r\n";
  if (source.size() != size)
    throw std::runtime_error("wrong size " + std::to_string(source.size()));
  return source;
}

void WriteStressProject(const fs::path& dir, const std::string& source) {
  fs::create_directories(dir / "src");
  fs::create_directories(dir / "out");
  const fs::path src = dir / "src";
  WriteFile(src / "Stress.txt", source);
  WriteFile(src / "BeforeContent.htm", "<HTML><HEAD><TITLE>Content</TITLE></HEAD>\r\n<BODY>\r\n");
  WriteFile(src / "BeforeTOC.htm", "<HTML><HEAD><TITLE>Contents</TITLE></HEAD>\r\n<BODY>\r\n");
  WriteFile(src / "BeforeTOCButtons.htm", "<HTML><BODY>\r\n");
  WriteFile(src / "BeforeGlossary.htm", "<HTML><HEAD><TITLE>Glossary</TITLE></HEAD>\r\n<BODY>\r\n");
  WriteFile(src / "BeforeSection.htm",
            "<HR CLASS=\"section\">\r\n<P CLASS=\"top\"><A HREF=\"#top\">Top</A></P>\r\n");
}

StressParameters ScaledStress(std::uint32_t seed, std::size_t size) {
  StressParameters p;
  p.Seed = seed;
  p.SourceSize = size;
  const double share = static_cast<double>(size) / 10000000.0;
  p.GlossaryItems = std::max(20, static_cast<int>(65535 * share));
  p.Sections = std::max(4, static_cast<int>(6000 * share));
  return p;
}
