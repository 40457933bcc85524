// The growable byte buffer a page is rendered into. Appending is a capacity
// check and a copy; the page limit is checked only when the buffer grows.
#pragma once

#include <cstddef>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

class PageSink {
public:
  /// The most a page may hold: the support library's storage limit.
  static constexpr std::size_t MaxSize = (std::size_t{1} << 30) - 1;

  /// LIMIT is the most the page may hold (smaller ones are for tests).
  explicit PageSink(std::size_t limit = MaxSize) : limit_(limit) {}
  PageSink(const PageSink&) = delete;
  PageSink& operator=(const PageSink&) = delete;

  void Append(const char* data, std::size_t size) {
    if (size > capacity_ - size_)
      Grow(size);
    if (size) // memcpy may not take a null pointer, even for no bytes
      std::memcpy(data_.get() + size_, data, size);
    size_ += size;
  }
  void Append(std::string_view text) { Append(text.data(), text.size()); }
  void Append(char c) {
    if (size_ == capacity_)
      Grow(1);
    data_[size_++] = c;
  }
  /// Capacity for SIZE bytes in all, so that a page of about that size never
  /// moves. Memory not yet written costs nothing on systems that map pages
  /// on first use.
  void Reserve(std::size_t size);
  /// Room for SIZE more bytes, counted as written: the caller fills them.
  char* Extend(std::size_t size) {
    if (size > capacity_ - size_)
      Grow(size);
    char* at = data_.get() + size_;
    size_ += size;
    return at;
  }
  /// A decimal number.
  void AppendNumber(long long value);

  const char* Data() const { return data_.get(); }
  std::size_t Size() const { return size_; }
  std::string_view View() const { return {data_.get(), size_}; }
  /// Back to SIZE bytes (at most the current size).
  void Truncate(std::size_t size) { size_ = size < size_ ? size : size_; }
  void Clear() { size_ = 0; }

private:
  /// Makes room for MORE bytes; throws TOrvanelError beyond MaxSize.
  void Grow(std::size_t more);

  struct Release {
    std::size_t Alignment;
    void operator()(char* block) const;
  };
  using Block = std::unique_ptr<char[], Release>;
  static Block Allocate(std::size_t capacity);

  Block data_{nullptr, Release{0}};
  std::size_t size_ = 0;
  std::size_t capacity_ = 0;
  std::size_t limit_ = MaxSize;
};
