#include "lib/replace_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#if defined(_WIN32)
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#endif

#include "lib/error.h"
#include "lib/platform/platform.h"
#include "support/test_support.h"

using testing_support::FileExists;
using testing_support::MakeDirectory;
using testing_support::ReadFileBytes;
using testing_support::TempDir;
using testing_support::WriteFileBytes;
namespace fs = std::filesystem;

namespace {

const char* const kSuffixes[] = {".cnt.htm", ".toc.htm", ".tocbtn.htm", ".gls.htm"};

class ReplaceFilesTest : public ::testing::Test {
protected:
  void SetUp() override {
    for (int i = 0; i < 4; ++i) {
      names_.push_back(dir_ / (std::string("Guide") + kSuffixes[i]));
      // Different sizes, so that a mix-up shows.
      content_.push_back("<P>new page " + std::to_string(i) + "</P>" + std::string(i * 1000, 'n'));
    }
  }
  void TearDown() override { SetReplaceFault(nullptr); }

  std::vector<TFileContent> Pages() const {
    std::vector<TFileContent> pages;
    for (std::size_t i = 0; i < names_.size(); ++i)
      pages.push_back({names_[i], content_[i].data(), content_[i].size()});
    return pages;
  }
  void WriteOldPages() const {
    for (std::size_t i = 0; i < names_.size(); ++i)
      WriteFileBytes(names_[i], "old " + std::to_string(i));
  }
  // The folder's entries and what each file holds.
  std::map<std::string, std::string> Folder() const {
    std::map<std::string, std::string> entries;
    for (const auto& entry : fs::directory_iterator(dir_.Path()))
      entries[entry.path().filename().string()] =
          entry.is_regular_file() ? ReadFileBytes(entry.path().string()) : "(not a file)";
    return entries;
  }

  TempDir dir_;
  std::vector<std::string> names_;
  std::vector<std::string> content_;
};

TEST_F(ReplaceFilesTest, ReplacesOldFilesAndCreatesMissingOnesLeavingNoTemporary) {
  WriteFileBytes(names_[0], "old 0");
  WriteFileBytes(names_[2], "old 2");
  content_[3].clear(); // an empty page is a page too
  std::vector<TFileContent> pages = Pages();
  pages[3].Data = nullptr;
  ASSERT_TRUE(ReplaceFiles(pages));
  EXPECT_EQ(FunStatContext.Status, fsPerfect);
  std::map<std::string, std::string> expected;
  for (std::size_t i = 0; i < names_.size(); ++i)
    expected[fs::path(names_[i]).filename().string()] = content_[i];
  EXPECT_EQ(Folder(), expected);
}

// Fails the step STEP of the file at index FaultIndex.
const char* FaultStep = "";
std::size_t FaultIndex = 0;
bool InjectedFault(const char* step, std::size_t index) {
  return std::string(step) == FaultStep && index == FaultIndex;
}

TEST_F(ReplaceFilesTest, AFailureAtAnyStepLeavesEveryFileAsItWas) {
  for (const char* step : {"create", "write", "flush", "backup", "rename"}) {
    for (std::size_t index = 0; index < 4; ++index) {
      for (const bool allOld : {true, false}) {
        SCOPED_TRACE(std::string(step) + " of file " + std::to_string(index) +
                     (allOld ? ", all old" : ", two missing"));
        for (const std::string& name : names_)
          fs::remove(name);
        WriteOldPages();
        if (!allOld) {
          fs::remove(names_[1]);
          fs::remove(names_[3]);
        }
        const auto before = Folder();
        FaultStep = step;
        FaultIndex = index;
        SetReplaceFault(InjectedFault);
        EXPECT_FALSE(ReplaceFiles(Pages()));
        SetReplaceFault(nullptr);
        EXPECT_EQ(FunStatContext.Status, fsError);
        EXPECT_EQ(FunStatContext.Description, "Failed to save.");
        EXPECT_EQ(FunStatContext.Parameter1, names_[index]);
        EXPECT_EQ(FunStatContext.SystemErrorCode, plat::ErrorAccessDenied);
        EXPECT_EQ(Folder(), before);
      }
    }
  }
}

TEST_F(ReplaceFilesTest, AFolderInPlaceOfTheLastFileStopsEveryReplacement) {
  WriteOldPages();
  fs::remove(names_[3]);
  MakeDirectory(names_[3]);
  const auto before = Folder();
  EXPECT_FALSE(ReplaceFiles(Pages()));
  EXPECT_EQ(FunStatContext.Description, "Failed to save.");
  EXPECT_EQ(FunStatContext.Parameter1, names_[3]);
  EXPECT_EQ(Folder(), before);
}

TEST_F(ReplaceFilesTest, OnlyLeftoversOfTheOwnPatternAreRemoved) {
  const std::string leftover = ".~orvanel-0123456789abcdef.tmp";
  EXPECT_TRUE(IsTemporaryFileName(leftover));
  const std::vector<std::string> kept{
      "Guide.cnt.htm",
      ".~orvanel-00000000000000AB.tmp",     // not the program's digits
      ".~orvanel-0123456789abcde.tmp",      // one digit short
      ".~orvanel-0123456789abcdef.tmp.htm", // a page named after such a source
      "x.~orvanel-0123456789abcdef.tmp",    // only a part of the name
      ".~orvanel-0123456789abcdeg.tmp"};    // not hexadecimal
  for (const std::string& name : kept) {
    EXPECT_FALSE(IsTemporaryFileName(name)) << name;
    WriteFileBytes(dir_ / name, "author's");
  }
  WriteFileBytes(dir_ / leftover, "torn");
  MakeDirectory(dir_ / ".~orvanel-00000000000000ff.tmp"); // a folder is never removed

  ASSERT_TRUE(ReplaceFiles({{dir_ / "Guide.cnt.htm", "new", 3}}));
  EXPECT_FALSE(FileExists(dir_ / leftover));
  for (const std::string& name : kept)
    EXPECT_TRUE(FileExists(dir_ / name)) << name;
  EXPECT_EQ(ReadFileBytes(dir_ / "Guide.cnt.htm"), "new");
  EXPECT_TRUE(fs::is_directory(dir_ / ".~orvanel-00000000000000ff.tmp"));
}

TEST_F(ReplaceFilesTest, ATemporaryHeldByARunningSaveIsNotRemoved) {
  const std::string busy = dir_ / ".~orvanel-00000000000000aa.tmp";
  const plat::FileHandle file = plat::CreateNew(busy);
  ASSERT_NE(file, plat::InvalidFile);
  RemoveLeftoverTemporaries(dir_.Path());
  EXPECT_TRUE(FileExists(busy));
  plat::CloseFile(file);
  RemoveLeftoverTemporaries(dir_.Path());
  EXPECT_FALSE(FileExists(busy));
}

TEST_F(ReplaceFilesTest, ANameTakenAtTheTemporaryIsNeverOpened) {
  // Whatever is at a name CreateNew is given, it is left alone.
  const std::string taken = dir_ / ".~orvanel-00000000000000bb.tmp";
  WriteFileBytes(taken, "someone else's");
  plat::SetLastError(plat::ErrorSuccess);
  EXPECT_EQ(plat::CreateNew(taken), plat::InvalidFile);
  EXPECT_NE(plat::GetLastError(), plat::ErrorSuccess);
  EXPECT_EQ(ReadFileBytes(taken), "someone else's");
}

#if defined(_WIN32)
// Windows refuses to replace a file that another handle holds without
// sharing deletion, or that is read-only: the save fails whole.
TEST_F(ReplaceFilesTest, APageHeldOpenElsewhereKeepsEveryOldPage) {
  WriteOldPages();
  const auto before = Folder();
  const HANDLE held = ::CreateFileA(names_[2].c_str(), GENERIC_READ | GENERIC_WRITE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(ReplaceFiles(Pages()));
  ::CloseHandle(held);
  EXPECT_EQ(FunStatContext.Description, "Failed to save.");
  EXPECT_EQ(FunStatContext.Parameter1, names_[2]);
  EXPECT_NE(FunStatContext.SystemErrorCode, 0u);
  EXPECT_EQ(Folder(), before);
}

TEST_F(ReplaceFilesTest, AReadOnlyPageKeepsEveryOldPage) {
  WriteOldPages();
  const auto before = Folder();
  ASSERT_TRUE(::SetFileAttributesA(names_[3].c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_FALSE(ReplaceFiles(Pages()));
  const std::map<std::string, std::string> after = Folder();
  ::SetFileAttributesA(names_[3].c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(FunStatContext.Description, "Failed to save.");
  EXPECT_EQ(FunStatContext.Parameter1, names_[3]);
  EXPECT_EQ(after, before);
}
#else
// Elsewhere replacing is a rename: neither a reader nor the page's own
// permissions stand in its way, and a reader keeps the old page whole.
TEST_F(ReplaceFilesTest, AReaderOfAnOldPageKeepsReadingItWhole) {
  WriteOldPages();
  fs::permissions(names_[3], fs::perms::owner_read);
  const plat::FileHandle reader = plat::HoldFile(names_[2]);
  ASSERT_NE(reader, plat::InvalidFile);
  ASSERT_TRUE(ReplaceFiles(Pages()));
  std::uint32_t low = 0;
  std::uint32_t high = 0;
  ASSERT_TRUE(plat::GetFileSize(reader, low, high));
  EXPECT_EQ(low, 5u); // "old 2"
  plat::CloseFile(reader);
  for (std::size_t i = 0; i < names_.size(); ++i)
    EXPECT_EQ(ReadFileBytes(names_[i]), content_[i]);
  EXPECT_EQ(Folder().size(), 4u);
}
#endif

} // namespace
