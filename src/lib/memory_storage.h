// Growable byte buffer into which each output file is accumulated.
#pragma once

#include <cstdint>
#include <string>

class TMemoryStorage {
public:
  TMemoryStorage();
  ~TMemoryStorage();
  TMemoryStorage(const TMemoryStorage&) = delete;
  TMemoryStorage& operator=(const TMemoryStorage&) = delete;

  /// Frees the block and starts over empty. Touches no status.
  void Clear();
  /// Sets the allocated size, keeping the first min(old, new) bytes.
  void Recapacitate(std::int32_t newCapacity);
  /// Sets the size; the capacity becomes the next power of two above it
  /// (at least MinCapacity).
  void Resize(std::int32_t newSize);
  void AddSize(std::int32_t delta);
  /// Appends the text's bytes (and a zero byte when asked).
  void AddText(const std::string& text, bool includeTerminator = false);

  /// The content as a string (Size bytes from Data).
  std::string Content() const;

  /// The largest size the capacity rule can represent.
  static constexpr std::int32_t MaxSize = (1 << 30) - 1;

  char* Data;
  std::int32_t Capacity;
  std::int32_t MinCapacity;
  std::int32_t Size;
};
