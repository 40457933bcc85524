#include "engine/page_sink.h"

#include <algorithm>
#include <charconv>

#include "lib/error.h"
#include "lib/platform/platform.h"

void PageSink::AppendNumber(long long value) {
  char digits[24];
  const auto [end, ec] = std::to_chars(digits, digits + sizeof digits, value);
  (void)ec; // 24 characters hold every long long
  Append(digits, static_cast<std::size_t>(end - digits));
}

namespace {
// Big pages are aligned so that the system can map them in large pages.
constexpr std::size_t kLargePage = std::size_t{2} << 20;
} // namespace

void PageSink::Release::operator()(char* block) const {
  if (Alignment)
    ::operator delete[](block, std::align_val_t{Alignment});
  else
    delete[] block;
}

PageSink::Block PageSink::Allocate(std::size_t capacity) {
  if (capacity < 2 * kLargePage)
    return Block(new char[capacity], Release{0});
  auto* block = static_cast<char*>(::operator new[](capacity, std::align_val_t{kLargePage}));
  plat::AdviseLargePages(block, capacity);
  return Block(block, Release{kLargePage});
}

void PageSink::Reserve(std::size_t size) {
  if (size > capacity_ && size_ <= limit_) {
    const std::size_t capacity = std::min(size, limit_);
    Block block = Allocate(capacity);
    if (size_)
      std::memcpy(block.get(), data_.get(), size_);
    data_ = std::move(block);
    capacity_ = capacity;
  }
}

void PageSink::Grow(std::size_t more) {
  // A page that cannot take more text must not be saved with a hole in it:
  // the conversion ends through its failure path.
  if (more > limit_ - size_)
    throw TOrvanelError("Failed to add text to an output file: Size too big.");
  std::size_t capacity = capacity_ ? capacity_ : 4096;
  while (capacity < size_ + more)
    capacity *= 2;
  // Never room beyond the limit, so that reaching it always comes here.
  if (capacity > limit_)
    capacity = limit_;
  Block block = Allocate(capacity);
  if (size_)
    std::memcpy(block.get(), data_.get(), size_);
  data_ = std::move(block);
  capacity_ = capacity;
}
