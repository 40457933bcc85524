// The line processor: tags, bracketed inline commands and the glossary step
//.
#include <algorithm>
#include <array>
#include <utility>

#include "engine/converter.h"
#include "lib/text.h"

namespace {

constexpr std::array<std::pair<const char*, const char*>, 5> kEmoticons{{
    {"D", "laugh.gif"},
    {")", "smile.gif"},
    {";", "wink.gif"},
    {"(", "sad.gif"},
    {"O", "surprised.gif"},
}};

// A name has an extension when its last "." has no "\" and no ":" after it.
bool HasExtension(const std::string& name) {
  const std::size_t dot = name.rfind('.');
  return dot != std::string::npos && name.find_first_of("\\:", dot + 1) == std::string::npos;
}

} // namespace

std::string TConverter::ProcessInlineText(const std::string& text) {
  if (!ProcessInline || InCodeBlock)
    return text;
  std::string out;
  out.reserve(text.size() + text.size() / 2);
  const std::size_t n = text.size();
  // The first "]" after the last "[" looked at; it stays the first one for
  // every later "[" before it, so each search covers new ground only.
  std::size_t close = 0;
  bool closeKnown = false;
  // Every "[" before a "]" starts a command, so a run of them would quote the
  // rest of the line once per "[" in unknown-command warnings: the warnings
  // of one line quote at most as much as the line holds (or 64 KiB), then one
  // line says that the rest are not reported.
  const std::size_t quoteBudget = std::max<std::size_t>(n, 65536);
  std::size_t quoted = 0;
  bool muted = false;
  std::size_t p = 0;
  while (p < n) {
    const char c = text[p];
    if (c == '<' && p + 1 < n) {
      std::size_t end = text.find('>', p + 1);
      if (end == std::string::npos)
        end = n - 1;
      out.append(text, p, end - p + 1);
      p = end + 1;
      continue;
    }
    if (c == '[' && p + 1 < n) {
      if (!closeKnown || (close != std::string::npos && close <= p)) {
        close = text.find(']', p + 1);
        closeKnown = true;
      }
      if (close != std::string::npos) {
        const std::size_t length = close - p - 1;
        const bool unknown = length > 0 && text[p + 1] != ':' && text[p + 1] != '@';
        if (unknown && (muted || quoted + length > quoteBudget)) {
          if (!muted)
            AddLogLine("Warning: more unknown inline commands in this line are not reported.");
          muted = true;
          out += '[';
          ++p;
          continue;
        }
        if (unknown)
          quoted += length;
        const std::string html = ProcessInlineCommand(text.substr(p + 1, length));
        if (!html.empty()) {
          out += html;
          p = close + 1;
        } else {
          out += '[';
          ++p;
        }
        continue;
      }
    }
    if (!FastConversion) {
      if (const std::size_t used = MatchGlossary(text, p, out)) {
        p += used;
        continue;
      }
    }
    out += c;
    ++p;
  }
  return out;
}

std::string TConverter::ProcessInlineCommand(const std::string& command) {
  if (command.empty()) {
    AddLogLine("Warning: empty inline command.");
    return {};
  }
  if (command[0] == ':') {
    std::string name = command.substr(1);
    for (const auto& [key, picture] : kEmoticons)
      if (SameText(name, key))
        return MakePicture(picture);
    if (!HasExtension(name))
      name += ".gif";
    return MakePicture(name);
  }
  if (command[0] == '@') {
    const std::string target = command.substr(1);
    const std::string address = target.find(':') == std::string::npos ? "http://" + target : target;
    return "<A HREF=\"" + address + "\" TARGET=\"_blank\">" + target + "</A>";
  }
  AddLogLine("Warning: unknown inline command \"" + command + "\".");
  return {};
}

std::string TConverter::MakePicture(const std::string& fileName) const {
  return "<IMG SRC=\"pictures/" + fileName + "\" ALIGN=\"BOTTOM\" BORDER=0>";
}
