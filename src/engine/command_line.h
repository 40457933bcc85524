// Reading a command line: the name and the three parameter fields.
#pragma once

#include <cstddef>
#include <string>
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
  std::string F1, F2, F3;
};

/// Splits LINE into its name and fields, with the warnings of a malformed line.
CommandFields SplitCommandLine(const std::string& line);

/// Whether the line's name (its first NAME_LENGTH characters) is LITERAL
/// apart from ASCII letter case.
bool CommandNameIs(std::string_view line, std::size_t nameLength, std::string_view literal);

/// The level form ~Sd=: at least 4 characters, the second from 0x53 to 0x7F,
/// the third a digit.
bool IsLevelForm(std::string_view line);
