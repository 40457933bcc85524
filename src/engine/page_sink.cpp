#include "engine/page_sink.h"

#include <charconv>

#include "lib/error.h"

void PageSink::AppendNumber(long long value) {
  char digits[24];
  const auto [end, ec] = std::to_chars(digits, digits + sizeof digits, value);
  (void)ec; // 24 characters hold every long long
  Append(digits, static_cast<std::size_t>(end - digits));
}

void PageSink::Grow(std::size_t more) {
  // A page that cannot take more text must not be saved with a hole in it:
  // the conversion ends through its failure path.
  if (more > MaxSize - size_)
    throw TOrvanelError("Failed to add text to an output file: Size too big.");
  std::size_t capacity = capacity_ ? capacity_ : 4096;
  while (capacity < size_ + more)
    capacity *= 2;
  if (capacity > MaxSize + 1)
    capacity = MaxSize + 1;
  std::unique_ptr<char[]> block(new char[capacity]);
  if (size_)
    std::memcpy(block.get(), data_.get(), size_);
  data_ = std::move(block);
  capacity_ = capacity;
}
