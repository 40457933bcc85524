// Command lines of the content pass: the malformed-line warnings, the
// dispatch on the command's name and every command.
#include <string>

#include "engine/command_line.h"
#include "engine/conversion.h"
#include "lib/text.h"

namespace {

enum HeaderCommand { hcSame, hcDeeper, hcUp, hcLevel };
enum BlockSentence { bsTopic, bsUrl, bsWarning, bsNote };

std::string Quoted(std::string_view line) {
  std::string s;
  s.reserve(line.size() + 3);
  s += '"';
  s += line;
  s += "\".";
  return s;
}

} // namespace

bool Conversion::CheckLineCharacters(std::string_view line) {
  if (IsPrintableAscii(line))
    return true;
  AddLogLine("Warning: invalid header / bookmark name " + Quoted(line));
  return false;
}

// The warnings of a malformed line are given in both passes.
static bool WarnMalformed(Conversion& c, const CommandFields& f, std::string_view line,
                          bool collecting) {
  switch (f.Kind) {
  case CommandFields::EmptyCommand:
    c.AddLogLine("Warning: empty command " + Quoted(line));
    return true;
  case CommandFields::Bare:
    return collecting;
  case CommandFields::InvalidSyntax:
    c.AddLogLine("Warning: invalid syntax " + Quoted(line));
    return true;
  case CommandFields::InvalidSyntaxBar:
    c.AddLogLine("Warning: invalid syntax" + Quoted(line));
    return true;
  case CommandFields::EmptyParameter:
    c.AddLogLine("Warning: empty command parameter " + Quoted(line));
    return true;
  case CommandFields::Parameter:
    break;
  }
  return false;
}

void Conversion::CollectLine(std::string_view line) {
  CommandFields c = SplitCommandLine(line);
  if (WarnMalformed(*this, c, line, true))
    return;
  const Command command = ParameterCommand(line.substr(0, c.NameLength));
  // The index is one file for the whole source: the collection pass decides.
  if (command == Command::POSearchIndex) {
    ApplyProjectOption(WantSearchIndex, c.F1);
    return;
  }
  const bool hidden = command == Command::GSH || command == Command::GPH;
  const bool glossary = hidden || command == Command::GS || command == Command::GP;
  if (glossary) {
    c.F3 = c.F2;
    c.F2 = c.F1;
  }
  if (c.F2.empty())
    return;
  const bool header = command == Command::S || command == Command::SDeeper ||
                      command == Command::SUp || IsLevelForm(line);
  if (!header && !glossary)
    return;
  switch (glossary_.Add(line, c.F2, c.F3, hidden)) {
  case Glossary::AddResult::Added:
    break;
  case Glossary::AddResult::TooMany:
    AddLogLine("Warning: Too many glossary items. Can't add any more items.");
    break;
  case Glossary::AddResult::Duplicate:
    AddLogLine("Warning: duplicate glossary item \"" + std::string(line) + "\". Can't add item.");
    break;
  case Glossary::AddResult::InvalidName:
    AddLogLine("Warning: invalid bookmark name \"" + std::string(line) + "\". Can't add item.");
    break;
  }
}

void Conversion::ProcessLine(std::string_view line) {
  CommandFields c = SplitCommandLine(line);
  PageSink& out = pages_->Content;
  const html::Style s = Style();
  if (c.Kind == CommandFields::Bare) {
    switch (BareCommand(line)) {
    case Command::PPlus:
      ProcessInline = true;
      break;
    case Command::PMinus:
      ProcessInline = false;
      break;
    case Command::LIPlus:
      html::Fragment(out, s, "<UL>");
      break;
    case Command::LIMinus:
      html::Fragment(out, s, "</UL>");
      break;
    case Command::LISMinus:
      html::Fragment(out, s, "</UL><BR>");
      break;
    case Command::CODESPlus:
    case Command::CODEPPlus:
      InCodeBlock = true;
      html::CodeBlockBegin(out, BareCommand(line) == Command::CODEPPlus);
      html::Pretty(out, s);
      break;
    case Command::CODESMinus:
    case Command::CODEPMinus:
      InCodeBlock = false;
      html::CodeBlockEnd(out, BareCommand(line) == Command::CODEPMinus);
      html::Pretty(out, s);
      break;
    case Command::SMinus:
      if (OutlineLevel > 0)
        --OutlineLevel;
      else
        AddLogLine("Warning: header outline level can't be negative " + Quoted(line));
      break;
    case Command::BP:
      html::Fragment(out, s, "<P>&nbsp;</P>");
      break;
    case Command::SEP:
      html::Separator(out, s, InCodeBlock);
      break;
    default:
      AddLogLine("Warning: unknown paragraph command " + Quoted(line));
      break;
    }
    return;
  }
  if (WarnMalformed(*this, c, line, false))
    return;

  const Command command = ParameterCommand(line.substr(0, c.NameLength));
  const bool glossary = command == Command::GS || command == Command::GSH ||
                        command == Command::GP || command == Command::GPH;
  if (glossary) {
    c.F3 = c.F2;
    c.F2 = c.F1;
  }
  const std::string_view f1 = c.F1;
  const std::string_view f2 = c.F2;
  using html::lkMore;
  using html::lkWarn;
  using html::rkAlsoSee;
  using html::rkMoreInformation;
  switch (command) {
  case Command::IF:
    html::Fragment(out, s, f1);
    break;
  case Command::IP:
    break; // accepted and ignored
  case Command::Title:
    html::TitleParagraph(out, s, f1);
    if (searchIndex_)
      searchIndex_->Text(f1, false);
    break;
  case Command::EW:
    EWText = f1;
    break;
  case Command::S:
    ProcessHeaderCommand(line, hcSame, f1, f2);
    break;
  case Command::SDeeper:
    ProcessHeaderCommand(line, hcDeeper, f1, f2);
    break;
  case Command::SUp:
    ProcessHeaderCommand(line, hcUp, f1, f2);
    break;
  case Command::GS:
  case Command::GSH:
  case Command::GP:
  case Command::GPH:
    if (!CheckLineCharacters(line))
      AddLogLine("Warning: invalid bookmark name \"" + std::string(line) + "\". Can't add item.");
    else if (command == Command::GS || command == Command::GSH)
      EnterSectionTopic(f2);
    else
      EnterParagraphTopic(f2);
    break;
  case Command::MIS:
    ReferenceBlock(f1, bsTopic, rkMoreInformation, lkMore, false);
    break;
  case Command::MIP:
    ReferenceBlock(f1, bsTopic, rkMoreInformation, lkMore, true);
    break;
  case Command::MIUS:
    ReferenceBlock(f1, bsUrl, rkMoreInformation, lkMore, false);
    break;
  case Command::MIUP:
    ReferenceBlock(f1, bsUrl, rkMoreInformation, lkMore, true);
    break;
  case Command::ASS:
    ReferenceBlock(f1, bsTopic, rkAlsoSee, lkMore, false);
    break;
  case Command::ASP:
    ReferenceBlock(f1, bsTopic, rkAlsoSee, lkMore, true);
    break;
  case Command::ASUS:
    ReferenceBlock(f1, bsUrl, rkAlsoSee, lkMore, false);
    break;
  case Command::ASUP:
    ReferenceBlock(f1, bsUrl, rkAlsoSee, lkMore, true);
    break;
  case Command::WARNS:
    ReferenceBlock(f1, bsWarning, rkMoreInformation, lkWarn, false);
    break;
  case Command::WARNP:
    ReferenceBlock(f1, bsWarning, rkMoreInformation, lkWarn, true);
    break;
  case Command::NOTES:
    ReferenceBlock(f1, bsNote, rkMoreInformation, lkWarn, false);
    break;
  case Command::NOTEP:
    ReferenceBlock(f1, bsNote, rkMoreInformation, lkWarn, true);
    break;
  case Command::LIS:
    html::ListCaption(out, s, f1, InCodeBlock);
    if (searchIndex_)
      searchIndex_->Text(f1, false);
    break;
  case Command::POMakeCodePretty:
    ApplyProjectOption(MakeCodePretty, f1);
    break;
  case Command::POUseTableElem:
    ApplyProjectOption(UseTableElem, f1);
    break;
  case Command::POUseSectionSep:
    ApplyProjectOption(UseSectionSep, f1);
    break;
  case Command::POSearchIndex:
    break; // taken in the collection pass
  default:
    if (IsLevelForm(line))
      ProcessHeaderCommand(line, hcLevel, f1, f2);
    else
      AddLogLine("Warning: unknown paragraph command " + Quoted(line));
    break;
  }
}

void Conversion::ReferenceBlock(std::string_view text, int sentence, html::ReferenceKind reference,
                                html::LayoutKind kind, bool indent) {
  PageSink& out = pages_->Content;
  const html::Style s = Style();
  html::LayoutOpen(out, s, kind, indent);
  switch (sentence) {
  case bsTopic:
    html::TopicReferenceLead(out, reference);
    ProcessInlineText(text, out);
    out.Append(".</P>");
    break;
  case bsUrl:
    html::UrlReference(out, reference, text);
    break;
  case bsWarning:
    html::WarningLead(out);
    ProcessInlineText(text, out);
    html::ParagraphClose(out);
    break;
  default:
    html::SentenceOpen(out);
    ProcessInlineText(text, out);
    html::ParagraphClose(out);
    break;
  }
  html::LayoutClose(out, s, indent);
  html::BlockEnd(out, s);
  if (searchIndex_ && sentence != bsUrl)
    searchIndex_->Text(text, ProcessInline && !InCodeBlock);
}

void Conversion::ApplyProjectOption(bool& option, std::string_view value) {
  if (options_.UseProjectOptions)
    option = SameText(value, "TRUE");
}

// Level test, character check, anchor, new level, count, title, header
// paragraph, in that order.
void Conversion::ProcessHeaderCommand(std::string_view line, int command, std::string_view f1,
                                      std::string_view f2) {
  const int level = OutlineLevel;
  if (command == hcLevel) {
    const int target = line[2] - '0';
    if (target > level + 1) {
      AddLogLine("Warning: here, header outline level can be only between 0 and " +
                 std::to_string(level + 1) + " " + Quoted(line));
      return;
    }
  }
  if (!CheckLineCharacters(line)) {
    AddLogLine("Warning: invalid bookmark name \"" + std::string(line) + "\". Can't add item.");
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
  HeaderTitles[static_cast<std::size_t>(next)] = f1;

  // The path links to the levels above; an empty title there has no link.
  for (int i = 0; i < next; ++i)
    if (HeaderTitles[static_cast<std::size_t>(i)].empty())
      AddLogLine("Warning: empty bookmark name.");
  if (next > maxOutlineLevel_)
    maxOutlineLevel_ = next;
  html::ContentsEntry(pages_->TOC, Style(), HeaderTitles, next, contentFile_);
  html::HeaderParagraph(pages_->Content, Style(), HeaderTitles, next,
                        UseSectionSep ? std::string_view(beforeSection_) : std::string_view());
  if (searchIndex_)
    searchIndex_->Header(next, HeaderTitles, f2);
}
