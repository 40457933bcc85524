#include "golden/golden_case.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <set>
#include <sstream>

namespace golden {

namespace {

std::string At(int lineNo) {
  return "line " + std::to_string(lineNo) + ": ";
}

int HexValue(char c) {
  if (c >= '0' && c <= '9')
    return c - '0';
  if (c >= 'a' && c <= 'f')
    return c - 'a' + 10;
  if (c >= 'A' && c <= 'F')
    return c - 'A' + 10;
  return -1;
}

// One line of the case file with its 1-based number.
struct Line {
  int Number;
  std::string Text;
};

struct Section {
  std::string Name;
  int HeaderLine;
  std::vector<Line> Lines;
};

// The lines of TEXT: LF ends a line, a CR before it is dropped; a final LF
// does not start another line.
std::vector<Line> SplitLines(const std::string& text) {
  std::vector<Line> lines;
  std::size_t start = 0;
  int number = 1;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    std::string line =
        text.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (!line.empty() && line.back() == '\r')
      line.pop_back();
    lines.push_back({number++, line});
    if (end == std::string::npos)
      break;
    start = end + 1;
  }
  return lines;
}

std::string JoinUnescaped(const Section& section, const std::string& after) {
  std::string joined;
  for (const Line& line : section.Lines)
    joined += Unescape(line.Text, line.Number) + after;
  return joined;
}

std::vector<std::string> Words(const std::string& text) {
  std::vector<std::string> words;
  std::istringstream in(text);
  std::string word;
  while (in >> word)
    words.push_back(word);
  return words;
}

const std::string kTimePrefix = "* Time: ";
const std::string kZeroTime = "00:00:00";

} // namespace

const std::vector<std::string>& TemplateNames() {
  static const std::vector<std::string> names = {"BeforeContent.htm", "BeforeTOC.htm",
                                                 "BeforeTOCButtons.htm", "BeforeGlossary.htm",
                                                 "BeforeSection.htm"};
  return names;
}

std::string DefaultTemplate(const std::string& name) {
  if (name == "BeforeContent.htm")
    return "<!--content-->";
  if (name == "BeforeTOC.htm")
    return "<!--toc-->";
  if (name == "BeforeTOCButtons.htm")
    return "<!--buttons-->";
  if (name == "BeforeGlossary.htm")
    return "<!--glossary-->";
  if (name == "BeforeSection.htm")
    return "<HR>";
  throw CaseError("unknown template \"" + name + "\"");
}

std::string Unescape(const std::string& text, int lineNo) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c != '\\') {
      out += c;
      continue;
    }
    if (i + 1 >= text.size())
      throw CaseError(At(lineNo) + "a lone backslash ends the line (write \\\\ for one backslash)");
    char e = text[++i];
    switch (e) {
    case 'r':
      out += '\r';
      break;
    case 'n':
      out += '\n';
      break;
    case 't':
      out += '\t';
      break;
    case '0':
      out += '\0';
      break;
    case '\\':
      out += '\\';
      break;
    case 'x': {
      int hi = i + 1 < text.size() ? HexValue(text[i + 1]) : -1;
      int lo = i + 2 < text.size() ? HexValue(text[i + 2]) : -1;
      if (hi < 0 || lo < 0)
        throw CaseError(At(lineNo) + "\\x needs two hex digits");
      out += static_cast<char>(hi * 16 + lo);
      i += 2;
      break;
    }
    default:
      throw CaseError(At(lineNo) + "unknown escape \\" + std::string(1, e) +
                      " (allowed: \\r \\n \\t \\0 \\\\ \\xHH)");
    }
  }
  return out;
}

CaseOptions ParseOptions(const std::string& words, int lineNo) {
  CaseOptions options;
  bool kindGiven = false;
  std::set<std::string> seen;
  for (const std::string& word : Words(words)) {
    std::string key = word.substr(0, word.find('='));
    if (!seen.insert(key).second)
      throw CaseError(At(lineNo) + "option \"" + key + "\" given twice");
    if (word == "fast" || word == "full") {
      if (kindGiven)
        throw CaseError(At(lineNo) + "give only one of \"fast\" and \"full\"");
      kindGiven = true;
      options.Fast = word == "fast";
    } else if (word == "pretty") {
      options.MakeCodePretty = true;
    } else if (word == "no-table") {
      options.UseTable = false;
    } else if (word == "no-sep") {
      options.UseSectionSep = false;
    } else if (word == "no-project-options") {
      options.UseProjectOptions = false;
    } else if (key == "abort-at-pump" && word.size() > key.size() + 1) {
      std::string number = word.substr(key.size() + 1);
      if (number.size() > 6 ||
          !std::all_of(number.begin(), number.end(), [](char c) { return c >= '0' && c <= '9'; }))
        throw CaseError(At(lineNo) + "abort-at-pump needs a positive number, not \"" + number +
                        "\"");
      options.AbortAtPump = std::stoi(number);
      if (options.AbortAtPump < 1)
        throw CaseError(At(lineNo) + "abort-at-pump counts from 1");
    } else {
      throw CaseError(At(lineNo) + "unknown option \"" + word + "\"");
    }
  }
  return options;
}

GoldenCase ParseCase(const std::string& text) {
  GoldenCase result;
  std::vector<Section> sections;
  std::string description;
  for (const Line& line : SplitLines(text)) {
    if (line.Text.rfind("===", 0) == 0) {
      if (line.Text.size() < 5 || line.Text[3] != ' ' || line.Text[4] == ' ')
        throw CaseError(At(line.Number) +
                        "a section line is \"=== \" followed by the section name");
      std::string name = line.Text.substr(4);
      while (!name.empty() && name.back() == ' ')
        name.pop_back();
      sections.push_back({name, line.Number, {}});
    } else if (sections.empty()) {
      description += line.Text + "\n";
    } else {
      sections.back().Lines.push_back(line);
    }
  }
  result.Description = description;

  for (const std::string& name : TemplateNames())
    result.Templates[name] = DefaultTemplate(name);

  std::set<std::string> seen;
  bool haveSource = false;
  for (Section& section : sections) {
    while (!section.Lines.empty() && section.Lines.back().Text.empty())
      section.Lines.pop_back();
    const std::string& name = section.Name;
    const int at = section.HeaderLine;
    if (!seen.insert(name).second)
      throw CaseError(At(at) + "section \"" + name + "\" given twice");

    if (name == "options") {
      std::string words;
      for (const Line& line : section.Lines)
        words += line.Text + " ";
      result.Options = ParseOptions(words, at);
    } else if (name == "source" || name == "source-bytes") {
      if (haveSource)
        throw CaseError(At(at) + "give only one of \"source\" and \"source-bytes\"");
      haveSource = true;
      result.Source = JoinUnescaped(section, name == "source" ? "\r\n" : "");
    } else if (name.rfind("template ", 0) == 0) {
      std::string file = name.substr(9);
      const auto& names = TemplateNames();
      if (std::find(names.begin(), names.end(), file) == names.end())
        throw CaseError(At(at) + "unknown template \"" + file +
                        "\" (BeforeContent.htm, BeforeTOC.htm, BeforeTOCButtons.htm, "
                        "BeforeGlossary.htm or BeforeSection.htm)");
      result.Templates[file] = JoinUnescaped(section, "");
    } else if (name == "content") {
      result.Content = JoinUnescaped(section, "");
    } else if (name == "toc") {
      result.Toc = JoinUnescaped(section, "");
    } else if (name == "tocbtn") {
      result.TocButtons = JoinUnescaped(section, "");
    } else if (name == "gls") {
      result.Glossary = JoinUnescaped(section, "");
    } else if (name == "log") {
      std::vector<std::string> log;
      for (const Line& line : section.Lines)
        log.push_back(Unescape(line.Text, line.Number));
      result.Log = log;
    } else if (name == "progress") {
      if (section.Lines.size() != 1)
        throw CaseError(At(at) + "the progress section holds exactly one line");
      result.Progress = Unescape(section.Lines.front().Text, section.Lines.front().Number);
    } else {
      throw CaseError(At(at) + "unknown section \"" + name + "\"");
    }
  }
  if (!haveSource)
    throw CaseError("the case has no \"source\" or \"source-bytes\" section");
  return result;
}

GoldenCase LoadCase(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in)
    throw CaseError(path + ": cannot be read");
  std::ostringstream text;
  text << in.rdbuf();
  try {
    return ParseCase(text.str());
  } catch (const CaseError& e) {
    throw CaseError(path + ": " + e.what());
  }
}

std::string Escape(const std::string& bytes) {
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 8);
  for (char c : bytes) {
    unsigned char u = static_cast<unsigned char>(c);
    switch (c) {
    case '\r':
      out += "\\r";
      break;
    case '\n':
      out += "\\n";
      break;
    case '\t':
      out += "\\t";
      break;
    case '\0':
      out += "\\0";
      break;
    case '\\':
      out += "\\\\";
      break;
    default:
      if (u < 0x20 || u > 0x7E) {
        char hex[5];
        std::snprintf(hex, sizeof hex, "\\x%02X", u);
        out += hex;
      } else {
        out += c;
      }
    }
  }
  return out;
}

std::string NormaliseLogLine(const std::string& line) {
  if (line.rfind(kTimePrefix, 0) == 0)
    return kTimePrefix + kZeroTime;
  return line;
}

std::string NormaliseProgress(const std::string& caption) {
  const std::string marker = "Time: ";
  std::size_t at = caption.rfind(marker);
  if (at == std::string::npos)
    return caption;
  return caption.substr(0, at + marker.size()) + kZeroTime;
}

std::string DescribeMismatch(const std::string& what, const std::string& expected,
                             const std::string& actual) {
  if (expected == actual)
    return {};
  std::size_t at = 0;
  while (at < expected.size() && at < actual.size() && expected[at] == actual[at])
    ++at;
  const std::size_t before = 40, after = 80;
  std::size_t from = at > before ? at - before : 0;
  auto context = [&](const std::string& text) {
    if (from >= text.size())
      return std::string("(ends here)");
    std::string shown =
        Escape(text.substr(from, at - from)) + " |>| " +
        Escape(text.substr(at, std::min(after, text.size() - std::min(at, text.size()))));
    return (from > 0 ? "..." : "") + shown + (at + after < text.size() ? "..." : "");
  };
  std::ostringstream report;
  report << what << " differs from the case at byte " << at << " (expected " << expected.size()
         << " bytes, got " << actual.size() << ").\n"
         << "  context, |>| marks the first difference:\n"
         << "  expected: " << context(expected) << "\n"
         << "  actual:   " << context(actual) << "\n"
         << "expected " << what << ":\n"
         << Escape(expected) << "\n"
         << "actual " << what << ":\n"
         << Escape(actual) << "\n";
  return report.str();
}

std::string DescribeLogMismatch(const std::vector<std::string>& expected,
                                const std::vector<std::string>& actual) {
  if (expected == actual)
    return {};
  std::size_t first = 0;
  while (first < expected.size() && first < actual.size() && expected[first] == actual[first])
    ++first;
  std::ostringstream report;
  report << "the log differs from the case at line " << first + 1 << " (expected "
         << expected.size() << " lines, got " << actual.size() << ").\n";
  auto list = [&](const char* title, const std::vector<std::string>& lines) {
    report << title << ":\n";
    for (std::size_t i = 0; i < lines.size(); ++i)
      report << (i == first ? ">> " : "   ") << Escape(lines[i]) << "\n";
    if (first >= lines.size())
      report << ">> (no more lines)\n";
  };
  list("expected log", expected);
  list("actual log", actual);
  return report.str();
}

} // namespace golden
