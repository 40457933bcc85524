// A conversion killed at any moment: every page is either wholly the old one
// or wholly the new one, and the next run in the folder leaves no temporary
// behind.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include "hostile_support.h"
#include "lib/replace_files.h"

extern char** environ;

using namespace hostile;
using testing_support::FileExists;
using testing_support::MakeDirectory;
using testing_support::ReadFileBytes;
using testing_support::WriteFileBytes;

namespace {

#if defined(ORVANEL_GENERATE_STRESS_EXE)

class Interrupted : public HostileTest {
protected:
  // Starts the converter on the stress project; its streams go nowhere.
  pid_t Start() const {
    std::vector<std::string> words{ORVANEL_CONVERT_EXE, "--fast", "--quiet",
                                   stress + "src/Stress.txt", stress + "out"};
    std::vector<char*> argv;
    for (std::string& word : words)
      argv.push_back(word.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    const int error = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return error == 0 ? pid : -1;
  }
  static int Wait(pid_t pid) {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return status;
  }
  std::vector<std::string> Temporaries() const {
    std::vector<std::string> found;
    for (const auto& entry : std::filesystem::directory_iterator(stress + "out"))
      if (IsTemporaryFileName(entry.path().filename().string()))
        found.push_back(entry.path().filename().string());
    return found;
  }

  std::string stress = dir / "stress/";
};

TEST_F(Interrupted, KilledAtAnyMomentEachPageIsWhollyOldOrWhollyNew) {
  const std::string generate =
      std::string(ORVANEL_GENERATE_STRESS_EXE) + " " + Quote(stress) + " >/dev/null";
  ASSERT_EQ(std::system(generate.c_str()), 0);
  const char* const suffixes[] = {".cnt.htm", ".toc.htm", ".tocbtn.htm", ".gls.htm"};
  std::vector<std::string> pages;
  std::vector<std::string> oldPages;
  for (const char* suffix : suffixes) {
    pages.push_back(stress + "out/Stress" + suffix);
    oldPages.push_back(std::string("old page ") + suffix + "\r\n");
  }

  // The new pages, and how long a whole run takes.
  const auto started = std::chrono::steady_clock::now();
  const pid_t reference = Start();
  ASSERT_GT(reference, 0);
  ASSERT_EQ(Wait(reference), 0);
  const auto duration = std::chrono::steady_clock::now() - started;
  std::vector<std::string> newPages;
  for (const std::string& page : pages)
    newPages.push_back(ReadFileBytes(page));

  // A small project converted into the same folder: the next run there.
  const std::string small = dir / "small/";
  MakeDirectory(small);
  testing_support::WriteDefaultTemplates(small);
  WriteFileBytes(small + "Small.txt", "~S=Small\r\nText.\r\n");

  int killedWhileOld = 0;
  int killedWhileNew = 0;
  for (int moment = 1; moment <= 20; ++moment) {
    SCOPED_TRACE("killed at " + std::to_string(moment * 5) + "% of a run");
    for (std::size_t i = 0; i < pages.size(); ++i)
      WriteFileBytes(pages[i], oldPages[i]);
    const pid_t pid = Start();
    ASSERT_GT(pid, 0);
    std::this_thread::sleep_for(duration * moment / 20);
    ::kill(pid, SIGKILL);
    Wait(pid);
    for (std::size_t i = 0; i < pages.size(); ++i) {
      const std::string page = ReadFileBytes(pages[i]);
      EXPECT_TRUE(page == oldPages[i] || page == newPages[i])
          << pages[i] << " is neither the old nor the new page (" << page.size() << " bytes)";
      (page == newPages[i] ? killedWhileNew : killedWhileOld) += i == 0;
    }
    const RunResult next = Run(Quote(small + "Small.txt") + " " + Quote(stress + "out"));
    EXPECT_EQ(next.Status, 0) << next.Err;
    EXPECT_EQ(Temporaries(), std::vector<std::string>{});
  }
  RecordProperty("KilledWhileOld", killedWhileOld);
  RecordProperty("KilledWhileNew", killedWhileNew);
  EXPECT_GT(killedWhileOld, 0);

  // Nothing a killed run left stands in the way of a whole one.
  const pid_t last = Start();
  ASSERT_GT(last, 0);
  ASSERT_EQ(Wait(last), 0);
  for (std::size_t i = 0; i < pages.size(); ++i)
    EXPECT_TRUE(ReadFileBytes(pages[i]) == newPages[i]) << pages[i];
  EXPECT_EQ(Temporaries(), std::vector<std::string>{});
}

#endif

} // namespace
