// The command-line splitter and ProcessLine in both passes on arbitrary
// lines: every line of the input is made a command line (a "~" put in front
// when it has none) and read as the two passes read it.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "engine/command_line.h"
#include "engine/converter.h"
#include "fuzz_support.h"

using fuzzing::Fail;

namespace {

// The splitter's fields against the line they came from.
void CheckFields(const std::string& line) {
  const CommandFields c = SplitCommandLine(line);
  const std::size_t equals = line.find('=');
  if ((c.Kind == CommandFields::Bare) != (equals == std::string::npos))
    Fail("a line with \"=\" read as a bare command, or one without it as more: " + line);
  if (c.Kind == CommandFields::Bare)
    return;
  if (c.NameLength != equals + 1)
    Fail("the name does not end at the first \"=\": " + line);
  if ((c.Kind == CommandFields::EmptyCommand) != (equals + 1 == line.size()))
    Fail("empty command misread: " + line);
  if (c.Kind != CommandFields::Parameter)
    return;
  const std::size_t bar = line.find('|');
  const std::size_t end = bar == std::string::npos ? line.size() : bar;
  if (c.F1.empty() || c.F1 != line.substr(equals + 1, end - equals - 1))
    Fail("the first field is not the text between \"=\" and the first \"|\": " + line);
  if (bar == std::string::npos && !(c.F2.empty() && c.F3.empty()))
    Fail("fields after a bar that is not there: " + line);
  if (bar != std::string::npos && c.F2.empty())
    Fail("an empty second field stands for the first: " + line);
  if (c.F1.size() + c.F2.size() + c.F3.size() > 2 * line.size())
    Fail("fields longer than the line: " + line);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  TStringList source;
  source.SetText(std::string(reinterpret_cast<const char*>(data), size));
  TStringList lines;
  for (int i = 0; i < source.Count(); ++i) {
    const std::string& line = source.Get(i);
    lines.Add(!line.empty() && line[0] == '~' ? line : "~" + line);
    CheckFields(lines.Get(i));
  }

  fuzzing::QuietHost host;
  TConverter converter(host);
  converter.ProcessInline = true;
  converter.UseTableElem = true;
  converter.UseSectionSep = true;
  converter.ContentFileName = "/out/Guide.cnt.htm";
  converter.GlossaryItems = std::make_unique<TStringList>();
  converter.GlossaryItemsByLength = std::make_unique<TStringList>();
  converter.SectionDefinedItems = std::make_unique<TStringList>();
  converter.ParagraphDefinedItems = std::make_unique<TStringList>();
  converter.BeforeSectionLines = std::make_unique<TStringList>();
  converter.BeforeSectionLines->Add("<HR>");
  converter.Crono.Start();
  converter.ProcessSourceLines(lines);

  const int count = lines.Count();
  if (converter.OutlineLevel < 0 || converter.OutlineLevel > 9 || converter.MaxOutlineLevel < 0 ||
      converter.MaxOutlineLevel > 9)
    Fail("outline level out of 0..9");
  if (converter.HeaderCount > count || converter.GlossaryItems->Count() > count ||
      converter.GlossaryItems->Count() > 65535)
    Fail("more headers or glossary items than lines");
  if (converter.GlossaryItemsByLength->Count() != converter.GlossaryItems->Count())
    Fail("the longest-first copy lost or gained items");
  for (int i = 0; i < converter.GlossaryItems->Count(); ++i) {
    const std::string& item = converter.GlossaryItems->Get(i);
    if (item.empty() || item.find('|') != std::string::npos)
      Fail("a finished glossary item that is empty or still holds its topic: " + item);
    const int reference = converter.GetReferenceIndex(i);
    if (reference < -1 || reference >= converter.GlossaryItems->Count())
      Fail("a common topic outside the glossary");
  }
  if (converter.InCodeBlock &&
      converter.ContentStorage.Content().find("CodeCell") == std::string::npos)
    Fail("inside a code block that was never opened");
  return 0;
}
