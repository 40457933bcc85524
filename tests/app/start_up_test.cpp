// The program itself, run as a process: one copy at a time.
#include <gtest/gtest.h>
#include <wx/process.h>
#include <wx/utils.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "lib/program.h"
#include "support/test_support.h"
#include "window_driver.h"

using namespace app_testing;

namespace {

// A run of the window program whose end is noticed by the event loop.
class ProgramRun : public wxProcess {
public:
  explicit ProgramRun(const std::vector<std::string>& arguments,
                      const wxExecuteEnv* environment = nullptr) {
    std::vector<const char*> argv{ORVANEL_EXE};
    for (const std::string& argument : arguments)
      argv.push_back(argument.c_str());
    argv.push_back(nullptr);
    Pid = wxExecute(argv.data(), wxEXEC_ASYNC, this, environment);
  }
  void OnTerminate(int, int status) override {
    Ended = true;
    ExitCode = status;
  }
  /// Ends the run if it still goes on.
  void Stop() {
    if (!Ended && Pid > 0) {
      wxKill(Pid, wxSIGTERM);
      WaitUntil([this] { return Ended; }, 10000);
    }
  }
  long Pid = 0;
  bool Ended = false;
  int ExitCode = -1;
};

} // namespace

TEST(StartUp, ASecondCopyEndsAtOnceWithExitCode0AndTheFirstRunsOn) {
  // This process holds the lock, as a first copy does.
  ASSERT_FALSE(IsProgramInstanceRunning("Orvanel"));

  ProgramRun second({});
  ASSERT_GT(second.Pid, 0);
  EXPECT_TRUE(WaitUntil([&] { return second.Ended; }, 10000)) << "the second copy kept running";
  EXPECT_EQ(second.ExitCode, 0);
  second.Stop();

  // Once the first copy has ended, a new one starts and keeps running.
  ReleaseProgramInstance();
  ProgramRun next({});
  ASSERT_GT(next.Pid, 0);
  Pump(1500);
  EXPECT_FALSE(next.Ended) << "the program ended by itself with " << next.ExitCode;
  next.Stop();
  EXPECT_TRUE(next.Ended);
}

TEST(StartUp, TakesTheLocaleFromTheEnvironment) {
  // A locale built for the test: the program maps its files once it sets the
  // C library's locale from the environment, and not before.
  testing_support::TempDir dir;
  const std::string locale = dir / "de_DE.UTF-8";
  if (std::system(("localedef -i de_DE -f UTF-8 '" + locale + "' >/dev/null 2>&1").c_str()) != 0)
    GTEST_SKIP() << "localedef cannot make a de_DE locale here";
  ReleaseProgramInstance();
  wxExecuteEnv environment;
  wxGetEnvMap(&environment.env);
  environment.env["LOCPATH"] = dir.Path();
  environment.env["LC_ALL"] = "de_DE.UTF-8";
  ProgramRun run({}, &environment);
  ASSERT_GT(run.Pid, 0);
  auto mapped = [&] {
    std::ifstream maps("/proc/" + std::to_string(run.Pid) + "/maps");
    std::stringstream text;
    text << maps.rdbuf();
    return text.str().find(locale + "/LC_NUMERIC") != std::string::npos;
  };
  EXPECT_TRUE(WaitUntil(mapped, 10000)) << "the program runs in another locale";
  run.Stop();
}
