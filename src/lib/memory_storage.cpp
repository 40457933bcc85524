// The growable byte buffer of the output files.
#include "memory_storage.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "error.h"
#include "mymath.h"

namespace {

constexpr const char* UnitName = "MemoryStorage";

} // namespace

TMemoryStorage::TMemoryStorage() : Data(nullptr), Capacity(0), MinCapacity(256), Size(0) {
  Clear();
}

TMemoryStorage::~TMemoryStorage() {
  delete[] Data;
}

void TMemoryStorage::Clear() {
  delete[] Data;
  Data = nullptr;
  Capacity = 0;
  MinCapacity = 256;
  Size = 0;
}

void TMemoryStorage::Recapacitate(std::int32_t newCapacity) {
  if (newCapacity == Capacity) {
    FunStatContext.Reset(fsPerfect);
    return;
  }
  StatusFrame frame(UnitName, "TMemoryStorage::Recapacitate", __LINE__);
  frame.Run(__LINE__, [&] {
    if (newCapacity < 0) {
      const int line = __LINE__;
      frame.Record(fsPanic, line, "Capacity must be positive.");
      frame.Local.SetShowContext(UnitName, "", line);
      frame.Local.Show("PANIC: Capacity must be positive.");
      return;
    }
    if (newCapacity == 0) {
      delete[] Data;
      Data = nullptr;
      Capacity = 0;
      return;
    }
    char* block = new char[static_cast<std::size_t>(newCapacity)]();
    if (Data)
      std::memcpy(block, Data, static_cast<std::size_t>(std::min(newCapacity, Capacity)));
    delete[] Data;
    Data = block;
    Capacity = newCapacity;
  });
}

void TMemoryStorage::Resize(std::int32_t newSize) {
  if (newSize == Size) {
    FunStatContext.Reset(fsPerfect);
    return;
  }
  StatusFrame frame(UnitName, "TMemoryStorage::Resize", __LINE__);
  frame.Run(__LINE__, [&] {
    if (newSize < 0) {
      const int line = __LINE__;
      frame.Record(fsPanic, line, "Size must be positive.");
      frame.Local.SetShowContext(UnitName, "", line);
      frame.Local.Show("PANIC: Size must be positive.");
      return;
    }
    if (newSize > MaxSize) {
      // The capacity rule cannot represent 2^31: refuse in order.
      frame.Record(fsError, __LINE__, "Size too big.");
      return;
    }
    const std::int32_t capacity =
        std::max(static_cast<std::int32_t>(std::int32_t{1} << BitCount(newSize)), MinCapacity);
    Recapacitate(capacity);
    if (frame.TakeOver())
      return;
    Size = newSize;
  });
}

void TMemoryStorage::AddSize(std::int32_t delta) {
  StatusFrame frame(UnitName, "TMemoryStorage::AddSize", __LINE__);
  frame.Run(__LINE__, [&] {
    // Computed without overflow; out-of-range sums keep their sign, so Resize
    // still panics on a negative size and refuses a size that is too big.
    const std::int64_t sum = std::int64_t{Size} + delta;
    const std::int64_t clamped = std::clamp<std::int64_t>(
        sum, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max());
    Resize(static_cast<std::int32_t>(clamped));
    frame.TakeOver();
  });
}

void TMemoryStorage::AddText(const std::string& text, bool includeTerminator) {
  if (text.empty()) {
    FunStatContext.Reset(fsPerfect);
    return;
  }
  StatusFrame frame(UnitName, "TMemoryStorage::AddText", __LINE__);
  frame.Run(__LINE__, [&] {
    const std::int32_t oldSize = Size;
    const std::size_t count = text.size() + (includeTerminator ? 1 : 0);
    if (count > static_cast<std::size_t>(MaxSize)) {
      frame.Record(fsError, __LINE__, "Size too big.");
      return;
    }
    AddSize(static_cast<std::int32_t>(count));
    if (FunStatContext.Status < fsError) {
      // c_str() supplies the terminating zero byte when it is counted.
      std::memcpy(Data + oldSize, text.c_str(), count);
    } else {
      frame.TakeOver();
    }
  });
}

std::string TMemoryStorage::Content() const {
  if (!Data || Size <= 0)
    return {};
  return std::string(Data, static_cast<std::size_t>(Size));
}
