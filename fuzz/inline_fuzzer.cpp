// The inline processor with glossary linking on a small fixed glossary,
// checked against a plain position-by-position reading of the rules: tags,
// bracketed commands, then the expressions tried longest first.
//
// First byte: bit 0 fast conversion, bit 1 inline markup off, bit 2 inside a
// code block, bits 3 and 4 the "~EW=" text, bit 5 a section group, bit 6 a
// paragraph group, bit 7 the text (up to its first "|") a second time in a
// note after the text line (items linked in the line stay plain). The rest is
// the text line (line breaks and NUL bytes read as blanks).
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/conversion.h"
#include "fuzz_support.h"

using fuzzing::Fail;

namespace {

// Sorted ignoring case; each one a distinct text.
const std::vector<std::string> kGlossary{
    "a", "Ab", "cat", "CDs", "HTML", "is", "oak", "oak leaf", "Oak leaf tree", "x_y",
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
  if (size < 2)
    return 0;
  const unsigned options = data[0];
  std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
  for (char& c : text)
    if (c == '\0' || c == '\r' || c == '\n')
      c = ' ';
  if (text[0] == '~')
    text.insert(0, " "); // a text line, not a command

  const bool fast = (options & 1) != 0;
  const bool markupOff = (options & 2) != 0;
  const bool inCode = (options & 4) != 0;
  const std::string ew = kEWTexts[(options >> 3) & 3];
  const std::string note = text.substr(0, text.find('|'));
  const bool again = (options & 128) != 0 && !note.empty();

  // The glossary ("oak" hidden), closed by two headers; then the state the
  // text line is converted in, between two markers.
  std::string source;
  for (const std::string& e : kGlossary)
    source += (e == "oak" ? "~GSH=" : "~GS=") + e + "\r\n";
  source += "~S=A\r\n~S=B\r\n";
  if (!ew.empty())
    source += "~EW=" + ew + "\r\n";
  Reference reference;
  reference.Fast = fast;
  reference.EW = ew;
  reference.ByLength = kGlossary;
  std::stable_sort(reference.ByLength.begin(), reference.ByLength.end(),
                   [](const std::string& a, const std::string& b) { return a.size() > b.size(); });
  if (options & 32) {
    reference.Section = {"CAT", "oak leaf"};
    for (const std::string& e : reference.Section)
      source += "~GS=" + e + "\r\n";
  }
  if (options & 64) {
    reference.Paragraph = {"html"};
    for (const std::string& e : reference.Paragraph)
      source += "~GP=" + e + "\r\n";
  }
  if (markupOff)
    source += "~P-\r\n";
  if (inCode)
    source += "~CODES+\r\n";
  const std::string begin = "<!--begin-->", end = "<!--end-->";
  source += "~IF=" + begin + "\r\n" + text + "\r\n";
  if (again)
    source += "~NOTES=" + note + "\r\n";
  source += "~IF=" + end + "\r\n";

  fuzzing::QuietHost host;
  const ConversionOptions conversionOptions = host.Options(fast);
  const bool abort = false;
  Conversion conversion(host, conversionOptions, "Guide.cnt.htm", "<HR>\r\n", abort);
  Pages pages;
  const SourceText lines(source); // the glossary's texts are views into it
  conversion.ProcessSourceLines(lines, pages);

  const bool verbatim = markupOff || inCode;
  auto process = [&](const std::string& t) { return verbatim ? t : reference.Process(t); };
  std::string expected;
  const std::string line = process(text);
  if (line.size() >= 2 && line[0] == '*' && line[1] == ' ')
    expected = "<LI>" + line.substr(2) + "</LI>";
  else if (inCode)
    expected = line + "\r\n";
  else
    expected = "<P>" + line + "</P>";
  if (again)
    expected += "<TABLE CELLSSPACING=0 CELLPADDING=5 BORDER=0 WIDTH=100%><TBODY><TR><TD "
                "CLASS=\"WarnCell\"><P STYLE=\"MARGIN-BOTTOM: 0\">" +
                process(note) + "</P></TD></TR></TBODY></TABLE><BR>";

  const std::string_view content = pages.Content.View();
  const std::size_t from = content.find(begin);
  const std::size_t to = content.rfind(end);
  if (from == std::string_view::npos || to == std::string_view::npos || to < from + begin.size())
    Fail("the markers around the text line are missing");
  const std::string out(content.substr(from + begin.size(), to - from - begin.size()));
  if (out != expected)
    Fail("inline text differs\n--- text\n" + text + "\n--- got\n" + out + "\n--- expected\n" +
         expected);
  if (conversion.GlossaryLinkCount() != reference.Links)
    Fail("link count " + std::to_string(conversion.GlossaryLinkCount()) + ", expected " +
         std::to_string(reference.Links));
  // Warnings quote at most what the line holds (or 64 KiB) per processing,
  // plus one short line per command.
  const std::size_t bound =
      2 * (std::max<std::size_t>(text.size(), 65536) + 64 * (size + 1)) + 4096;
  if (host.LogBytes > bound)
    Fail("log of " + std::to_string(host.LogBytes) + " bytes for a text of " +
         std::to_string(text.size()));
  return 0;
}
