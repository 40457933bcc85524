// The parts of `orvanel-convert --serve` that need no network: which request
// names a file of the site, what type it has, the live-reload script put
// into served pages, and the snapshot of the files a conversion reads.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace live {

/// The path the served pages' script listens on for finished conversions.
inline constexpr std::string_view kEventsPath = "/.orvanel/events";

/// The file a request names, relative to the site's folder with '/' between
/// names, or nothing when the request must not reach a file: a parent or
/// current-folder step, an empty name (an absolute path after "//"), a
/// backslash, a colon, a NUL or other control byte, or a dot, slash,
/// backslash or NUL that was percent-encoded in RAW_TARGET (the request line
/// as sent). DECODED_PATH is the path part with percent-encoding undone.
/// "/" names Index.htm.
std::optional<std::string> SiteRelativePath(std::string_view decodedPath,
                                            std::string_view rawTarget);

/// The Content-Type for a file name, by its extension (ASCII case ignored).
std::string ContentTypeOf(std::string_view name);

/// PAGE with the live-reload script added: it reloads every frame of the
/// window (or the page itself when it has none) once a conversion newer than
/// GENERATION has finished. A non-empty BANNER is shown at the top of the
/// page. The script goes into the head, where a frame set page runs it too.
std::string WithLiveReload(std::string_view page, std::uint64_t generation,
                           std::string_view banner);

/// A JavaScript string literal holding TEXT, safe inside an HTML <script>.
std::string ScriptString(std::string_view text);

/// Size and modification time of every file a conversion reads or the site
/// shows: the source, the templates beside it and the author's files in the
/// site's folder (its pages and the conversion's temporaries left out).
struct FileStamp {
  std::string Path;
  std::uintmax_t Size = 0;
  std::int64_t Time = 0;
  bool operator==(const FileStamp&) const = default;
};
using Snapshot = std::vector<FileStamp>;

/// PAGES are the generated pages' names, ignored in DESTINATION.
Snapshot TakeSnapshot(const std::string& source, const std::string& destination,
                      const std::vector<std::string>& pages);

} // namespace live
