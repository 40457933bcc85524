#include "random_project.h"

#include "seeded_random.h"

#include <random>
#include <vector>

namespace differential {
namespace {

// A small vocabulary, so that expressions overlap, nest and recur in the text.
const std::vector<std::string> kWords = {
    "alpha", "beta", "gamma", "delta", "file", "files", "page",  "ab",       "abab", "a",
    "Alpha", "BETA", "ABC",   "AB",    "ABCD", "X",     "XY",    "set_up",   "up",   "user",
    "use",   "used", "note",  "NOTE",  "tab",  "menu",  "menus", "menu bar", "bar",  "it"};

const std::vector<std::string> kInline = {"[:D]",
                                          "[:)]",
                                          "[:;]",
                                          "[:(]",
                                          "[:O]",
                                          "[:o]",
                                          "[:pic]",
                                          "[:pic.png]",
                                          "[:dir\\pic]",
                                          "[@example.org]",
                                          "[@mailto:x@y]",
                                          "[unknown]",
                                          "[]",
                                          "[",
                                          "]",
                                          "[:]",
                                          "[@]",
                                          "<B>",
                                          "</B>",
                                          "<A HREF=\"x\">",
                                          "<",
                                          ">",
                                          "<I",
                                          "&amp;",
                                          "* ",
                                          "~",
                                          "|",
                                          "[[x]]",
                                          "[a[b]c]"};

const std::vector<std::string> kOdd = {"\t", "\xE9", "\x80", "\xFF", "\x01", "\x7F", " ", "  "};

const std::vector<std::string> kParameterCommands = {"~S=",
                                                     "~S+=",
                                                     "~S-=",
                                                     "~S0=",
                                                     "~S1=",
                                                     "~S2=",
                                                     "~S3=",
                                                     "~S9=",
                                                     "~GS=",
                                                     "~GP=",
                                                     "~GSH=",
                                                     "~GPH=",
                                                     "~EW=",
                                                     "~Title=",
                                                     "~WARNS=",
                                                     "~WARNP=",
                                                     "~NOTES=",
                                                     "~NOTEP=",
                                                     "~MIS=",
                                                     "~MIP=",
                                                     "~MIUS=",
                                                     "~MIUP=",
                                                     "~ASS=",
                                                     "~ASP=",
                                                     "~ASUS=",
                                                     "~ASUP=",
                                                     "~LIS=",
                                                     "~IF=",
                                                     "~IP=",
                                                     "~s=",
                                                     "~gs=",
                                                     "~Gp=",
                                                     "~title=",
                                                     "~Sx=",
                                                     "~Z=",
                                                     "~S+",
                                                     "~PO_MakeCodePretty=",
                                                     "~PO_UseTableElem=",
                                                     "~PO_UseSectionSep=",
                                                     "~po_usetableelem="};

const std::vector<std::string> kBareCommands = {
    "~LI+", "~LI-",   "~LIS-", "~CODES+", "~CODES-", "~CODEP+", "~CODEP-", "~S-",  "~BP",
    "~SEP", "~P-",    "~P+",   "~p+",     "~li+",    "~",       "~=",      "~X",   "~S",
    "~BP ", "~a|b=c", "~S=|x", "~ab=",    "~G=x",    "~S=x|",   "~S=x||y", "~GS=|"};

const std::vector<std::string> kDefinitions = {
    "~GS=", "~GP=", "~GSH=", "~GPH=", "~S=x|", "~S+=y|", "~S-=z|"};

const std::vector<std::string> kOptionValues = {"TRUE", "FALSE", "true", "yes", "", "TRUE|x"};

class Maker {
public:
  explicit Maker(std::uint32_t seed) : r_(seed) {}

  std::string Phrase(int maxWords) {
    std::string s;
    const int n = 1 + r_.Below(maxWords);
    for (int i = 0; i < n; ++i) {
      if (i > 0)
        s += r_.Chance(85) ? " " : (r_.Chance(50) ? "-" : "");
      if (r_.Chance(4))
        s += r_.Pick(kOdd);
      s += r_.Pick(kWords);
    }
    return s;
  }

  std::string TextLine() {
    std::string s = r_.Chance(10) ? "* " : "";
    const int pieces = 1 + r_.Below(14);
    for (int i = 0; i < pieces; ++i) {
      const int roll = r_.Below(100);
      if (roll < 60)
        s += Phrase(3);
      else if (roll < 80)
        s += r_.Pick(kInline);
      else if (roll < 88)
        s += r_.Pick(kOdd);
      else
        s += ",.;:!?()"[r_.Below(8)];
      s += r_.Chance(70) ? " " : "";
    }
    return s;
  }

  std::string CommandLine() {
    if (r_.Chance(25))
      return r_.Pick(kBareCommands);
    if (r_.Chance(35)) // glossary definitions, so that full conversions link often
      return r_.Pick(kDefinitions) + Phrase(2) + (r_.Chance(30) ? "|" + Phrase(2) : "");
    const std::string& name = r_.Pick(kParameterCommands);
    if (name.rfind("~PO_", 0) == 0 || name.rfind("~po_", 0) == 0)
      return name + r_.Pick(kOptionValues);
    std::string line = name;
    if (name == "~MIUS=" || name == "~MIUP=" || name == "~ASUS=" || name == "~ASUP=")
      return line + (r_.Chance(50) ? "www.example.org/p" : "http://example.org/q");
    if (name == "~IF=")
      return line + "<HR CLASS=\"x\">" + (r_.Chance(30) ? TextLine() : "");
    line += r_.Chance(70) ? Phrase(3) : TextLine();
    if (r_.Chance(40)) {
      line += "|";
      if (r_.Chance(80))
        line += Phrase(3);
      if (r_.Chance(40))
        line += "|" + Phrase(2);
    }
    return line;
  }

  std::string Source() {
    std::string s;
    const int lines = 1 + r_.Below(60);
    for (int i = 0; i < lines; ++i) {
      const int roll = r_.Below(100);
      if (roll < 45)
        s += CommandLine();
      else if (roll < 92)
        s += TextLine();
      // else an empty line
      const int end = r_.Below(100);
      s += end < 80 ? "\r\n" : end < 90 ? "\n" : end < 97 ? "\r" : "\r\n\r\n";
    }
    if (r_.Chance(10))
      s.pop_back(); // a last line without a full line break
    if (r_.Chance(3))
      s.insert(static_cast<std::size_t>(r_.Below(static_cast<int>(s.size()) + 1)), 1, '\0');
    return s;
  }

  std::string Template(const std::string& name) {
    if (r_.Chance(50))
      return "<!--" + name + "-->";
    std::string t;
    const int lines = r_.Below(4);
    for (int i = 0; i < lines; ++i)
      t += "<P>" + name + " " + std::to_string(i) + "</P>" + (r_.Chance(50) ? "\r\n" : "\n");
    return t;
  }

private:
  Random r_;
};

} // namespace

RandomProject MakeRandomProject(std::uint32_t seed) {
  Maker m(seed);
  RandomProject p;
  p.Source = m.Source();
  for (const char* name : {"BeforeContent.htm", "BeforeTOC.htm", "BeforeTOCButtons.htm",
                           "BeforeGlossary.htm", "BeforeSection.htm"})
    p.Templates[name] = m.Template(name);
  return p;
}

} // namespace differential
