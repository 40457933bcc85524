// What goes between the engine and the front end that drives it: the options
// in, progress as numbers, log lines with the source line they are about, and
// the outcome of a run.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct ConversionOptions {
  bool Fast = false; ///< no links to the glossary
  /// The ~PO_ commands of the source may replace the three options below.
  bool UseProjectOptions = true;
  bool MakeCodePretty = false;
  bool UseTableElem = true;
  bool UseSectionSep = true;
  /// Also write NAME.search.js, the index the site's search reads.
  bool SearchIndex = false;
  /// Open Index.htm in the destination after saving.
  bool OpenIndex = true;
  /// Least time between two progress reports; 0 reports after every text line.
  std::uint32_t ProgressIntervalMs = 30;
};

struct ConversionProgress {
  int Line = 0;      ///< 1-based number of the last text line converted
  int LineCount = 0; ///< lines of the source
  double ElapsedSeconds = 0;
};

/// The progress label's caption: "Conversion progress: I lines from N. Time: hh:nn:ss".
std::string ProgressCaption(const ConversionProgress& progress);

enum class ConversionFailure {
  None,
  Refused,         ///< an input check said no (a message box told the user)
  SameDirectories, ///< source and destination folders are one
  Exception,       ///< a template or the source could not be read, or a page overflowed
  SaveFailed,      ///< a page could not be written
  OpenFailed,      ///< the pages were written, Index.htm could not be opened
};

struct ConversionResult {
  ConversionFailure Failure = ConversionFailure::None;
  std::string FailureDescription;
  std::string FailureParameter;
  bool FilesSaved = false; ///< the four pages were written whole
  bool Aborted = false;
  std::vector<std::string> FilesWritten; ///< the four pages, then the search index if any
  int LineCount = 0;
  int HeaderCount = 0;
  int GlossaryItemCount = 0;
  int GlossaryLinkCount = 0;
  int HiddenGlossaryItemCount = 0;
};

/// What the converter needs from the front end that drives it.
class IConverterHost {
public:
  virtual ~IConverterHost() = default;
  /// One line of the log ("* " + text, or empty). SOURCE_LINE is the 1-based
  /// source line that a warning is about, 0 when it is about none.
  virtual void LogLine(const std::string& line, int sourceLine) = 0;
  /// The content pass's progress, at most every ProgressIntervalMs, after the
  /// first text line and after the last; the host may let pending user events
  /// (abort, close, menus) run here.
  virtual void Progress(const ConversionProgress& progress) = 0;
};
