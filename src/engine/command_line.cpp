#include "engine/command_line.h"

#include "lib/text.h"

namespace {

struct Named {
  std::string_view Name;
  Command Code;
};

constexpr Named kParameterCommands[] = {
    {"~if=", Command::IF},
    {"~ip=", Command::IP},
    {"~title=", Command::Title},
    {"~ew=", Command::EW},
    {"~s=", Command::S},
    {"~s+=", Command::SDeeper},
    {"~s-=", Command::SUp},
    {"~gs=", Command::GS},
    {"~gsh=", Command::GSH},
    {"~gp=", Command::GP},
    {"~gph=", Command::GPH},
    {"~mis=", Command::MIS},
    {"~mip=", Command::MIP},
    {"~mius=", Command::MIUS},
    {"~miup=", Command::MIUP},
    {"~ass=", Command::ASS},
    {"~asp=", Command::ASP},
    {"~asus=", Command::ASUS},
    {"~asup=", Command::ASUP},
    {"~warns=", Command::WARNS},
    {"~warnp=", Command::WARNP},
    {"~notes=", Command::NOTES},
    {"~notep=", Command::NOTEP},
    {"~lis=", Command::LIS},
    {"~po_makecodepretty=", Command::POMakeCodePretty},
    {"~po_usetableelem=", Command::POUseTableElem},
    {"~po_usesectionsep=", Command::POUseSectionSep},
    {"~po_searchindex=", Command::POSearchIndex},
};

constexpr Named kBareCommands[] = {
    {"~p+", Command::PPlus},
    {"~p-", Command::PMinus},
    {"~li+", Command::LIPlus},
    {"~li-", Command::LIMinus},
    {"~lis-", Command::LISMinus},
    {"~codes+", Command::CODESPlus},
    {"~codes-", Command::CODESMinus},
    {"~codep+", Command::CODEPPlus},
    {"~codep-", Command::CODEPMinus},
    {"~s-", Command::SMinus},
    {"~bp", Command::BP},
    {"~sep", Command::SEP},
};

// The longest name of either table.
constexpr std::size_t kLongest = 19;

// The folded name, then a table lookup among the names of its length.
template <std::size_t N> Command Lookup(const Named (&table)[N], std::string_view name) {
  if (name.size() < 3 || name.size() > kLongest || name[0] != '~')
    return Command::Unknown;
  char folded[kLongest];
  for (std::size_t i = 0; i < name.size(); ++i)
    folded[i] = static_cast<char>(FoldCase(static_cast<unsigned char>(name[i])));
  const std::string_view key(folded, name.size());
  for (const Named& n : table)
    if (n.Name.size() == key.size() && n.Name[1] == key[1] && n.Name == key)
      return n.Code;
  return Command::Unknown;
}

} // namespace

Command ParameterCommand(std::string_view name) {
  return Lookup(kParameterCommands, name);
}

Command BareCommand(std::string_view line) {
  return Lookup(kBareCommands, line);
}

bool IsLevelForm(std::string_view line) {
  if (line.size() < 4)
    return false;
  const auto second = static_cast<unsigned char>(line[1]);
  return second >= 0x53 && second <= 0x7F && IsAsciiDigit(static_cast<unsigned char>(line[2]));
}

void SplitAtBar(std::string_view text, std::string_view& head, std::string_view& tail) {
  const std::size_t bar = text.find('|');
  if (bar == std::string_view::npos) {
    head = text;
    tail = {};
  } else {
    head = text.substr(0, bar);
    tail = text.substr(bar + 1);
  }
}

CommandFields SplitCommandLine(std::string_view line) {
  CommandFields c;
  const std::size_t n = line.size();
  const std::size_t equals = line.find('=');
  if (equals == std::string_view::npos)
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
  if (bar == std::string_view::npos) {
    c.F1 = line.substr(equals + 1);
  } else {
    if (bar < equals) {
      c.Kind = CommandFields::InvalidSyntaxBar;
      return c;
    }
    c.F1 = line.substr(equals + 1, bar - equals - 1);
    if (bar + 1 < n) {
      SplitAtBar(line.substr(bar + 1), c.F2, c.F3);
      if (c.F2.empty())
        c.F2 = c.F1;
    } else {
      c.F2 = c.F1;
    }
  }
  c.Kind = c.F1.empty() ? CommandFields::EmptyParameter : CommandFields::Parameter;
  return c;
}
