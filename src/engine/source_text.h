// A text read once and walked as views: one buffer, and the (offset, length)
// of each line in it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class SourceText {
public:
  SourceText() = default;
  /// Takes BYTES and splits them: CR LF, a lone CR and a lone LF each end a
  /// line; a last line without a break is a line too; a NUL byte ends the text.
  explicit SourceText(std::string bytes);
  /// SourceText of the file's bytes; throws TOrvanelError when it cannot be read.
  static SourceText Load(const std::string& fileName);

  int Count() const { return static_cast<int>(lines_.size()); }
  std::string_view Line(int index) const {
    const Span& s = lines_[static_cast<std::size_t>(index)];
    return {bytes_.data() + s.Offset, s.Length};
  }
  /// Every line followed by CR LF, as a template is put on its page.
  std::string Joined() const;

private:
  struct Span {
    std::uint32_t Offset;
    std::uint32_t Length;
  };
  std::string bytes_;
  std::vector<Span> lines_;
};
