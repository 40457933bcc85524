// Reading a command line: its name and its parameter fields, as views into
// the line.
#pragma once

#include <cstddef>
#include <string_view>

struct CommandFields {
  enum Form {
    Bare,             // no "=": the whole line is the command
    Parameter,        // name up to the first "=", fields below
    EmptyCommand,     // the first "=" is the last character
    InvalidSyntax,    // a line with "=" of at most 3 characters
    InvalidSyntaxBar, // the first "|" stands before the first "="
    EmptyParameter,   // f1 is empty
  };
  Form Kind = Bare;
  std::size_t NameLength = 0; // characters of the name, "=" included
  std::string_view F1, F2, F3;
};

/// Splits LINE into its name and fields.
CommandFields SplitCommandLine(std::string_view line);

/// Head = TEXT before its first "|", tail = after it; no "|": TEXT and "".
void SplitAtBar(std::string_view text, std::string_view& head, std::string_view& tail);

/// The level form ~Sd=: at least 4 characters, the second from 0x53 to 0x7F,
/// the third a digit.
bool IsLevelForm(std::string_view line);

/// The commands, named by a table lookup on the case-folded name.
enum class Command {
  Unknown,
  // with a parameter
  IF,
  IP,
  Title,
  EW,
  S,
  SDeeper,
  SUp,
  GS,
  GSH,
  GP,
  GPH,
  MIS,
  MIP,
  MIUS,
  MIUP,
  ASS,
  ASP,
  ASUS,
  ASUP,
  WARNS,
  WARNP,
  NOTES,
  NOTEP,
  LIS,
  POMakeCodePretty,
  POUseTableElem,
  POUseSectionSep,
  POSearchIndex,
  // bare
  PPlus,
  PMinus,
  LIPlus,
  LIMinus,
  LISMinus,
  CODESPlus,
  CODESMinus,
  CODEPPlus,
  CODEPMinus,
  SMinus,
  BP,
  SEP,
};

/// The parameter command named by the first NAME_LENGTH characters of LINE
/// ("=" included), ignoring ASCII case.
Command ParameterCommand(std::string_view name);
/// The bare command that LINE is, ignoring ASCII case.
Command BareCommand(std::string_view line);
