// A hostile file system: templates and sources that are folders, pipes or
// devices, huge templates, outputs in the way, a read-only destination,
// writes cut short by a file-size limit, and a conversion killed at any time.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "hostile_support.h"

using namespace hostile;
using testing_support::FileExists;
using testing_support::MakeDirectory;
using testing_support::ReadFileBytes;
using testing_support::WriteFileBytes;
namespace fs = std::filesystem;

namespace {

const char* const kTemplates[] = {"BeforeContent.htm", "BeforeTOC.htm", "BeforeTOCButtons.htm",
                                  "BeforeGlossary.htm", "BeforeSection.htm"};

class HostileFiles : public HostileTest {
protected:
  HostileFiles() { WriteSource("~S=Intro|intro\r\nSome intro text.\r\n"); }

  void WriteOldOutputs() const {
    for (const std::string& suffix : kSuffixes)
      WriteFileBytes(dest + "Guide" + suffix, "old" + suffix);
  }
  // Every old page as it was written by WriteOldOutputs.
  void ExpectOldOutputs() const {
    for (const std::string& suffix : kSuffixes)
      EXPECT_EQ(Output(suffix), "old" + suffix);
  }
  // The outcome of a conversion stopped by a file that cannot be read: the
  // error dialog, no new pages, the summary still logged, and the
  // destination as it was.
  void ExpectUnreadable(const RunResult& run, const std::string& reason,
                        const std::vector<std::string>& entriesBefore) const {
    EXPECT_EQ(run.Status, 1) << run.Err;
    EXPECT_NE(run.Err.find("Error: Failed to process file.\n"), std::string::npos) << run.Err;
    EXPECT_NE(run.Err.find(reason), std::string::npos) << run.Err;
    EXPECT_EQ(run.Out.find("File has been processed."), std::string::npos);
    EXPECT_NE(run.Out.find("* There are 0 headers.\n"), std::string::npos);
    EXPECT_EQ(DestinationEntries(), entriesBefore);
  }
  // A save that failed: logged, not shown.
  static void ExpectSaveFailed(const RunResult& run) {
    EXPECT_EQ(run.Status, 1) << run.Err;
    EXPECT_NE(run.Out.find("* Failed to process file.\n"), std::string::npos) << run.Out;
    EXPECT_EQ(run.Out.find("File has been processed."), std::string::npos);
    EXPECT_NE(run.Out.find("* There are 1 headers.\n"), std::string::npos);
  }
  static void MakeFifo(const std::string& path) {
    ASSERT_EQ(std::system(("mkfifo " + Quote(path)).c_str()), 0);
  }
};

TEST_F(HostileFiles, TemplatesThatAreFolders) {
  for (const char* name : kTemplates) {
    SCOPED_TRACE(name);
    WriteOldOutputs();
    fs::remove(src + name);
    MakeDirectory(src + name);
    ExpectUnreadable(Convert(), "Is a directory", DestinationEntries());
    ExpectOldOutputs();
    fs::remove(src + name);
    WriteFileBytes(src + name, "<!--restored-->");
  }
}

TEST_F(HostileFiles, TemplateThatIsAPipeDoesNotHang) {
  fs::remove(src + "BeforeSection.htm");
  MakeFifo(src + "BeforeSection.htm");
  ExpectUnreadable(Convert(), "BeforeSection.htm", {});
}

TEST_F(HostileFiles, HugeTemplatesAreCopiedWhole) {
  // 64 MiB of template in lines of 64 bytes, some ending in a lone LF.
  std::string big;
  for (int i = 0; big.size() < (64u << 20); ++i)
    big += std::string(62, static_cast<char>('a' + i % 26)) + (i % 3 ? "\r\n" : "\n ");
  WriteFileBytes(src + "BeforeGlossary.htm", big);
  const RunResult run = Convert();
  EXPECT_CONVERTED(run);
  std::string rejoined;
  for (std::size_t at = 0; at < big.size();) {
    const std::size_t end = std::min(big.find_first_of("\r\n", at), big.size());
    rejoined.append(big, at, end - at);
    rejoined += "\r\n";
    at = end + (end < big.size() && big[end] == '\r' ? 2 : 1);
  }
  const std::string glossary = Output(".gls.htm");
  EXPECT_EQ(glossary.size(), rejoined.size() + 72);
  EXPECT_TRUE(glossary.compare(0, rejoined.size(), rejoined) == 0);
}

// Free memory in bytes as the system reports it; 0 when unknown.
std::uint64_t AvailableMemory() {
  std::ifstream info("/proc/meminfo");
  std::string key;
  std::uint64_t kib = 0;
  std::string unit;
  while (info >> key >> kib >> unit)
    if (key == "MemAvailable:")
      return kib * 1024;
  return 0;
}

TEST_F(HostileFiles, TemplateLargerThanAPageMayHoldFailsVisibly) {
  // One line of 2^30 bytes: with its line end it is beyond the 2^30 - 1
  // bytes a page can hold. Reading and re-joining it takes a few GiB.
  if (AvailableMemory() < (12ull << 30))
    GTEST_SKIP() << "needs 12 GiB of free memory";
  {
    std::ofstream out(src + "BeforeContent.htm", std::ios::binary | std::ios::trunc);
    const std::string chunk(1 << 20, 'h');
    for (int i = 0; i < 1024; ++i)
      out.write(chunk.data(), static_cast<std::streamsize>(chunk.size()));
    ASSERT_TRUE(out.good());
  }
  WriteOldOutputs();
  const RunResult run = Convert();
  fs::remove(src + "BeforeContent.htm");
  EXPECT_EQ(run.Status, 1) << run.Err;
  EXPECT_NE(run.Err.find("Error: Failed to process file.\n"), std::string::npos) << run.Err;
  EXPECT_EQ(run.Out.find("File has been processed."), std::string::npos);
  ExpectOldOutputs();
}

TEST_F(HostileFiles, SourceThatIsAFolder) {
  fs::remove(SourcePath());
  MakeDirectory(SourcePath());
  WriteOldOutputs();
  ExpectUnreadable(Convert(), "Is a directory", DestinationEntries());
  ExpectOldOutputs();
}

TEST_F(HostileFiles, SourceThatVanished) {
  // A link left pointing nowhere: the source is gone by the time it is checked.
  fs::remove(SourcePath());
  fs::create_symlink(dir / "gone.txt", SourcePath());
  const RunResult run = Convert();
  EXPECT_EQ(run.Status, 1);
  EXPECT_EQ(run.Err, "Error: Invalid source file or destination directory.\n");
  EXPECT_TRUE(DestinationEntries().empty());
}

TEST_F(HostileFiles, SourceThatIsAPipeOrADeviceDoesNotHang) {
  WriteOldOutputs();
  fs::remove(SourcePath());
  MakeFifo(SourcePath());
  ExpectUnreadable(Convert(), "Guide.txt", DestinationEntries());

  // A device reads forever; it must be refused, not read until memory runs out.
  fs::remove(SourcePath());
  fs::create_symlink("/dev/zero", SourcePath());
  ExpectUnreadable(Convert(), "Guide.txt", DestinationEntries());
  ExpectOldOutputs();
}

TEST_F(HostileFiles, SourceThatCannotBeRead) {
  fs::permissions(SourcePath(), fs::perms::none);
  if (static_cast<bool>(std::ifstream(SourcePath())))
    GTEST_SKIP() << "permissions do not stop this user from reading";
  WriteOldOutputs();
  ExpectUnreadable(Convert(), "Permission denied", DestinationEntries());
  ExpectOldOutputs();
}

TEST_F(HostileFiles, OutputNameTakenByAFolder) {
  MakeDirectory(dest + "Guide.cnt.htm");
  RunResult run = Convert();
  ExpectSaveFailed(run);
  EXPECT_TRUE(fs::is_directory(dest + "Guide.cnt.htm"));
  EXPECT_EQ(DestinationEntries(), std::vector<std::string>{"Guide.cnt.htm"});

  // The last file in the way: the three before it, written whole, are not
  // put in place either.
  fs::remove(dest + "Guide.cnt.htm");
  MakeDirectory(dest + "Guide.gls.htm");
  run = Convert();
  ExpectSaveFailed(run);
  EXPECT_EQ(DestinationEntries(), std::vector<std::string>{"Guide.gls.htm"});
  EXPECT_TRUE(fs::is_directory(dest + "Guide.gls.htm"));
}

TEST_F(HostileFiles, OutputNameTakenByAPipeDoesNotHang) {
  MakeFifo(dest + "Guide.tocbtn.htm");
  ExpectSaveFailed(Convert());
  EXPECT_EQ(DestinationEntries(), std::vector<std::string>{"Guide.tocbtn.htm"});
}

// Makes a folder immutable for as long as it lives: permissions do not stop
// root from writing, an immutable folder does (where the file system has it).
class ImmutableFolder {
public:
  explicit ImmutableFolder(const std::string& folder) : folder_(folder) {
    set_ = std::system(("chattr +i " + Quote(folder_) + " 2>/dev/null").c_str()) == 0;
  }
  ~ImmutableFolder() {
    if (!set_)
      return;
    const int status = std::system(("chattr -i " + Quote(folder_) + " 2>/dev/null").c_str());
    (void)status;
  }
  ImmutableFolder(const ImmutableFolder&) = delete;
  ImmutableFolder& operator=(const ImmutableFolder&) = delete;

private:
  std::string folder_;
  bool set_ = false;
};

TEST_F(HostileFiles, ReadOnlyDestination) {
  fs::permissions(dest, fs::perms::owner_read | fs::perms::owner_exec);
  std::unique_ptr<ImmutableFolder> immutable;
  if (CanCreateIn(dest))
    immutable = std::make_unique<ImmutableFolder>(dest);
  if (CanCreateIn(dest))
    GTEST_SKIP() << "neither permissions nor an immutable folder stop this user from writing";
  ExpectSaveFailed(Convert());
  immutable.reset();
  fs::permissions(dest, fs::perms::owner_all);
  EXPECT_TRUE(DestinationEntries().empty());
}

// A file-size limit of BYTES (a multiple of 512) for the converter.
std::string SizeLimit(std::size_t bytes) {
  return "ulimit -f " + std::to_string(bytes / 512) + ";";
}

TEST_F(HostileFiles, WriteCutShortHalfWay) {
  // A content page of about 200 KB against a limit of 32 KiB: the first write
  // stops at the limit and the next one fails; the process must live on.
  std::string source;
  for (int i = 0; i < 5000; ++i)
    source += "Line " + std::to_string(i) + " of the text.\r\n";
  WriteSource("~S=Intro\r\n" + source);
  const RunResult run = Convert("", SizeLimit(32768));
  ExpectSaveFailed(run);
  // Nothing cut short is left behind, and nothing after it was written.
  EXPECT_TRUE(DestinationEntries().empty());
}

TEST_F(HostileFiles, DiskFullAtAnyPageKeepsEveryOldPage) {
  // One template at a time is over the limit; the pages around it fit.
  const char* const templates[] = {"BeforeContent.htm", "BeforeTOC.htm", "BeforeTOCButtons.htm",
                                   "BeforeGlossary.htm"};
  for (const char* name : templates) {
    SCOPED_TRACE(name);
    const std::string original = ReadFileBytes(src + name);
    WriteFileBytes(src + name, std::string(100000, 'g'));
    WriteOldOutputs();
    ExpectSaveFailed(Convert("", SizeLimit(32768)));
    ExpectOldOutputs();
    EXPECT_EQ(DestinationEntries().size(), 4u); // no temporary left behind
    WriteFileBytes(src + name, original);
  }
}

TEST_F(HostileFiles, PageExactlyAtTheSizeLimitIsWritten) {
  // Template text and its CR LF make the glossary page exactly 32768 bytes.
  WriteFileBytes(src + "BeforeGlossary.htm", std::string(32766 - 72, 'g'));
  const RunResult run = Convert("", SizeLimit(32768));
  EXPECT_CONVERTED(run);
  EXPECT_EQ(Output(".gls.htm").size(), 32768u);
}

} // namespace
