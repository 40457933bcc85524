// Command lines: field splitting, both passes, the dispatch order
// and every command.
#include <array>

#include "engine/command_line.h"
#include "engine/converter.h"
#include "lib/error.h"
#include "lib/text.h"

namespace {

enum HeaderCommand { hcSame, hcDeeper, hcUp, hcLevel };

// The block commands: name, sentence maker, layout kind, indent.
enum BlockSentence { bsTopic, bsUrl, bsWarning, bsNote };
struct BlockCommand {
  const char* Name;
  BlockSentence Sentence;
  ReferenceKind Reference;
  int Kind;
  bool Indent;
};
constexpr std::array<BlockCommand, 12> kBlockCommands{{
    {"~MIS=", bsTopic, rkMoreInformation, lkMore, false},
    {"~MIP=", bsTopic, rkMoreInformation, lkMore, true},
    {"~MIUS=", bsUrl, rkMoreInformation, lkMore, false},
    {"~MIUP=", bsUrl, rkMoreInformation, lkMore, true},
    {"~ASS=", bsTopic, rkAlsoSee, lkMore, false},
    {"~ASP=", bsTopic, rkAlsoSee, lkMore, true},
    {"~ASUS=", bsUrl, rkAlsoSee, lkMore, false},
    {"~ASUP=", bsUrl, rkAlsoSee, lkMore, true},
    {"~WARNS=", bsWarning, rkMoreInformation, lkWarn, false},
    {"~WARNP=", bsWarning, rkMoreInformation, lkWarn, true},
    {"~NOTES=", bsNote, rkMoreInformation, lkWarn, false},
    {"~NOTEP=", bsNote, rkMoreInformation, lkWarn, true},
}};

bool IsBare(const std::string& line, std::string_view literal) {
  return line.size() == literal.size() && SameText(line, literal);
}

const BlockCommand* FindBlockCommand(const std::string& line, std::size_t nameLength) {
  for (const BlockCommand& b : kBlockCommands)
    if (CommandNameIs(line, nameLength, b.Name))
      return &b;
  return nullptr;
}

std::string Quoted(const std::string& line) {
  return "\"" + line + "\".";
}

} // namespace

// --- reading a command line ------------------------------------------------------

bool CommandNameIs(std::string_view line, std::size_t nameLength, std::string_view literal) {
  return nameLength == literal.size() && line.size() >= nameLength &&
         SameText(line.substr(0, nameLength), literal);
}

bool IsLevelForm(std::string_view line) {
  if (line.size() < 4)
    return false;
  auto second = static_cast<unsigned char>(line[1]);
  return second >= 0x53 && second <= 0x7F && IsAsciiDigit(static_cast<unsigned char>(line[2]));
}

CommandFields SplitCommandLine(const std::string& line) {
  CommandFields c;
  const std::size_t n = line.size();
  const std::size_t equals = line.find('=');
  if (equals == std::string::npos)
    return c; // Bare
  c.NameLength = equals + 1;
  if (equals + 1 == n) {
    c.Kind = CommandFields::EmptyCommand;
    return c;
  }
  if (n <= 3) {
    c.Kind = CommandFields::InvalidSyntax;
    return c;
  }
  const std::size_t bar = line.find('|');
  if (bar == std::string::npos) {
    c.F1 = line.substr(equals + 1);
  } else {
    if (bar < equals) {
      c.Kind = CommandFields::InvalidSyntaxBar;
      return c;
    }
    c.F1 = line.substr(equals + 1, bar - equals - 1);
    if (bar + 1 < n) {
      TConverter::SplitAtBar(line.substr(bar + 1), c.F2, c.F3);
      if (c.F2.empty())
        c.F2 = c.F1;
    } else {
      c.F2 = c.F1;
    }
  }
  c.Kind = c.F1.empty() ? CommandFields::EmptyParameter : CommandFields::Parameter;
  return c;
}

void TConverter::SplitAtBar(const std::string& text, std::string& head, std::string& tail) {
  const std::size_t bar = text.find('|');
  if (bar == std::string::npos) {
    head = text;
    tail.clear();
  } else {
    head = text.substr(0, bar);
    tail = text.substr(bar + 1);
  }
}

bool TConverter::CheckLineCharacters(const std::string& line, bool report) {
  for (char ch : line) {
    auto c = static_cast<unsigned char>(ch);
    if (c < 32 || c > 127) {
      if (report)
        AddLogLine("Warning: invalid header / bookmark name " + Quoted(line));
      return false;
    }
  }
  return true;
}

// --- ProcessLine ------------------------------------------------------------------

void TConverter::ProcessLine(const std::string& line, bool collectOnly) {
  CommandFields c = SplitCommandLine(line);
  switch (c.Kind) {
  case CommandFields::EmptyCommand:
    AddLogLine("Warning: empty command " + Quoted(line));
    return;
  case CommandFields::Bare:
    if (!collectOnly && !DispatchBareCommand(line))
      AddLogLine("Warning: unknown paragraph command " + Quoted(line));
    return;
  case CommandFields::InvalidSyntax:
    AddLogLine("Warning: invalid syntax " + Quoted(line));
    return;
  case CommandFields::InvalidSyntaxBar:
    AddLogLine("Warning: invalid syntax" + Quoted(line));
    return;
  case CommandFields::EmptyParameter:
    AddLogLine("Warning: empty command parameter " + Quoted(line));
    return;
  case CommandFields::Parameter:
    break;
  }

  const std::size_t p = c.NameLength;
  const bool hiddenGlossary = CommandNameIs(line, p, "~GSH=") || CommandNameIs(line, p, "~GPH=");
  const bool glossary =
      hiddenGlossary || CommandNameIs(line, p, "~GS=") || CommandNameIs(line, p, "~GP=");
  if (glossary) {
    c.F3 = c.F2;
    c.F2 = c.F1;
  }

  if (collectOnly) {
    if (c.F2.empty())
      return;
    const bool header = CommandNameIs(line, p, "~S=") || CommandNameIs(line, p, "~S+=") ||
                        CommandNameIs(line, p, "~S-=") || IsLevelForm(line);
    if (header || glossary)
      RegisterGlossaryItem(line, c.F2, c.F3, hiddenGlossary);
    return;
  }

  if (!DispatchParameterCommand(line, p, c.F1, c.F2))
    AddLogLine("Warning: unknown paragraph command " + Quoted(line));
}

void TConverter::Emit(const std::string& html) {
  Append(ContentStorage, html);
}

// A page that cannot take more text must not be saved with a hole in it: the
// failure recorded by AddText ends the conversion through the exception path.
void TConverter::Append(TMemoryStorage& storage, const std::string& text) {
  storage.AddText(text);
  if (FunStatContext.Status > fsWarning)
    throw TOrvanelError("Failed to add text to an output file: " + FunStatContext.Description);
}

void TConverter::EmitBlock(const std::string& html, int kind, bool indent) {
  Emit(MakePretty(WrapInLayoutTable(html, kind, indent) + "<BR>"));
}

void TConverter::ApplyProjectOption(bool& option, const std::string& value) {
  if (host_.UseProjectOptionsChecked())
    option = SameText(value, "TRUE");
}

bool TConverter::DispatchParameterCommand(const std::string& line, std::size_t p,
                                          const std::string& f1, const std::string& f2) {
  auto is = [&](std::string_view literal) { return CommandNameIs(line, p, literal); };

  if (is("~IF=")) {
    Emit(MakePretty(f1));
  } else if (is("~IP=")) {
    // accepted and ignored
  } else if (is("~Title=")) {
    Emit(MakeTitleParagraph(f1));
  } else if (is("~EW=")) {
    EWText = f1;
  } else if (is("~S=")) {
    ProcessHeaderCommand(line, hcSame, f1, f2);
  } else if (is("~S+=")) {
    ProcessHeaderCommand(line, hcDeeper, f1, f2);
  } else if (is("~S-=")) {
    ProcessHeaderCommand(line, hcUp, f1, f2);
  } else if (IsLevelForm(line)) {
    ProcessHeaderCommand(line, hcLevel, f1, f2);
  } else if (is("~GS=") || is("~GSH=") || is("~GP=") || is("~GPH=")) {
    if (!CheckLineCharacters(line, true)) {
      AddLogLine("Warning: invalid bookmark name \"" + line + "\". Can't add item.");
    } else if (is("~GS=") || is("~GSH=")) {
      EnterSectionTopic(f2);
    } else {
      EnterParagraphTopic(f2);
    }
  } else if (const BlockCommand* b = FindBlockCommand(line, p)) {
    switch (b->Sentence) {
    case bsTopic:
      EmitBlock(MakeTopicReference(f1, b->Reference), b->Kind, b->Indent);
      break;
    case bsUrl:
      EmitBlock(MakeUrlReference(f1, b->Reference), b->Kind, b->Indent);
      break;
    case bsWarning:
      EmitBlock(MakeWarningParagraph(f1), b->Kind, b->Indent);
      break;
    case bsNote:
      EmitBlock(MakeNoteParagraph(f1), b->Kind, b->Indent);
      break;
    }
  } else if (is("~LIS=")) {
    Emit(MakePretty(MakeParagraph(f1, pkCaption) + "<UL>"));
  } else if (is("~PO_MakeCodePretty=")) {
    ApplyProjectOption(MakeCodePretty, f1);
  } else if (is("~PO_UseTableElem=")) {
    ApplyProjectOption(UseTableElem, f1);
  } else if (is("~PO_UseSectionSep=")) {
    ApplyProjectOption(UseSectionSep, f1);
  } else {
    return false;
  }
  return true;
}

bool TConverter::DispatchBareCommand(const std::string& line) {
  if (IsBare(line, "~P+")) {
    ProcessInline = true;
  } else if (IsBare(line, "~P-")) {
    ProcessInline = false;
  } else if (IsBare(line, "~LI+")) {
    Emit(MakePretty("<UL>"));
  } else if (IsBare(line, "~LI-")) {
    Emit(MakePretty("</UL>"));
  } else if (IsBare(line, "~LIS-")) {
    Emit(MakePretty("</UL><BR>"));
  } else if (IsBare(line, "~CODES+")) {
    Emit(MakePretty(BeginCodeBlock(false)));
  } else if (IsBare(line, "~CODES-")) {
    Emit(MakePretty(EndCodeBlock(false)));
  } else if (IsBare(line, "~CODEP+")) {
    Emit(MakePretty(BeginCodeBlock(true)));
  } else if (IsBare(line, "~CODEP-")) {
    Emit(MakePretty(EndCodeBlock(true)));
  } else if (IsBare(line, "~S-")) {
    if (OutlineLevel > 0)
      --OutlineLevel;
    else
      AddLogLine("Warning: header outline level can't be negative " + Quoted(line));
  } else if (IsBare(line, "~BP")) {
    Emit(MakePretty("<P>&nbsp;</P>"));
  } else if (IsBare(line, "~SEP")) {
    Emit(MakeParagraph("<HR ALIGN=\"CENTER\" WIDTH=\"50%\" SIZE=2 NOSHADE>", pkPlain));
  } else {
    return false;
  }
  return true;
}

// Header commands, content pass: level test, character check, anchor, new
// level, count, title, header paragraph, in that order.
void TConverter::ProcessHeaderCommand(const std::string& line, int command, const std::string& f1,
                                      const std::string& f2) {
  const int level = OutlineLevel;
  if (command == hcLevel) {
    const int target = line[2] - '0';
    if (target > level + 1) {
      AddLogLine("Warning: here, header outline level can be only between 0 and " +
                 std::to_string(level + 1) + " " + Quoted(line));
      return;
    }
  }
  if (!CheckLineCharacters(line, true)) {
    AddLogLine("Warning: invalid bookmark name \"" + line + "\". Can't add item.");
    return;
  }
  EnterSectionTopic(f2);

  int next = level;
  switch (command) {
  case hcDeeper:
    if (level >= 9) {
      AddLogLine("Warning: too many header outline levels " + Quoted(line));
      return;
    }
    next = level + 1;
    break;
  case hcUp:
    if (level <= 0) {
      AddLogLine("Warning: header outline level can't be negative " + Quoted(line));
      return;
    }
    next = level - 1;
    break;
  case hcLevel:
    next = line[2] - '0';
    break;
  default:
    break;
  }
  OutlineLevel = next;
  CountHeader();
  HeaderTitles[static_cast<std::size_t>(OutlineLevel)] = f1;
  Emit(MakeHeaderParagraph());
}
