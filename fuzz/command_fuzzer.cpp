// The command-line splitter and ProcessLine in both passes on arbitrary
// lines: every line of the input is made a command line (a "~" put in front
// when it has none) and read as the two passes read it.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/command_line.h"
#include "engine/conversion.h"
#include "fuzz_support.h"

using fuzzing::Fail;

namespace {

// The splitter's fields against the line they came from.
void CheckFields(std::string_view line) {
  const CommandFields c = SplitCommandLine(line);
  const std::size_t equals = line.find('=');
  const std::string quoted(line);
  if ((c.Kind == CommandFields::Bare) != (equals == std::string_view::npos))
    Fail("a line with \"=\" read as a bare command, or one without it as more: " + quoted);
  if (c.Kind == CommandFields::Bare)
    return;
  if (c.NameLength != equals + 1)
    Fail("the name does not end at the first \"=\": " + quoted);
  if ((c.Kind == CommandFields::EmptyCommand) != (equals + 1 == line.size()))
    Fail("empty command misread: " + quoted);
  if (c.Kind != CommandFields::Parameter)
    return;
  const std::size_t bar = line.find('|');
  const std::size_t end = bar == std::string_view::npos ? line.size() : bar;
  if (c.F1.empty() || c.F1 != line.substr(equals + 1, end - equals - 1))
    Fail("the first field is not the text between \"=\" and the first \"|\": " + quoted);
  if (bar == std::string_view::npos && !(c.F2.empty() && c.F3.empty()))
    Fail("fields after a bar that is not there: " + quoted);
  if (bar != std::string_view::npos && c.F2.empty())
    Fail("an empty second field stands for the first: " + quoted);
  if (c.F1.size() + c.F2.size() + c.F3.size() > 2 * line.size())
    Fail("fields longer than the line: " + quoted);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // The lines as the source reader splits them, each made a command line.
  const SourceText input(std::string(reinterpret_cast<const char*>(data), size));
  std::string joined;
  for (int i = 0; i < input.Count(); ++i) {
    const std::string_view line = input.Line(i);
    if (line.empty() || line[0] != '~')
      joined += '~';
    joined += line;
    joined += "\r\n";
  }
  const SourceText lines(joined);
  for (int i = 0; i < lines.Count(); ++i)
    CheckFields(lines.Line(i));

  fuzzing::QuietHost host;
  ConversionOptions options;
  options.OpenIndex = false;
  const bool abort = false;
  Conversion conversion(host, options, "Guide.cnt.htm", "<HR>\r\n", abort);
  Pages pages;
  conversion.ProcessSourceLines(lines, pages);

  const int count = lines.Count();
  if (conversion.MaxOutlineLevel() < 0 || conversion.MaxOutlineLevel() > 9)
    Fail("outline level out of 0..9");
  const Glossary& glossary = conversion.GlossaryItems();
  if (conversion.HeaderCount() > count || glossary.Count() > count ||
      glossary.Count() > Glossary::kMaxItems)
    Fail("more headers or glossary items than lines");
  if (host.MinSourceLine < 0 || host.MaxSourceLine > count)
    Fail("a log line about a source line that is not there");
  std::vector<bool> seen(static_cast<std::size_t>(glossary.Count()), false);
  for (int i = 0; i < glossary.Count(); ++i) {
    const std::string_view item = glossary.Expression(i);
    if (item.empty() || item.find('|') != std::string_view::npos)
      Fail("a finished glossary item that is empty or still holds its topic: " + std::string(item));
    const int reference = glossary.Reference(i);
    if (reference < -1 || reference >= glossary.Count())
      Fail("a common topic outside the glossary");
    const int byLength = glossary.ByLengthItem(i);
    if (byLength < 0 || byLength >= glossary.Count() || seen[static_cast<std::size_t>(byLength)])
      Fail("the longest-first order lost or repeated an item");
    seen[static_cast<std::size_t>(byLength)] = true;
    if (i > 0 && glossary.Expression(glossary.ByLengthItem(i - 1)).size() <
                     glossary.Expression(byLength).size())
      Fail("the longest-first order is not longest first");
  }
  return 0;
}
