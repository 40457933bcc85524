// The program itself, run as a process: one copy at a time.
#include <gtest/gtest.h>
#include <wx/process.h>
#include <wx/utils.h>

#include "lib/program.h"
#include "window_driver.h"

using namespace app_testing;

namespace {

// A run of the window program whose end is noticed by the event loop.
class ProgramRun : public wxProcess {
public:
  explicit ProgramRun(const std::vector<std::string>& arguments) {
    std::vector<const char*> argv{ORVANEL_EXE};
    for (const std::string& argument : arguments)
      argv.push_back(argument.c_str());
    argv.push_back(nullptr);
    Pid = wxExecute(argv.data(), wxEXEC_ASYNC, this);
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
