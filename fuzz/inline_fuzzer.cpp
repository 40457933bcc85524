// The inline processor with glossary linking on a small fixed glossary,
// checked against a plain position-by-position reading of the rules: tags,
// bracketed commands, then the expressions tried longest first.
//
// First byte: bit 0 fast conversion, bit 1 inline markup off, bit 2 inside a
// code block, bits 3 and 4 the "~EW=" text, bit 5 a section group, bit 6 a
// paragraph group, bit 7 the text processed a second time (already linked
// items stay plain). The rest is the text.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/converter.h"
#include "fuzz_support.h"

using fuzzing::Fail;

namespace {

// Sorted ignoring case; each one a distinct text.
const std::vector<std::string> kGlossary{
    "a",
    "Ab",
    "cat",
    "CDs",
    "HTML",
    "is",
    "oak",
    "oak leaf",
    "Oak leaf tree",
    "x_y",
    "\xFC"
    "ber",
};
const char* const kEWTexts[] = {"", "EW", "oak", "[x]"};

bool IsLower(char c) {
  return c >= 'a' && c <= 'z';
}
char Fold(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
}
bool IsWord(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}
bool Same(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                            [](char x, char y) { return Fold(x) == Fold(y); });
}
bool Acronym(const std::string& e) {
  return e.size() <= 2 || std::none_of(e.begin(), e.end() - 1, IsLower);
}
bool Holds(const std::vector<std::string>& group, const std::string& e) {
  return std::any_of(group.begin(), group.end(), [&](const std::string& g) { return Same(g, e); });
}

struct Reference {
  bool Fast = false;
  std::string EW;
  std::vector<std::string> ByLength; // longest first, as the converter holds it
  std::vector<std::string> Section, Paragraph;
  std::vector<bool> Linked = std::vector<bool>(kGlossary.size(), false);
  int Links = 0;

  static std::string Command(const std::string& command) {
    if (command.empty())
      return {};
    if (command[0] == ':') {
      std::string name = command.substr(1);
      const char* const keys[][2] = {{"D", "laugh.gif"},
                                     {")", "smile.gif"},
                                     {";", "wink.gif"},
                                     {"(", "sad.gif"},
                                     {"O", "surprised.gif"}};
      bool emoticon = false;
      for (const auto& key : keys)
        if (Same(name, key[0])) {
          name = key[1];
          emoticon = true;
          break;
        }
      const std::size_t dot = name.rfind('.');
      if (!emoticon &&
          (dot == std::string::npos || name.find_first_of("\\:", dot + 1) != std::string::npos))
        name += ".gif";
      return "<IMG SRC=\"pictures/" + name + "\" ALIGN=\"BOTTOM\" BORDER=0>";
    }
    if (command[0] == '@') {
      const std::string target = command.substr(1);
      const std::string address =
          target.find(':') == std::string::npos ? "http://" + target : target;
      return "<A HREF=\"" + address + "\" TARGET=\"_blank\">" + target + "</A>";
    }
    return {};
  }

  std::string Process(const std::string& text) {
    std::string out;
    const std::size_t n = text.size();
    for (std::size_t p = 0; p < n;) {
      if (text[p] == '<' && p + 1 < n) {
        std::size_t end = text.find('>', p + 1);
        if (end == std::string::npos)
          end = n - 1;
        out += text.substr(p, end - p + 1);
        p = end + 1;
        continue;
      }
      if (text[p] == '[' && p + 1 < n && text.find(']', p + 1) != std::string::npos) {
        const std::size_t close = text.find(']', p + 1);
        const std::string html = Command(text.substr(p + 1, close - p - 1));
        if (html.empty()) {
          out += '[';
          ++p;
        } else {
          out += html;
          p = close + 1;
        }
        continue;
      }
      if (!Fast) {
        bool matched = false;
        for (const std::string& e : ByLength) {
          const std::size_t length = e.size();
          if (length > n - p)
            continue;
          const std::string m = text.substr(p, length);
          if (Acronym(e) ? m != e : !Same(m, e) || (p > 0 && IsWord(text[p - 1])))
            continue;
          const auto item = static_cast<std::size_t>(
              std::find_if(kGlossary.begin(), kGlossary.end(),
                           [&](const std::string& g) { return Same(g, e); }) -
              kGlossary.begin());
          if (Linked[item]) {
            out += m;
          } else if (Holds(Section, e) || Holds(Paragraph, e)) {
            out += "<DFN>" + m + "</DFN>";
            Linked[item] = true;
          } else {
            std::string bookmark = e;
            for (char& c : bookmark)
              if (!IsWord(c))
                c = '_';
            out += "<A HREF=\"#GBM_" + bookmark + "\">" + m + "</A>";
            ++Links;
            Linked[item] = true;
          }
          p += length;
          matched = true;
          break;
        }
        if (matched)
          continue;
        if (!EW.empty() && text.compare(p, EW.size(), EW) == 0) {
          out += "<DFN CLASS=\"EW\">" + EW + "</DFN>";
          p += EW.size();
          continue;
        }
      }
      out += text[p];
      ++p;
    }
    return out;
  }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0)
    return 0;
  const unsigned options = data[0];
  const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);

  fuzzing::QuietHost host;
  TConverter converter(host);
  converter.FastConversion = (options & 1) != 0;
  converter.ProcessInline = (options & 2) == 0;
  converter.InCodeBlock = (options & 4) != 0;
  converter.EWText = kEWTexts[(options >> 3) & 3];
  converter.ContentFileName = "/out/Guide.cnt.htm";
  converter.GlossaryItems = std::make_unique<TStringList>();
  converter.GlossaryItemsByLength = std::make_unique<TStringList>();
  converter.SectionDefinedItems = std::make_unique<TStringList>();
  converter.ParagraphDefinedItems = std::make_unique<TStringList>();
  // A finished glossary: expressions only, no common topic (0xFFFF), the
  // item "oak" hidden; the longest-first copy in the stable length order.
  for (const std::string& e : kGlossary)
    converter.GlossaryItems->Add(e, 0xFFFFu | (e == "oak" ? 1u << 17 : 0u));
  std::vector<std::string> byLength = kGlossary;
  std::stable_sort(byLength.begin(), byLength.end(),
                   [](const std::string& a, const std::string& b) { return a.size() > b.size(); });
  for (const std::string& e : byLength)
    converter.GlossaryItemsByLength->Add(e, 0xFFFFu);

  Reference reference;
  reference.Fast = converter.FastConversion;
  reference.EW = converter.EWText;
  reference.ByLength = byLength;
  if (options & 32) {
    reference.Section = {"CAT", "oak leaf"};
    for (const std::string& e : reference.Section)
      converter.SectionDefinedItems->Add(e);
  }
  if (options & 64) {
    reference.Paragraph = {"html", "nowhere"};
    for (const std::string& e : reference.Paragraph)
      converter.ParagraphDefinedItems->Add(e);
  }

  const bool verbatim = !converter.ProcessInline || converter.InCodeBlock;
  for (int pass = 0; pass < ((options & 128) ? 2 : 1); ++pass) {
    const std::string out = converter.ProcessInlineText(text);
    const std::string expected = verbatim ? text : reference.Process(text);
    if (out != expected)
      Fail("inline text differs\n--- text\n" + text + "\n--- got\n" + out + "\n--- expected\n" +
           expected);
    if (converter.GlossaryLinkCount != reference.Links)
      Fail("link count " + std::to_string(converter.GlossaryLinkCount) + ", expected " +
           std::to_string(reference.Links));
  }
  // Warnings quote at most what the line holds (or 64 KiB) per processing,
  // plus one short line per command.
  const std::size_t bound = 2 * (std::max<std::size_t>(text.size(), 65536) + 64 * (size + 1));
  if (host.LogBytes > bound)
    Fail("log of " + std::to_string(host.LogBytes) + " bytes for a text of " +
         std::to_string(text.size()));
  return 0;
}
