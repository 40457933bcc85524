// A converter with its lists created and the window's default options, run
// through ProcessSourceLines without the driver (no files involved).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "engine/converter.h"
#include "support/test_support.h"

namespace engine_test {

class Engine {
public:
  explicit Engine(bool full = true) {
    c.FastConversion = !full;
    c.ProcessInline = true;
    c.InCodeBlock = false;
    c.MakeCodePretty = false;
    c.UseTableElem = true;
    c.UseSectionSep = true;
    c.ContentFileName = "/out/Guide.cnt.htm";
    c.GlossaryItems = std::make_unique<TStringList>();
    c.GlossaryItemsByLength = std::make_unique<TStringList>();
    c.SectionDefinedItems = std::make_unique<TStringList>();
    c.ParagraphDefinedItems = std::make_unique<TStringList>();
    c.BeforeSectionLines = std::make_unique<TStringList>();
    c.BeforeSectionLines->Add("<HR>");
  }

  /// Runs both passes over LINES; returns what they added to the content.
  std::string Run(const std::vector<std::string>& lines) {
    TStringList list;
    for (const std::string& line : lines)
      list.Add(line);
    const std::size_t before = Content().size();
    host.Log.clear();
    c.Crono.Start();
    c.ProcessSourceLines(list);
    return Content().substr(before);
  }

  std::string Content() const { return c.ContentStorage.Content(); }
  std::string Toc() const { return c.TOCStorage.Content(); }
  std::string Glossary() const { return c.GlossaryStorage.Content(); }
  std::string Buttons() const { return c.TOCButtonsStorage.Content(); }

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
  TConverter c{host};
};

inline std::vector<std::string> Lines(std::initializer_list<const char*> lines) {
  return {lines.begin(), lines.end()};
}

} // namespace engine_test
