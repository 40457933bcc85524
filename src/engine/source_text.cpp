#include "engine/source_text.h"

#include <cstring>

#include "lib/file.h"

SourceText::SourceText(std::string bytes) : bytes_(std::move(bytes)) {
  const char* data = bytes_.data();
  const std::size_t end = std::strlen(data); // stops at the first NUL or the end
  lines_.reserve(end / 40 + 1);
  std::size_t start = 0;
  std::size_t lf = 0; // the next LF at or after start, or END; found once per LF
  bool lfKnown = false;
  while (start < end) {
    if (!lfKnown || lf < start) {
      const void* hit = std::memchr(data + start, '\n', end - start);
      lf = hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - data) : end;
      lfKnown = true;
    }
    // A lone CR also ends a line; look for one only before the next LF.
    const void* cr = std::memchr(data + start, '\r', lf - start);
    std::size_t stop;
    std::size_t next;
    if (cr) {
      stop = static_cast<std::size_t>(static_cast<const char*>(cr) - data);
      next = stop + 1 < end && data[stop + 1] == '\n' ? stop + 2 : stop + 1;
    } else if (lf < end) {
      stop = lf;
      next = lf + 1;
    } else {
      break;
    }
    lines_.push_back({static_cast<std::uint32_t>(start), static_cast<std::uint32_t>(stop - start)});
    start = next;
  }
  if (start < end)
    lines_.push_back({static_cast<std::uint32_t>(start), static_cast<std::uint32_t>(end - start)});
}

SourceText SourceText::Load(const std::string& fileName) {
  return SourceText(LoadFileBytes(fileName));
}

std::string SourceText::Joined() const {
  std::string text;
  for (const Span& s : lines_) {
    text.append(bytes_, s.Offset, s.Length);
    text += "\r\n";
  }
  return text;
}
