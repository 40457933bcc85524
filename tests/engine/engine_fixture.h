// Both passes of a conversion over a few source lines, with the window's
// default options and without files: what the pages and the log hold.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "engine/conversion.h"
#include "support/test_support.h"

namespace engine_test {

class Engine {
public:
  explicit Engine(bool full = true) { host.Fast = !full; }

  /// Runs both passes over LINES (joined with CR LF) in a new conversion with
  /// empty pages; returns the content page.
  std::string Run(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines)
      text += line + "\r\n";
    return RunSource(text);
  }
  /// The same for source bytes as they are.
  std::string RunSource(const std::string& bytes) {
    host.Log.clear();
    host.LogSourceLines.clear();
    source = std::make_unique<SourceText>(bytes);
    pages = std::make_unique<Pages>();
    conversion =
        std::make_unique<Conversion>(host, host.Options(), "Guide.cnt.htm", BeforeSection, abort);
    conversion->ProcessSourceLines(*source, *pages);
    return Content();
  }
  void RequestAbort() { abort = true; }

  std::string Content() const { return std::string(pages->Content.View()); }
  std::string Toc() const { return std::string(pages->TOC.View()); }
  std::string Glossary() const { return std::string(pages->Glossary.View()); }
  std::string Buttons() const { return std::string(pages->TOCButtons.View()); }
  /// The finished glossary of the last run.
  const ::Glossary& Items() const { return conversion->GlossaryItems(); }
  const Conversion& Last() const { return *conversion; }

  /// The log lines written after "* Processing content...".
  std::vector<std::string> ContentLog() const {
    std::vector<std::string> out;
    bool on = false;
    for (const std::string& line : host.Log) {
      if (on)
        out.push_back(line);
      if (line == "* Processing content...")
        on = true;
    }
    return out;
  }
  /// The log lines written before "* There are N glossary items.".
  std::vector<std::string> CollectionLog() const {
    std::vector<std::string> out;
    for (const std::string& line : host.Log) {
      if (line.rfind("* There are ", 0) == 0)
        break;
      out.push_back(line);
    }
    return out;
  }

  testing_support::RecordingHost host;
  std::string BeforeSection = "<HR>\r\n";
  bool abort = false;
  std::unique_ptr<SourceText> source;
  std::unique_ptr<Pages> pages;
  std::unique_ptr<Conversion> conversion;
};

inline std::vector<std::string> Lines(std::initializer_list<const char*> lines) {
  return {lines.begin(), lines.end()};
}

} // namespace engine_test
