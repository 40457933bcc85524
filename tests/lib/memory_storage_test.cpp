// The growable output buffer: capacity rules, appending, panics, refusals.
#include "lib/memory_storage.h"

#include <gtest/gtest.h>

#include <limits>

#include "lib/error.h"
#include "support/test_support.h"

using testing_support::RecordingErrorDialog;

namespace {

class MemoryStorageTest : public ::testing::Test {
protected:
  void SetUp() override { FunStatContext.Reset(fsPerfect); }
  void TearDown() override { FunStatContext.Reset(fsPerfect); }
  void ExpectPerfect() {
    EXPECT_EQ(FunStatContext.Status, fsPerfect);
    EXPECT_EQ(FunStatContext.RaiseFunction, "");
  }
  TMemoryStorage s;
};

} // namespace

TEST_F(MemoryStorageTest, NewStorageIsEmpty) {
  EXPECT_EQ(s.Data, nullptr);
  EXPECT_EQ(s.Capacity, 0);
  EXPECT_EQ(s.MinCapacity, 256);
  EXPECT_EQ(s.Size, 0);
  EXPECT_EQ(s.Content(), "");
}

TEST_F(MemoryStorageTest, AppendingAbc) {
  s.AddText("abc");
  ExpectPerfect();
  EXPECT_EQ(s.Size, 3);
  EXPECT_EQ(s.Capacity, 256);
  ASSERT_NE(s.Data, nullptr);
  EXPECT_EQ(s.Content(), "abc");
  for (int i = 3; i < 256; ++i)
    ASSERT_EQ(s.Data[i], '\0') << i;
}

TEST_F(MemoryStorageTest, AppendingWithTerminator) {
  s.AddText("abc", true);
  EXPECT_EQ(s.Size, 4);
  EXPECT_EQ(s.Data[3], '\0');
  s.AddText("de");
  EXPECT_EQ(s.Size, 6);
  EXPECT_EQ(s.Content(), std::string("abc\0de", 6));
}

TEST_F(MemoryStorageTest, AppendingEmptyTextDoesNothing) {
  FunStatContext.SetStatus(fsError, "X", "Y", 1, "old", "", "", 0);
  s.AddText("", true);
  ExpectPerfect();
  EXPECT_EQ(s.Size, 0);
  EXPECT_EQ(s.Capacity, 0);
  EXPECT_EQ(s.Data, nullptr);
}

TEST_F(MemoryStorageTest, ReachingAPowerOfTwoDoublesTheCapacity) {
  const std::string first(255, 'x');
  s.AddText(first);
  EXPECT_EQ(s.Capacity, 256);
  s.AddText("y");
  ExpectPerfect();
  EXPECT_EQ(s.Size, 256);
  EXPECT_EQ(s.Capacity, 512);
  EXPECT_EQ(s.Content(), first + "y");
}

TEST_F(MemoryStorageTest, CapacityRule) {
  s.Resize(1000);
  EXPECT_EQ(s.Capacity, 1024);
  s.Resize(1024);
  EXPECT_EQ(s.Capacity, 2048);
  s.Resize(511);
  EXPECT_EQ(s.Capacity, 512);
  s.Resize(256);
  EXPECT_EQ(s.Capacity, 512);
  s.Resize(1);
  EXPECT_EQ(s.Capacity, 256);
  ExpectPerfect();
}

TEST_F(MemoryStorageTest, ShrinkingKeepsTheFirstBytes) {
  std::string text;
  for (int i = 0; i < 1000; ++i)
    text += static_cast<char>('a' + i % 26);
  s.AddText(text);
  EXPECT_EQ(s.Capacity, 1024);
  s.Resize(100);
  ExpectPerfect();
  EXPECT_EQ(s.Size, 100);
  EXPECT_EQ(s.Capacity, 256);
  EXPECT_EQ(s.Content(), text.substr(0, 100));
}

TEST_F(MemoryStorageTest, ResizeToZero) {
  s.Resize(0);
  ExpectPerfect();
  EXPECT_EQ(s.Capacity, 0);
  EXPECT_EQ(s.Data, nullptr);
  s.AddText("abc");
  s.Resize(0);
  ExpectPerfect();
  EXPECT_EQ(s.Size, 0);
  EXPECT_EQ(s.Capacity, 256);
  EXPECT_NE(s.Data, nullptr);
}

TEST_F(MemoryStorageTest, RecapacitateKeepsSizeAndBytes) {
  s.AddText("hello");
  s.Recapacitate(4096);
  ExpectPerfect();
  EXPECT_EQ(s.Capacity, 4096);
  EXPECT_EQ(s.Content(), "hello");
  s.Recapacitate(3);
  EXPECT_EQ(s.Capacity, 3);
  EXPECT_EQ(std::string(s.Data, 3), "hel");
  EXPECT_EQ(s.Size, 5); // Recapacitate does not change Size
  s.Recapacitate(0);
  ExpectPerfect();
  EXPECT_EQ(s.Data, nullptr);
  EXPECT_EQ(s.Capacity, 0);
}

TEST_F(MemoryStorageTest, RecapacitateToTheSameCapacityReportsPerfect) {
  s.AddText("x");
  char* before = s.Data;
  FunStatContext.SetStatus(fsError, "X", "Y", 1, "old", "", "", 0);
  s.Recapacitate(256);
  ExpectPerfect();
  EXPECT_EQ(s.Data, before);
}

TEST_F(MemoryStorageTest, NegativeSizePanics) {
  RecordingErrorDialog dialog;
  s.AddText("abc");
  s.Resize(-1);
  EXPECT_EQ(FunStatContext.Status, fsPanic);
  EXPECT_EQ(FunStatContext.RaiseFile, "MemoryStorage");
  EXPECT_EQ(FunStatContext.RaiseFunction, "TMemoryStorage::Resize");
  EXPECT_EQ(FunStatContext.Description, "Size must be positive.");
  EXPECT_EQ(FunStatContext.Parameter1, "");
  EXPECT_EQ(FunStatContext.SystemErrorCode, 0u);
  ASSERT_EQ(dialog.Reports.size(), 1u);
  EXPECT_EQ(dialog.Reports[0].Caption, "Panic");
  EXPECT_EQ(dialog.Reports[0].Message, "PANIC: Size must be positive.");
  EXPECT_NE(dialog.Reports[0].Report.find("SHOW CONTEXT\r\n* File: \"MemoryStorage\"\r\n"
                                          "* Function: \"\"\r\n"),
            std::string::npos);
  EXPECT_EQ(s.Size, 3);
  EXPECT_EQ(s.Capacity, 256);
  EXPECT_EQ(s.Content(), "abc");
}

TEST_F(MemoryStorageTest, NegativeDeltaBelowSizePanicsThroughAddSize) {
  RecordingErrorDialog dialog;
  s.AddText("abc");
  s.AddSize(-(s.Size + 1));
  EXPECT_EQ(FunStatContext.Status, fsPanic);
  EXPECT_EQ(FunStatContext.RaiseFunction, "TMemoryStorage::Resize");
  ASSERT_EQ(dialog.Reports.size(), 1u);
  EXPECT_EQ(dialog.Reports[0].Message, "PANIC: Size must be positive.");
  EXPECT_EQ(s.Size, 3);
  s.AddSize(-3);
  ExpectPerfect();
  EXPECT_EQ(s.Size, 0);
}

TEST_F(MemoryStorageTest, NegativeCapacityPanics) {
  RecordingErrorDialog dialog;
  s.AddText("abc");
  s.Recapacitate(-5);
  EXPECT_EQ(FunStatContext.Status, fsPanic);
  EXPECT_EQ(FunStatContext.RaiseFunction, "TMemoryStorage::Recapacitate");
  EXPECT_EQ(FunStatContext.Description, "Capacity must be positive.");
  ASSERT_EQ(dialog.Reports.size(), 1u);
  EXPECT_EQ(dialog.Reports[0].Message, "PANIC: Capacity must be positive.");
  EXPECT_EQ(s.Capacity, 256);
  EXPECT_EQ(s.Content(), "abc");
}

TEST_F(MemoryStorageTest, SizeOfTwoToThe30IsRefused) {
  RecordingErrorDialog dialog;
  s.AddText("abc");
  s.Resize(TMemoryStorage::MaxSize + 1);
  EXPECT_EQ(FunStatContext.Status, fsError);
  EXPECT_EQ(FunStatContext.RaiseFunction, "TMemoryStorage::Resize");
  EXPECT_EQ(FunStatContext.Description, "Size too big.");
  EXPECT_EQ(FunStatContext.Parameter1, "");
  EXPECT_EQ(FunStatContext.Parameter2, "");
  EXPECT_TRUE(dialog.Reports.empty());
  EXPECT_EQ(s.Size, 3);
  EXPECT_EQ(s.Capacity, 256);

  s.Resize(std::numeric_limits<std::int32_t>::max());
  EXPECT_EQ(FunStatContext.Description, "Size too big.");
}

TEST_F(MemoryStorageTest, AddSizeDoesNotOverflow) {
  s.AddText("abc");
  s.AddSize(std::numeric_limits<std::int32_t>::max());
  EXPECT_EQ(FunStatContext.Status, fsError);
  EXPECT_EQ(FunStatContext.RaiseFunction, "TMemoryStorage::Resize");
  EXPECT_EQ(FunStatContext.Description, "Size too big.");
  EXPECT_EQ(s.Size, 3);
}

TEST_F(MemoryStorageTest, AddSizeWithLargestNegativeDeltaPanics) {
  RecordingErrorDialog dialog;
  s.AddText("abc");
  s.AddSize(std::numeric_limits<std::int32_t>::min());
  EXPECT_EQ(FunStatContext.Status, fsPanic);
  EXPECT_EQ(s.Size, 3);
}

TEST_F(MemoryStorageTest, FailedAddTextAppendsNothing) {
  s.AddText("abc");
  s.Size = TMemoryStorage::MaxSize - 1; // pretend the storage is nearly full
  const std::int32_t capacity = s.Capacity;
  s.AddText("xyz");
  EXPECT_EQ(FunStatContext.Status, fsError);
  EXPECT_EQ(FunStatContext.RaiseFunction, "TMemoryStorage::Resize");
  EXPECT_EQ(s.Size, TMemoryStorage::MaxSize - 1);
  EXPECT_EQ(s.Capacity, capacity);
  s.Size = 3;
}

TEST_F(MemoryStorageTest, AppendingIsAmortisedConstant) {
  int reallocations = 0;
  std::int32_t capacity = s.Capacity;
  std::string expected;
  for (int i = 0; i < 1 << 18; ++i) {
    const char c = static_cast<char>('a' + i % 26);
    s.AddText(std::string(1, c));
    expected += c;
    if (s.Capacity != capacity) {
      ++reallocations;
      capacity = s.Capacity;
    }
  }
  ExpectPerfect();
  EXPECT_EQ(s.Size, 1 << 18);
  EXPECT_EQ(s.Capacity, 1 << 19);
  EXPECT_EQ(reallocations, 12); // 256, 512, ..., 2^19
  EXPECT_EQ(s.Content(), expected);
}

TEST_F(MemoryStorageTest, ClearStartsOver) {
  s.AddText("abc");
  s.MinCapacity = 1024;
  s.Clear();
  EXPECT_EQ(s.Data, nullptr);
  EXPECT_EQ(s.Capacity, 0);
  EXPECT_EQ(s.MinCapacity, 256);
  EXPECT_EQ(s.Size, 0);
}
