// The search index: what a reader sees of each header's text, reduced to
// words for matching, and written as one script.
#include "engine/search_index.h"

#include <algorithm>
#include <cstring>

#include "engine/glossary.h"
#include "engine/html.h"
#include "lib/text.h"

namespace {

// Longer words are cut here: a query longer than this is rare, and the cut
// word still matches every shorter prefix.
constexpr std::size_t kMaxWordKey = 64;

struct NamedEntity {
  const char* Name;
  std::uint32_t CodePoint;
};

// The entities of HTML 4 that text is likely to hold: markup characters,
// Latin-1 and the common punctuation.
constexpr NamedEntity kEntities[] = {
    {"quot", 34},     {"amp", 38},      {"apos", 39},     {"lt", 60},       {"gt", 62},
    {"nbsp", 160},    {"iexcl", 161},   {"cent", 162},    {"pound", 163},   {"curren", 164},
    {"yen", 165},     {"brvbar", 166},  {"sect", 167},    {"uml", 168},     {"copy", 169},
    {"ordf", 170},    {"laquo", 171},   {"not", 172},     {"shy", 173},     {"reg", 174},
    {"macr", 175},    {"deg", 176},     {"plusmn", 177},  {"sup2", 178},    {"sup3", 179},
    {"acute", 180},   {"micro", 181},   {"para", 182},    {"middot", 183},  {"cedil", 184},
    {"sup1", 185},    {"ordm", 186},    {"raquo", 187},   {"frac14", 188},  {"frac12", 189},
    {"frac34", 190},  {"iquest", 191},  {"Agrave", 192},  {"Aacute", 193},  {"Acirc", 194},
    {"Atilde", 195},  {"Auml", 196},    {"Aring", 197},   {"AElig", 198},   {"Ccedil", 199},
    {"Egrave", 200},  {"Eacute", 201},  {"Ecirc", 202},   {"Euml", 203},    {"Igrave", 204},
    {"Iacute", 205},  {"Icirc", 206},   {"Iuml", 207},    {"ETH", 208},     {"Ntilde", 209},
    {"Ograve", 210},  {"Oacute", 211},  {"Ocirc", 212},   {"Otilde", 213},  {"Ouml", 214},
    {"times", 215},   {"Oslash", 216},  {"Ugrave", 217},  {"Uacute", 218},  {"Ucirc", 219},
    {"Uuml", 220},    {"Yacute", 221},  {"THORN", 222},   {"szlig", 223},   {"agrave", 224},
    {"aacute", 225},  {"acirc", 226},   {"atilde", 227},  {"auml", 228},    {"aring", 229},
    {"aelig", 230},   {"ccedil", 231},  {"egrave", 232},  {"eacute", 233},  {"ecirc", 234},
    {"euml", 235},    {"igrave", 236},  {"iacute", 237},  {"icirc", 238},   {"iuml", 239},
    {"eth", 240},     {"ntilde", 241},  {"ograve", 242},  {"oacute", 243},  {"ocirc", 244},
    {"otilde", 245},  {"ouml", 246},    {"divide", 247},  {"oslash", 248},  {"ugrave", 249},
    {"uacute", 250},  {"ucirc", 251},   {"uuml", 252},    {"yacute", 253},  {"thorn", 254},
    {"yuml", 255},    {"OElig", 338},   {"oelig", 339},   {"Scaron", 352},  {"scaron", 353},
    {"Yuml", 376},    {"ensp", 8194},   {"emsp", 8195},   {"thinsp", 8201}, {"ndash", 8211},
    {"mdash", 8212},  {"lsquo", 8216},  {"rsquo", 8217},  {"sbquo", 8218},  {"ldquo", 8220},
    {"rdquo", 8221},  {"bdquo", 8222},  {"dagger", 8224}, {"Dagger", 8225}, {"bull", 8226},
    {"hellip", 8230}, {"permil", 8240}, {"lsaquo", 8249}, {"rsaquo", 8250}, {"euro", 8364},
    {"trade", 8482},
};

// Tags that sit inside a line of text: the text on both sides of them runs on.
// Any other tag (a break, a paragraph, a cell) separates words.
constexpr const char* kInlineTags[] = {
    "a", "abbr", "b",    "big",   "cite", "code",   "dfn",    "em",  "font", "i",  "kbd", "mark",
    "q", "s",    "samp", "small", "span", "strike", "strong", "sub", "sup",  "tt", "u",   "var"};

bool IsInlineTag(std::string_view tag) {
  // TAG is what follows "<": an optional "/", then the name.
  std::size_t i = 0;
  if (i < tag.size() && tag[i] == '/')
    ++i;
  std::size_t end = i;
  while (end < tag.size() && IsAsciiLetter(static_cast<unsigned char>(tag[end])))
    ++end;
  const std::string_view name = tag.substr(i, end - i);
  if (name.empty())
    return false;
  for (const char* inlineTag : kInlineTags)
    if (SameText(name, inlineTag))
      return true;
  return false;
}

// A decoded character that belongs to a word: letters beyond Latin-1's
// symbols, but not the punctuation blocks. The search script uses the same rule.
bool IsWordCodePoint(std::uint32_t c) {
  if (c < 0xC0)
    return false;
  if (c == 0xD7 || c == 0xF7)
    return false;
  if (c >= 0x2000 && c < 0x2C00)
    return false;
  if (c >= 0x3000 && c < 0x3040)
    return false;
  return true;
}

// The character of an entity at the start of TEXT ("&...;"), and its length;
// 0 when TEXT does not start with one the index knows.
std::size_t DecodeEntity(std::string_view text, std::uint32_t& codePoint) {
  const std::size_t semicolon = text.find(';', 1);
  if (semicolon == std::string_view::npos || semicolon > 12 || semicolon < 2)
    return 0;
  const std::string_view body = text.substr(1, semicolon - 1);
  if (body[0] == '#') {
    std::uint32_t value = 0;
    std::size_t i = 1;
    const bool hex = body.size() > 1 && (body[1] == 'x' || body[1] == 'X');
    if (hex)
      ++i;
    if (i >= body.size())
      return 0;
    for (; i < body.size(); ++i) {
      const auto c = static_cast<unsigned char>(body[i]);
      std::uint32_t digit;
      if (IsAsciiDigit(c))
        digit = c - '0';
      else if (hex && c >= 'a' && c <= 'f')
        digit = c - 'a' + 10;
      else if (hex && c >= 'A' && c <= 'F')
        digit = c - 'A' + 10;
      else
        return 0;
      value = value * (hex ? 16 : 10) + digit;
      if (value > 0x10FFFF)
        value = 0x110000; // stays out of range
    }
    if (value == 0 || value > 0x10FFFF || (value >= 0xD800 && value < 0xE000))
      value = 0xFFFD;
    codePoint = value;
    return semicolon + 1;
  }
  for (const NamedEntity& e : kEntities)
    if (body == e.Name) {
      codePoint = e.CodePoint;
      return semicolon + 1;
    }
  return 0;
}

void AppendHex4(std::string& out, std::uint32_t unit) {
  static constexpr char kHex[] = "0123456789abcdef";
  out += "\\u";
  for (int shift = 12; shift >= 0; shift -= 4)
    out += kHex[(unit >> shift) & 0xF];
}

// CODE_POINT (0x80 or above) as a script escape.
void AppendEscaped(std::string& out, std::uint32_t codePoint) {
  if (codePoint < 0x10000) {
    AppendHex4(out, codePoint);
    return;
  }
  const std::uint32_t v = codePoint - 0x10000;
  AppendHex4(out, 0xD800 + (v >> 10));
  AppendHex4(out, 0xDC00 + (v & 0x3FF));
}

// TEXT inside a script string: quotes, backslashes and control bytes escaped.
void AppendScriptString(PageSink& out, std::string_view text) {
  out.Append('"');
  std::size_t run = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c != '"' && c != '\\' && c >= 0x20)
      continue;
    out.Append(text.data() + run, i - run);
    if (c == '"' || c == '\\') {
      out.Append('\\');
      out.Append(static_cast<char>(c));
    } else {
      out.Append(' ');
    }
    run = i + 1;
  }
  out.Append(text.data() + run, text.size() - run);
  out.Append('"');
}

// TEXT, escaped already, as a script string.
void AppendEscapedString(PageSink& out, std::string_view text) {
  out.Append('"');
  out.Append(text);
  out.Append('"');
}

// Postings as differences from the one before, in base 36, comma-separated.
void AppendPostings(PageSink& out, const std::vector<std::uint32_t>& postings) {
  static constexpr char kDigits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
  std::uint32_t previous = 0;
  bool first = true;
  for (const std::uint32_t p : postings) {
    if (!first)
      out.Append(',');
    std::uint32_t v = first ? p : p - previous;
    char digits[8];
    int n = 0;
    do {
      digits[n++] = kDigits[v % 36];
      v /= 36;
    } while (v != 0);
    while (n > 0)
      out.Append(digits[--n]);
    previous = p;
    first = false;
  }
}

// Eight bytes at a time: words are short, and hashing them is most of the
// index's cost.
std::uint32_t HashKey(std::string_view key) {
  std::uint64_t h = key.size() * 0x9E3779B97F4A7C15ull;
  std::size_t i = 0;
  for (; i + 8 <= key.size(); i += 8) {
    std::uint64_t chunk;
    std::memcpy(&chunk, key.data() + i, 8);
    h = (h ^ chunk) * 0xFF51AFD7ED558CCDull;
    h ^= h >> 29;
  }
  if (i < key.size()) {
    std::uint64_t chunk = 0;
    std::memcpy(&chunk, key.data() + i, key.size() - i);
    h = (h ^ chunk) * 0xFF51AFD7ED558CCDull;
    h ^= h >> 29;
  }
  h *= 0xC4CEB9FE1A85EC53ull;
  return static_cast<std::uint32_t>(h >> 32);
}

} // namespace

SearchIndex::SearchIndex() {
  lastAtLevel_.fill(-1);
  slots_.assign(1u << 12, 0);
}

void SearchIndex::Header(int level, const std::array<std::string_view, 10>& titles,
                         std::string_view sectionExpression) {
  EndWord();
  const int number = static_cast<int>(headers_.size());
  HeaderRecord h;
  h.Level = level;
  h.Parent = level > 0 ? lastAtLevel_[static_cast<std::size_t>(level - 1)] : -1;
  Shown(titles[static_cast<std::size_t>(level)], false, h.Title, 0, nullptr);
  // The bookmark is written only when the search cannot make it from the
  // titles of the path as shown: "HBM_" + the titles joined by "_", every
  // character but an ASCII letter, digit or "_" as "_".
  bool derivable = h.Title == titles[static_cast<std::size_t>(level)];
  for (int i = 0; i < level && derivable; ++i) {
    const int at = lastAtLevel_[static_cast<std::size_t>(i)];
    derivable = at >= 0 &&
                headers_[static_cast<std::size_t>(at)].Title == titles[static_cast<std::size_t>(i)];
  }
  if (!derivable) {
    PageSink bookmark;
    html::HeaderBookmark(bookmark, titles, level);
    h.Bookmark.assign(bookmark.View());
  }
  h.TextBegin = h.TextEnd = text_.size();
  headers_.push_back(std::move(h));
  lastAtLevel_[static_cast<std::size_t>(level)] = number;
  for (std::size_t l = static_cast<std::size_t>(level) + 1; l < lastAtLevel_.size(); ++l)
    lastAtLevel_[l] = -1;
  // The anchor of the header's own expression stands just before it.
  if (!sectionExpression.empty() && !anchors_.empty() &&
      anchors_.back().Expression.data() == sectionExpression.data())
    anchors_.back().Header = number;
}

void SearchIndex::Text(std::string_view text, bool inlineCommands) {
  if (headers_.empty())
    return; // nothing before the first header can be opened
  if (text.size() >= 2 && text[0] == '*' && text[1] == ' ')
    text.remove_prefix(2);
  HeaderRecord& h = headers_.back();
  const std::size_t before = text_.size();
  if (before > h.TextBegin)
    text_ += ' ';
  Shown(text, inlineCommands, text_, h.TextBegin, this);
  EndWord();
  // Trailing blanks are not kept; a piece that shows nothing leaves no gap.
  while (text_.size() > h.TextBegin && text_.back() == ' ')
    text_.pop_back();
  h.TextEnd = text_.size();
}

void SearchIndex::Anchor(std::string_view expression) {
  anchors_.push_back({expression, headers_.empty() ? -1 : static_cast<int>(headers_.size()) - 1});
}

// One pass over TEXT: tags skipped, inline commands skipped, entities
// decoded, blanks collapsed, written to OUT ready to stand in a script
// string. With WORDS, word characters are gathered into its current word.
void SearchIndex::Shown(std::string_view text, bool inlineCommands, std::string& out,
                        std::size_t start, SearchIndex* words) {
  const std::size_t n = text.size();
  auto endWord = [&]() {
    if (words)
      words->EndWord();
  };
  auto blank = [&]() {
    endWord();
    if (out.size() > start && out.back() != ' ')
      out += ' ';
  };
  auto wordByte = [&](unsigned char folded, bool wide) {
    if (!words)
      return;
    if (words->word_.size() < kMaxWordKey)
      words->word_ += static_cast<char>(folded);
    words->wordWide_ = wide;
  };
  // A byte that is not part of a word.
  auto other = [&](unsigned char c) {
    endWord();
    if (c <= ' ') {
      blank();
    } else if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else {
      out += static_cast<char>(c);
    }
  };
  // The first "]" at or after the last "[" looked at (as the inline processor
  // reads commands).
  std::size_t close = 0;
  bool closeKnown = false;
  std::size_t p = 0;
  while (p < n) {
    const char c = text[p];
    const auto u = static_cast<unsigned char>(c);
    if (c == '<' && p + 1 < n) {
      std::size_t end = text.find('>', p + 1);
      if (end == std::string_view::npos)
        end = n - 1;
      if (!IsInlineTag(text.substr(p + 1, end - p)))
        blank();
      p = end + 1;
      continue;
    }
    if (c == '[' && p + 1 < n && inlineCommands) {
      if (!closeKnown || (close != std::string_view::npos && close <= p)) {
        close = text.find(']', p + 1);
        closeKnown = true;
      }
      if (close != std::string_view::npos && close > p + 1 &&
          (text[p + 1] == ':' || text[p + 1] == '@')) {
        blank(); // a picture or a link
        p = close + 1;
        continue;
      }
    }
    if (c == '&') {
      std::uint32_t cp = 0;
      if (const std::size_t length = DecodeEntity(text.substr(p), cp)) {
        p += length;
        if (cp == 0xAD)
          continue; // a soft hyphen shows nothing
        if (cp < 0x80 || cp == 0xA0) {
          const auto ascii = static_cast<unsigned char>(cp == 0xA0 ? ' ' : cp);
          if (IsWordChar(ascii)) {
            out += static_cast<char>(ascii);
            wordByte(FoldCase(ascii), false);
          } else {
            other(ascii);
          }
          continue;
        }
        const std::size_t at = out.size();
        AppendEscaped(out, cp);
        if (!IsWordCodePoint(cp)) {
          endWord();
        } else if (words && words->word_.size() < kMaxWordKey) {
          words->word_.append(out, at, std::string::npos);
          words->wordWide_ = false;
        }
        continue;
      }
    }
    ++p;
    // A byte of 0xC0 or above is a letter of the code page (or starts one in
    // UTF-8, whose continuation bytes 0x80..0xBF follow it).
    const bool continuation =
        u >= 0x80 && u < 0xC0 && words && words->wordWide_ && !words->word_.empty();
    if (IsWordChar(u) || u >= 0xC0 || continuation) {
      out += c;
      wordByte(FoldCase(u), u >= 0x80);
    } else if (u >= 0x80) {
      endWord();
      out += c;
    } else {
      other(u);
    }
  }
}

void SearchIndex::EndWord() {
  wordWide_ = false;
  if (word_.empty() || headers_.empty())
    return;
  const std::uint32_t w = FindOrAddWord(word_);
  word_.clear();
  const auto header = static_cast<std::uint32_t>(headers_.size() - 1);
  if (lastHeader_[w] != header) {
    lastHeader_[w] = header;
    postings_[w].push_back(header);
  }
}

std::uint32_t SearchIndex::FindOrAddWord(std::string_view key) {
  const std::size_t mask = slots_.size() - 1;
  const std::uint32_t hash = HashKey(key);
  std::size_t slot = hash & mask;
  while (const std::uint32_t entry = slots_[slot]) {
    const std::uint32_t w = entry - 1;
    if (keyHash_[w] == hash && keyLength_[w] == key.size() &&
        std::memcmp(keys_.data() + keyBegin_[w], key.data(), key.size()) == 0)
      return w;
    slot = (slot + 1) & mask;
  }
  const auto w = static_cast<std::uint32_t>(keyBegin_.size());
  keyBegin_.push_back(static_cast<std::uint32_t>(keys_.size()));
  keyLength_.push_back(static_cast<std::uint32_t>(key.size()));
  keyHash_.push_back(hash);
  keys_.append(key);
  lastHeader_.push_back(UINT32_MAX);
  postings_.emplace_back();
  slots_[slot] = w + 1;
  // At most half full, so that probes stay short.
  if (2 * keyBegin_.size() > slots_.size()) {
    std::vector<std::uint32_t> grown(slots_.size() * 2, 0);
    const std::size_t m = grown.size() - 1;
    for (std::uint32_t i = 0; i < keyBegin_.size(); ++i) {
      std::size_t s = keyHash_[i] & m;
      while (grown[s])
        s = (s + 1) & m;
      grown[s] = i + 1;
    }
    slots_.swap(grown);
  }
  return w;
}

void SearchIndex::Write(PageSink& out, std::string_view contentFile,
                        const Glossary& glossary) const {
  out.Append("// The search index of ");
  out.Append(contentFile);
  out.Append(", written by Orvanel with the pages.\n"
             "var OrvanelSearchIndex = {\n\"format\": 1,\n\"page\": ");
  AppendScriptString(out, contentFile);
  // [level, parent, title] or [level, parent, title, bookmark]
  out.Append(",\n\"headers\": [");
  for (std::size_t i = 0; i < headers_.size(); ++i) {
    const HeaderRecord& h = headers_[i];
    out.Append(i == 0 ? "\n[" : ",\n[");
    out.AppendNumber(h.Level);
    out.Append(',');
    out.AppendNumber(h.Parent);
    out.Append(',');
    AppendEscapedString(out, h.Title);
    if (!h.Bookmark.empty()) {
      out.Append(',');
      AppendScriptString(out, h.Bookmark);
    }
    out.Append(']');
  }
  out.Append("],\n\"text\": [");
  for (std::size_t i = 0; i < headers_.size(); ++i) {
    out.Append(i == 0 ? "\n" : ",\n");
    const HeaderRecord& h = headers_[i];
    AppendEscapedString(out, std::string_view(text_).substr(h.TextBegin, h.TextEnd - h.TextBegin));
  }
  // [expression, header, bookmark]: the visible expressions in the order of
  // their anchors, then those that have none (header -1). The bookmark is
  // left out when it is "GBM_" + the expression as shown made an identifier.
  out.Append("],\n\"glossary\": [");
  std::vector<bool> written(static_cast<std::size_t>(glossary.Count()), false);
  bool first = true;
  auto entry = [&](int item, int header) {
    if (written[static_cast<std::size_t>(item)] || glossary.Hidden(item))
      return;
    written[static_cast<std::size_t>(item)] = true;
    const std::string_view expression = glossary.Expression(item);
    if (expression.empty())
      return;
    out.Append(first ? "\n[" : ",\n[");
    first = false;
    std::string shown;
    Shown(expression, false, shown, 0, nullptr);
    AppendEscapedString(out, shown);
    out.Append(',');
    out.AppendNumber(header);
    if (shown != expression) {
      out.Append(",\"");
      html::GlossaryBookmark(out, expression);
      out.Append('"');
    }
    out.Append(']');
  };
  for (const AnchorRecord& a : anchors_) {
    const int id = glossary.TextIdOf(a.Expression);
    if (id >= 0)
      entry(glossary.FirstItemOfText(id), a.Header);
  }
  for (int item = 0; item < glossary.Count(); ++item)
    entry(item, -1);
  // The words in the order they were first read, and for each the headers
  // whose text holds it.
  out.Append("],\n\"words\": \"");
  for (std::size_t w = 0; w < keyBegin_.size(); ++w) {
    if (w > 0)
      out.Append(' ');
    out.Append(keys_.data() + keyBegin_[w], keyLength_[w]);
  }
  out.Append("\",\n\"postings\": \"");
  for (std::size_t w = 0; w < postings_.size(); ++w) {
    if (w > 0)
      out.Append(' ');
    AppendPostings(out, postings_[w]);
  }
  out.Append("\"\n};\n");
}
