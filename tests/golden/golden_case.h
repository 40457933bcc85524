// Golden case files (see README.md): parsing of sections, escapes and
// options, and the readable reports of a mismatch.
#pragma once

#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace golden {

/// A malformed case file; the message names the line.
class CaseError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

/// The window's check boxes and the conversion kind, as the case sets them.
struct CaseOptions {
  bool Fast = false;
  bool MakeCodePretty = false;
  bool UseTable = true;
  bool UseSectionSep = true;
  bool UseProjectOptions = true;
  /// The pump (1-based) that requests the abort; 0 for none.
  int AbortAtPump = 0;
};

struct GoldenCase {
  std::string Description;
  CaseOptions Options;
  /// The bytes of Guide.txt.
  std::string Source;
  /// All five templates, by file name: the case's or the defaults.
  std::map<std::string, std::string> Templates;
  std::optional<std::string> Content;
  std::optional<std::string> Toc;
  std::optional<std::string> TocButtons;
  std::optional<std::string> Glossary;
  std::optional<std::vector<std::string>> Log;
  std::optional<std::string> Progress;
};

/// The five template file names, in the order the driver loads them.
const std::vector<std::string>& TemplateNames();
/// The default text of a template (README.md); throws for another name.
std::string DefaultTemplate(const std::string& name);

/// TEXT with its escapes replaced; throws CaseError naming LINE_NO.
std::string Unescape(const std::string& text, int lineNo);
/// The words of an options section; throws CaseError naming LINE_NO.
CaseOptions ParseOptions(const std::string& words, int lineNo);
/// The whole case file; throws CaseError for a malformed one.
GoldenCase ParseCase(const std::string& text);
/// ParseCase of the file at PATH; the error message starts with the path.
GoldenCase LoadCase(const std::string& path);

/// BYTES in the escaped form of case files (CR, LF, tab, NUL, backslash and
/// every byte outside 0x20..0x7E escaped).
std::string Escape(const std::string& bytes);
/// A log line "* Time: <anything>" becomes "* Time: 00:00:00".
std::string NormaliseLogLine(const std::string& line);
/// The time after the last "Time: " of a progress caption becomes 00:00:00.
std::string NormaliseProgress(const std::string& caption);

/// Empty when EXPECTED equals ACTUAL; else a report naming WHAT, the first
/// differing byte with its context, and both texts in escaped form.
std::string DescribeMismatch(const std::string& what, const std::string& expected,
                             const std::string& actual);
/// Empty when the two logs are equal; else both logs, line by line, with the
/// first differing line marked.
std::string DescribeLogMismatch(const std::vector<std::string>& expected,
                                const std::vector<std::string>& actual);

} // namespace golden
