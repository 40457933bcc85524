// What a conversion may touch: the frame page is handed to the opener as one
// argument and never to a shell, nothing is written outside the destination,
// and no name from the source leads a page or a link out of it.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "hostile_support.h"

using namespace hostile;
using testing_support::FileExists;
using testing_support::MakeDirectory;
using testing_support::ReadFileBytes;
using testing_support::WriteFileBytes;
namespace fs = std::filesystem;

namespace {

class HostileNames : public HostileTest {
protected:
  HostileNames() : bin(dir / "bin/"), record(dir / "record/") {
    MakeDirectory(bin);
    MakeDirectory(record);
    // The stand-in opener writes its working folder and then each argument
    // followed by a NUL byte.
    WriteFileBytes(bin + "xdg-open",
                   "#!/bin/sh\n{ pwd; for a in \"$@\"; do printf '%s\\000' \"$a\"; done; } > " +
                       Quote(record + "args.tmp") + "\nmv " + Quote(record + "args.tmp") + " " +
                       Quote(record + "args") + "\n");
    fs::permissions(bin + "xdg-open", fs::perms::owner_all);
    WriteSource("~S=Intro|intro\r\nThe intro.\r\n");
  }

  std::string OpenerPath() const { return "PATH=" + Quote(bin + ":/usr/bin:/bin"); }

  // The opener's arguments, waiting for it to have run.
  std::vector<std::string> OpenerArguments() const {
    const std::string file = record + "args";
    for (int i = 0; i < 1000 && !FileExists(file); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    if (!FileExists(file))
      return {"(the opener did not run)"};
    const std::string bytes = ReadFileBytes(file);
    fs::remove(file);
    std::vector<std::string> arguments;
    for (std::size_t at = bytes.find('\n') + 1; at < bytes.size();) {
      const std::size_t end = bytes.find('\0', at);
      arguments.push_back(bytes.substr(at, end - at));
      at = end + 1;
    }
    return arguments;
  }

  bool AnythingNamed(const std::string& name) const {
    for (const auto& entry : fs::recursive_directory_iterator(dir.Path()))
      if (entry.path().filename() == name)
        return true;
    return false;
  }

  std::string bin;
  std::string record;
};

const std::string kTricky = "site 'q' \"dq\" ; $(touch pwned) `touch pwned2` & |x> *";

TEST_F(HostileNames, FramePageGoesToTheOpenerAsOneArgument) {
  const std::string site = dir / kTricky;
  MakeDirectory(site);
  WriteFileBytes(site + "/Index.htm", "<HTML></HTML>");
  const RunResult run = Run("--open " + Quote(SourcePath()) + " " + Quote(site), OpenerPath());
  EXPECT_CONVERTED(run);
  EXPECT_EQ(run.Err, "");
  EXPECT_EQ(OpenerArguments(), std::vector<std::string>{site + "/Index.htm"});
  EXPECT_FALSE(AnythingNamed("pwned"));
  EXPECT_FALSE(AnythingNamed("pwned2"));
}

TEST_F(HostileNames, DestinationThatLooksLikeAnOption) {
  MakeDirectory(work + "-x dir");
  WriteFileBytes(work + "-x dir/Index.htm", "<HTML></HTML>");
  const RunResult run =
      Run("--open -- " + Quote(SourcePath()) + " " + Quote("-x dir"), OpenerPath());
  EXPECT_CONVERTED(run);
  EXPECT_EQ(OpenerArguments(), std::vector<std::string>{work + "-x dir/Index.htm"});
  EXPECT_TRUE(FileExists(work + "-x dir/Guide.cnt.htm"));
}

// Every file below ROOT (links and other entries that are not folders) with
// its size and time of last change, leaving out the folders named in SKIP.
std::map<std::string, std::pair<std::uintmax_t, fs::file_time_type>>
Snapshot(const std::string& root, const std::vector<std::string>& skip) {
  std::map<std::string, std::pair<std::uintmax_t, fs::file_time_type>> files;
  for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator();
       ++it) {
    const std::string path = it->path().string();
    bool skipped = false;
    for (const std::string& folder : skip)
      skipped = skipped || path.rfind(folder, 0) == 0;
    // A folder changes with its entries; the entries themselves are compared.
    if (skipped || it->is_directory())
      continue;
    const std::uintmax_t size = it->is_regular_file() ? it->file_size() : 0;
    files[path] = {size, it->last_write_time()};
  }
  return files;
}

TEST_F(HostileNames, NothingIsWrittenOutsideTheDestination) {
  for (const char* folder : {"home", "tmp", "runtime"})
    MakeDirectory(dir / folder);
  const std::string environment = OpenerPath() + " HOME=" + Quote(dir / "home") +
                                  " TMPDIR=" + Quote(dir / "tmp") +
                                  " XDG_RUNTIME_DIR=" + Quote(dir / "runtime");
  // Old pages, so that replacing them is seen as well.
  WriteFileBytes(dest + "Index.htm", "<HTML></HTML>");
  WriteFileBytes(dest + "Guide.cnt.htm", "old");
  WriteFileBytes(dest + "Guide.tocbtn.htm", "old");
  const std::vector<std::string> skip{dir / "streams", record};
  const auto before = Snapshot(dir.Path(), skip);
  std::this_thread::sleep_for(std::chrono::milliseconds(20));

  const RunResult run =
      Run("--open " + Quote(SourcePath()) + " " + Quote(DestinationArgument()), environment);
  EXPECT_CONVERTED(run);
  OpenerArguments();
  const auto after = Snapshot(dir.Path(), skip);
  std::vector<std::string> changed;
  for (const auto& [path, stamp] : after) {
    const auto old = before.find(path);
    if (old == before.end() || old->second != stamp)
      changed.push_back(path);
  }
  for (const auto& [path, stamp] : before)
    if (!after.count(path))
      changed.push_back(path);
  std::sort(changed.begin(), changed.end());
  EXPECT_EQ(changed, (std::vector<std::string>{dest + "Guide.cnt.htm", dest + "Guide.gls.htm",
                                               dest + "Guide.toc.htm", dest + "Guide.tocbtn.htm"}));
}

TEST_F(HostileNames, SourceNamesCannotLeadPagesOutOfTheDestination) {
  const std::vector<std::pair<std::string, std::string>> names{
      {"..txt", "."},
      {".txt", ""},
      {"a\\b.txt", "a\\b"},
      {"..\\..\\up.txt", "..\\..\\up"},
      {"-n ;$(touch p) 'q'\n.txt", "-n ;$(touch p) 'q'\n"},
      {"Guide.txt.TXT", "Guide.txt"},
  };
  const auto parent = Snapshot(dir.Path(), {src, dest, dir / "streams"});
  for (const auto& [name, base] : names) {
    SCOPED_TRACE(name);
    WriteFileBytes(src + name, "~S=Intro\r\nText.\r\n");
    const RunResult run = Run(Quote(src + name) + " " + Quote(DestinationArgument()));
    EXPECT_CONVERTED(run);
    std::vector<std::string> expected;
    for (const std::string& suffix : kSuffixes)
      expected.push_back(base + suffix);
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(DestinationEntries(), expected);
    for (const std::string& entry : DestinationEntries())
      fs::remove(dest + entry);
    fs::remove(src + name);
  }
  EXPECT_EQ(Snapshot(dir.Path(), {src, dest, dir / "streams"}), parent);
}

TEST_F(HostileNames, BookmarksAreIdentifiers) {
  WriteSource(
      "~S=../../etc/passwd|..\\up\r\n~S+=C:\\Windows\\x|/abs/path\r\n"
      "~GS=a/b\\c:d|../../etc/passwd\r\nSee ../../etc/passwd, ..\\up, /abs/path and a/b\\c:d.\r\n"
      "~S=<a href=\"/x\">t</a>\r\n");
  const RunResult run = Convert();
  EXPECT_CONVERTED(run);
  // Every anchor name and every link into the pages names a bookmark made of
  // letters, digits and "_" only.
  const std::regex target(R"~((NAME|HREF)="(Guide\.cnt\.htm)?#?([^"]*)")~");
  int bookmarks = 0;
  for (const std::string& suffix : kSuffixes) {
    const std::string page = Output(suffix);
    for (std::sregex_iterator it(page.begin(), page.end(), target), end; it != end; ++it) {
      const std::string name = (*it)[3];
      if (name.rfind("HBM_", 0) != 0 && name.rfind("GBM_", 0) != 0)
        continue;
      ++bookmarks;
      EXPECT_TRUE(std::regex_match(name, std::regex("[A-Za-z0-9_]+"))) << name;
    }
  }
  EXPECT_GT(bookmarks, 10);
}

TEST_F(HostileNames, LinksPlantedAtOutputNamesAreReplacedNotFollowed) {
  WriteFileBytes(dir / "victim1", "precious 1");
  WriteFileBytes(dir / "victim2", "precious 2");
  fs::create_symlink(dir / "victim1", dest + "Guide.cnt.htm");
  fs::create_symlink(dir / "victim2", dest + "Guide.tocbtn.htm");
  const RunResult run = Convert();
  EXPECT_CONVERTED(run);
  EXPECT_EQ(ReadFileBytes(dir / "victim1"), "precious 1");
  EXPECT_EQ(ReadFileBytes(dir / "victim2"), "precious 2");
  EXPECT_FALSE(fs::is_symlink(dest + "Guide.tocbtn.htm"));
  EXPECT_EQ(Output(".tocbtn.htm"), "<!--buttons-->\r\n");
}

} // namespace
