// The string list: loading, sorting, lookup, text.
#include "lib/string_list.h"

#include <gtest/gtest.h>

#include "lib/error.h"
#include "support/test_support.h"

using testing_support::TempDir;
using testing_support::WriteFileBytes;

namespace {

std::vector<std::string> Entries(const TStringList& list) {
  std::vector<std::string> entries;
  for (int i = 0; i < list.Count(); ++i)
    entries.push_back(list[i]);
  return entries;
}

std::vector<std::string> Lines(const std::string& bytes) {
  TStringList list;
  list.SetText(bytes);
  return Entries(list);
}

using V = std::vector<std::string>;

} // namespace

TEST(StringListText, EachLineBreakKindEndsALine) {
  EXPECT_EQ(Lines("a\r\nb\rc\nd"), (V{"a", "b", "c", "d"}));
}

TEST(StringListText, LastLineWithoutBreakCounts) {
  EXPECT_EQ(Lines("one\r\ntwo"), (V{"one", "two"}));
  EXPECT_EQ(Lines("one\r\n"), (V{"one"}));
  EXPECT_EQ(Lines("single"), (V{"single"}));
}

TEST(StringListText, EmptyLinesAreEntries) {
  EXPECT_EQ(Lines(""), V{});
  EXPECT_EQ(Lines("\r\n"), (V{""}));
  EXPECT_EQ(Lines("a\n\nb"), (V{"a", "", "b"}));
  EXPECT_EQ(Lines("a\r\r\nb"), (V{"a", "", "b"}));
  EXPECT_EQ(Lines("a\n\r"), (V{"a", ""}));
  EXPECT_EQ(Lines("\r\r"), (V{"", ""}));
}

TEST(StringListText, NulEndsTheText) {
  EXPECT_EQ(Lines(std::string("ab\0cd\r\nef", 10)), (V{"ab"}));
  EXPECT_EQ(Lines(std::string("ab\r\n\0cd", 7)), (V{"ab"}));
  EXPECT_EQ(Lines(std::string("\0ab", 3)), V{});
}

TEST(StringListText, TextEndsEveryEntryWithCrLf) {
  TStringList list;
  EXPECT_EQ(list.Text(), "");
  list.Add("a");
  list.Add("");
  list.Add("b");
  EXPECT_EQ(list.Text(), "a\r\n\r\nb\r\n");
}

TEST(StringListFile, LoadsLinesFromAFile) {
  TempDir dir;
  WriteFileBytes(dir / "lines.txt", "first\r\nsecond\rthird\nlast");
  TStringList list;
  list.Add("old");
  list.LoadFromFile(dir / "lines.txt");
  EXPECT_EQ(Entries(list), (V{"first", "second", "third", "last"}));
}

TEST(StringListFile, KeepsHighBytes) {
  TempDir dir;
  WriteFileBytes(dir / "high.txt", "caf\xE9\r\n\xFF");
  TStringList list;
  list.LoadFromFile(dir / "high.txt");
  EXPECT_EQ(Entries(list), (V{"caf\xE9", "\xFF"}));
}

TEST(StringListFile, UnreadableFileThrows) {
  TempDir dir;
  TStringList list;
  EXPECT_THROW(list.LoadFromFile(dir / "missing.txt"), TOrvanelError);
  EXPECT_THROW(list.LoadFromFile(dir.Path()), TOrvanelError);
  try {
    list.LoadFromFile(dir / "missing.txt");
  } catch (const TOrvanelError& e) {
    EXPECT_NE(std::string(e.what()).find("missing.txt"), std::string::npos);
  }
}

TEST(StringList, AddGetPutAndValues) {
  TStringList list;
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(list.Add("x"), 0);
  EXPECT_EQ(list.Add("y", 7), 1);
  EXPECT_EQ(list.GetObject(0), 0u);
  EXPECT_EQ(list.GetObject(1), 7u);
  list.Put(1, "z");
  EXPECT_EQ(list[1], "z");
  EXPECT_EQ(list.GetObject(1), 7u);
  list.PutObject(0, 0xFFFFFFFFu);
  EXPECT_EQ(list.GetObject(0), 0xFFFFFFFFu);
  list.Clear();
  EXPECT_EQ(list.Count(), 0);
}

TEST(StringList, IndexOfIgnoresCaseAndFindsTheFirst) {
  TStringList list;
  list.Add("Alpha");
  list.Add("beta");
  list.Add("BETA");
  EXPECT_EQ(list.IndexOf("ALPHA"), 0);
  EXPECT_EQ(list.IndexOf("Beta"), 1);
  EXPECT_EQ(list.IndexOf("gamma"), -1);
  EXPECT_EQ(list.IndexOf("alph"), -1);
}

TEST(StringList, SortIsCaseInsensitiveAndStable) {
  TStringList list;
  list.Add("b", 1);
  list.Add("A", 2);
  list.Add("B", 3);
  list.Add("a", 4);
  list.Sort();
  EXPECT_EQ(Entries(list), (V{"A", "a", "b", "B"}));
  EXPECT_EQ(list.GetObject(0), 2u);
  EXPECT_EQ(list.GetObject(1), 4u);
  EXPECT_EQ(list.GetObject(2), 1u);
  EXPECT_EQ(list.GetObject(3), 3u);
}

TEST(StringList, CustomSortUsesTheCallersOrder) {
  TStringList list;
  list.Add("ab", 1);
  list.Add("abcd", 2);
  list.Add("xy", 3);
  list.Add("abc", 4);
  list.CustomSort([](const std::string& a, const std::string& b) { return a.size() > b.size(); });
  EXPECT_EQ(Entries(list), (V{"abcd", "abc", "ab", "xy"}));
  EXPECT_EQ(list.GetObject(0), 2u);
}

TEST(StringList, AddStringsCopiesTextsAndValues) {
  TStringList a;
  a.Add("one", 1);
  TStringList b;
  b.Add("two", 2);
  b.Add("three", 3);
  a.AddStrings(b);
  EXPECT_EQ(Entries(a), (V{"one", "two", "three"}));
  EXPECT_EQ(a.GetObject(2), 3u);
  a.AddStrings(a);
  EXPECT_EQ(a.Count(), 6);
}

TEST(StringList, AddSortedUniqueKeepsOrderAndSkipsDuplicates) {
  TStringList list;
  EXPECT_TRUE(list.AddSortedUnique("delta"));
  EXPECT_TRUE(list.AddSortedUnique("Alpha"));
  EXPECT_TRUE(list.AddSortedUnique("charlie"));
  EXPECT_FALSE(list.AddSortedUnique("ALPHA"));
  EXPECT_TRUE(list.AddSortedUnique("bravo"));
  EXPECT_EQ(Entries(list), (V{"Alpha", "bravo", "charlie", "delta"}));
}
