#include "cli/live_site.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "lib/text.h"

namespace fs = std::filesystem;

namespace live {

namespace {

bool StartsWithText(std::string_view s, std::string_view prefix) {
  return s.size() >= prefix.size() && SameText(s.substr(0, prefix.size()), prefix);
}

// Percent-encoded bytes that would let a name climb or split differently
// once decoded; an honest browser never encodes them.
bool HasEncodedSeparator(std::string_view raw) {
  for (std::size_t i = 0; i + 2 < raw.size(); ++i) {
    if (raw[i] != '%')
      continue;
    const std::string_view code = raw.substr(i + 1, 2);
    for (std::string_view bad : {"2e", "2f", "5c", "00", "3a"})
      if (SameText(code, bad))
        return true;
  }
  return false;
}

std::size_t FindText(std::string_view page, std::string_view what) {
  if (page.size() < what.size())
    return std::string_view::npos;
  for (std::size_t i = 0; i + what.size() <= page.size(); ++i)
    if (StartsWithText(page.substr(i), what))
      return i;
  return std::string_view::npos;
}

} // namespace

std::optional<std::string> SiteRelativePath(std::string_view decodedPath,
                                            std::string_view rawTarget) {
  if (HasEncodedSeparator(rawTarget))
    return std::nullopt;
  if (decodedPath.empty() || decodedPath[0] != '/')
    return std::nullopt;
  if (decodedPath == "/")
    return std::string("Index.htm");
  std::string_view rest = decodedPath.substr(1);
  for (char c : rest) {
    const auto u = static_cast<unsigned char>(c);
    // A colon starts a drive or a Windows file stream.
    if (u < 32 || u == 127 || c == '\\' || c == ':')
      return std::nullopt;
  }
  std::size_t start = 0;
  while (start <= rest.size()) {
    std::size_t end = rest.find('/', start);
    if (end == std::string_view::npos)
      end = rest.size();
    const std::string_view name = rest.substr(start, end - start);
    if (name.empty() || name == "." || name == "..")
      return std::nullopt;
    // Windows drops trailing dots and spaces from names: "..." or ".. " is a parent.
    if (name.find_first_not_of(". ") == std::string_view::npos)
      return std::nullopt;
    start = end + 1;
  }
  return std::string(rest);
}

std::string ContentTypeOf(std::string_view name) {
  static const struct {
    std::string_view Extension;
    std::string_view Type;
  } kTypes[] = {
      {".htm", "text/html"},         {".html", "text/html"},      {".css", "text/css"},
      {".js", "text/javascript"},    {".mjs", "text/javascript"}, {".gif", "image/gif"},
      {".png", "image/png"},         {".jpg", "image/jpeg"},      {".jpeg", "image/jpeg"},
      {".svg", "image/svg+xml"},     {".ico", "image/x-icon"},    {".txt", "text/plain"},
      {".json", "application/json"}, {".webp", "image/webp"},     {".bmp", "image/bmp"},
  };
  const std::size_t dot = name.rfind('.');
  if (dot != std::string_view::npos && name.find('/', dot) == std::string_view::npos) {
    const std::string_view extension = name.substr(dot);
    for (const auto& type : kTypes)
      if (SameText(extension, type.Extension))
        return std::string(type.Type);
  }
  return "application/octet-stream";
}

std::string ScriptString(std::string_view text) {
  static const char kHex[] = "0123456789abcdef";
  std::string out = "\"";
  for (char c : text) {
    const auto u = static_cast<unsigned char>(c);
    // Escaped: what ends the literal or the script element, and every byte
    // whose meaning depends on the page's character set.
    if (u < 32 || u >= 127 || c == '"' || c == '\\' || c == '<' || c == '>' || c == '&' ||
        c == '\'') {
      out += "\\u00";
      out += kHex[u >> 4];
      out += kHex[u & 15];
    } else {
      out += c;
    }
  }
  return out + "\"";
}

std::string WithLiveReload(std::string_view page, std::uint64_t generation,
                           std::string_view banner) {
  std::string script = "<script>/* orvanel-convert --serve: live reload */(function(){";
  if (!banner.empty())
    script += "var b=" + ScriptString(banner) +
              ";document.addEventListener(\"DOMContentLoaded\",function(){"
              "var d=document.createElement(\"div\");d.id=\"orvanel-banner\";"
              "d.setAttribute(\"role\",\"alert\");"
              "d.style.cssText=\"position:sticky;top:0;z-index:2147483647;margin:0 0 8px 0;"
              "padding:6px 10px;background:#b00020;color:#fff;font:bold 13px sans-serif\";"
              "d.textContent=b;document.body.insertBefore(d,document.body.firstChild);});";
  // Only the top window listens, so a frame site holds one connection; it
  // reloads the frames in place, keeping the pages the reader has open.
  script += "if(window.top!==window)return;var g=\"" + std::to_string(generation) +
            "\";function r(w){var n=w.frames.length;if(n===0){w.location.reload();return;}"
            "for(var i=0;i<n;i++){try{r(w.frames[i]);}catch(e){}}}"
            "var s=new EventSource(\"" +
            std::string(kEventsPath) +
            "\");s.onmessage=function(e){if(e.data!==g){g=e.data;r(window);}};})();</script>";

  std::size_t at = FindText(page, "</head");
  if (at == std::string_view::npos)
    at = FindText(page, "<body");
  if (at == std::string_view::npos)
    at = FindText(page, "<frameset");
  if (at == std::string_view::npos)
    at = 0;
  std::string out;
  out.reserve(page.size() + script.size());
  out.append(page.substr(0, at));
  out += script;
  out.append(page.substr(at));
  return out;
}

Snapshot TakeSnapshot(const std::string& source, const std::string& destination,
                      const std::vector<std::string>& pages) {
  Snapshot snapshot;
  auto add = [&snapshot](const fs::path& path) {
    std::error_code error;
    FileStamp stamp;
    stamp.Path = path.string();
    const fs::file_status status = fs::status(path, error);
    if (!error && fs::is_regular_file(status)) {
      stamp.Size = fs::file_size(path, error);
      if (error)
        stamp.Size = 0;
      const auto time = fs::last_write_time(path, error);
      if (!error)
        stamp.Time = static_cast<std::int64_t>(time.time_since_epoch().count());
    } else {
      // Missing: stamped so, so that it coming back is a change too.
      stamp.Size = static_cast<std::uintmax_t>(-1);
    }
    snapshot.push_back(std::move(stamp));
  };

  const fs::path sourcePath(source);
  add(sourcePath);
  for (const char* name : {"BeforeContent.htm", "BeforeTOC.htm", "BeforeTOCButtons.htm",
                           "BeforeGlossary.htm", "BeforeSection.htm"})
    add(sourcePath.parent_path() / name);

  // The author's files; a site with more than this is not re-read in full.
  constexpr std::size_t kMostFiles = 20000;
  std::error_code error;
  fs::recursive_directory_iterator it(destination, fs::directory_options::skip_permission_denied,
                                      error);
  std::size_t seen = 0;
  for (; !error && it != fs::recursive_directory_iterator() && seen < kMostFiles;
       it.increment(error), ++seen) {
    const fs::path& path = it->path();
    const std::string name = path.filename().string();
    if (StartsWithText(name, ".~orvanel-"))
      continue;
    if (it.depth() == 0 && std::any_of(pages.begin(), pages.end(),
                                       [&name](const std::string& p) { return SameText(p, name); }))
      continue;
    std::error_code kindError;
    if (it->is_regular_file(kindError))
      add(path);
  }
  std::sort(snapshot.begin() + 6, snapshot.end(),
            [](const FileStamp& a, const FileStamp& b) { return a.Path < b.Path; });
  return snapshot;
}

} // namespace live
