// The inline processor: tags pass through, bracketed commands become
// pictures and links, and in a full conversion the glossary step links
// expressions and marks definitions.
#include <algorithm>
#include <array>
#include <cstring>
#include <string>
#include <utility>

#include "engine/conversion.h"
#include "lib/text.h"

namespace {

constexpr std::array<std::pair<std::string_view, std::string_view>, 5> kEmoticons{{
    {"D", "laugh.gif"},
    {")", "smile.gif"},
    {";", "wink.gif"},
    {"(", "sad.gif"},
    {"O", "surprised.gif"},
}};

// A name has an extension when its last "." has no "\" and no ":" after it.
bool HasExtension(std::string_view name) {
  const std::size_t dot = name.rfind('.');
  return dot != std::string_view::npos &&
         name.find_first_of("\\:", dot + 1) == std::string_view::npos;
}

} // namespace

void Conversion::ProcessInlineText(std::string_view text, PageSink& out) {
  if (!ProcessInline || InCodeBlock) {
    out.Append(text);
    return;
  }
  const std::size_t n = text.size();
  const bool linking = !options_.Fast;
  if (linking) {
    cursor_->Reset(text);
    ewLine_ = {};
  }
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
  // Plain bytes are copied in runs.
  std::size_t run = 0;
  auto flush = [&](std::size_t upTo) { out.Append(text.data() + run, upTo - run); };
  // In a fast conversion only "<" and "[" need a look; memchr finds them.
  std::size_t nextTag = 0, nextCommand = 0;
  auto nextSpecial = [&](std::size_t from) {
    if (nextTag < from) {
      const void* hit = std::memchr(text.data() + from, '<', n - from);
      nextTag = hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - text.data()) : n;
    }
    if (nextCommand < from) {
      const void* hit = std::memchr(text.data() + from, '[', n - from);
      nextCommand = hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - text.data()) : n;
    }
    return std::min(nextTag, nextCommand);
  };
  const GlossaryMatcher* matcher = linking ? &glossary_.Matcher() : nullptr;
  const int ewFirst = EWText.empty() ? -1 : static_cast<unsigned char>(EWText[0]);
  std::size_t p = 0;
  while (p < n) {
    if (!linking) {
      p = nextSpecial(p);
      if (p >= n)
        break;
    }
    const char c = text[p];
    if (c == '<' && p + 1 < n) {
      std::size_t end = text.find('>', p + 1);
      if (end == std::string_view::npos)
        end = n - 1;
      p = end + 1; // the tag joins the run
      continue;
    }
    if (c == '[' && p + 1 < n) {
      if (!closeKnown || (close != std::string_view::npos && close <= p)) {
        close = text.find(']', p + 1);
        closeKnown = true;
      }
      if (close != std::string_view::npos) {
        const std::size_t length = close - p - 1;
        const bool unknown = length > 0 && text[p + 1] != ':' && text[p + 1] != '@';
        if (unknown && (muted || quoted + length > quoteBudget)) {
          if (!muted)
            AddLogLine("Warning: more unknown inline commands in this line are not reported.");
          muted = true;
          ++p; // the "[" stays text
          continue;
        }
        if (unknown)
          quoted += length;
        flush(p);
        if (ProcessInlineCommand(text.substr(p + 1, length), out)) {
          p = close + 1;
          run = p;
        } else {
          run = p; // the "[" stays text
          ++p;
        }
        continue;
      }
    }
    if (linking) {
      const auto u = static_cast<unsigned char>(c);
      const bool boundary = p == 0 || !IsWordChar(static_cast<unsigned char>(text[p - 1]));
      const int found = matcher->CanStart(u, boundary) ? cursor_->Find(p) : -1;
      if (found >= 0 || (u == ewFirst && MatchEW(text, p))) {
        flush(p);
        p += EmitGlossaryStep(text, p, found, out);
        run = p;
        continue;
      }
    }
    ++p;
  }
  flush(n);
}

bool Conversion::ProcessInlineCommand(std::string_view command, PageSink& out) {
  if (command.empty()) {
    AddLogLine("Warning: empty inline command.");
    return false;
  }
  if (command[0] == ':') {
    const std::string_view name = command.substr(1);
    for (const auto& [key, picture] : kEmoticons)
      if (SameText(name, key)) {
        html::Picture(out, picture, "");
        return true;
      }
    html::Picture(out, name, HasExtension(name) ? "" : ".gif");
    return true;
  }
  if (command[0] == '@') {
    html::WebLink(out, command.substr(1));
    return true;
  }
  AddLogLine("Warning: unknown inline command \"" + std::string(command) + "\".");
  return false;
}

// FOUND is the expression that matches at POS, or -1 when the EW text does.
std::size_t Conversion::EmitGlossaryStep(std::string_view text, std::size_t pos, int found,
                                         PageSink& out) {
  if (found >= 0) {
    const GlossaryMatcher& matcher = glossary_.Matcher();
    const std::size_t length = matcher.Length(found);
    const std::string_view matched = text.substr(pos, length);
    LinkRecord& link = links_[static_cast<std::size_t>(found)];
    std::uint32_t& linked = link.Linked;
    const int item = link.Item;
    if (linked == linkGeneration_) {
      out.Append(matched);
    } else if (IsDefinedInGroups(link.TextId)) {
      html::Definition(out, matched);
      linked = linkGeneration_;
    } else {
      html::GlossaryLink(out, matched, glossary_.Expression(item));
      ++glossaryLinkCount_;
      linked = linkGeneration_;
    }
    return length;
  }
  html::EWDefinition(out, EWText);
  return EWText.size();
}

// Whether the EW text starts at POS: a Knuth-Morris-Pratt scan of the line,
// advanced only as far as the positions asked, so a line costs linear time.
std::size_t Conversion::MatchEW(std::string_view text, std::size_t pos) {
  const std::string_view ew = EWText;
  const std::size_t m = ew.size();
  if (m == 0 || text.size() - pos < m || text[pos] != ew[0])
    return 0;
  if (ewFor_.data() != ew.data() || ewFor_.size() != m) {
    ewFailure_.assign(m, 0);
    for (std::size_t i = 1, k = 0; i < m; ++i) {
      while (k > 0 && ew[i] != ew[k])
        k = ewFailure_[k - 1];
      if (ew[i] == ew[k])
        ++k;
      ewFailure_[i] = static_cast<std::uint32_t>(k);
    }
    ewFor_ = ew;
    ewLine_ = {};
  }
  if (ewLine_.data() != text.data() || ewLine_.size() != text.size()) {
    ewLine_ = text;
    ewScan_ = 0;
    ewState_ = 0;
    ewNext_ = 0;
    ewHave_ = false;
  }
  while (!ewHave_ || ewNext_ < pos) {
    ewHave_ = true;
    ewNext_ = std::string_view::npos;
    while (ewScan_ < text.size()) {
      const char c = text[ewScan_++];
      while (ewState_ > 0 && ew[ewState_] != c)
        ewState_ = ewFailure_[ewState_ - 1];
      if (ew[ewState_] == c)
        ++ewState_;
      if (ewState_ == m) {
        ewNext_ = ewScan_ - m;
        ewState_ = ewFailure_[m - 1];
        break;
      }
    }
  }
  return ewNext_ == pos ? m : 0;
}
