// Program-instance services: arguments, own path, the single-instance lock,
// forced termination.
#include "lib/program.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <random>

#if !defined(_WIN32)
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "lib/error.h"
#include "lib/file.h"
#include "support/test_support.h"

using testing_support::ReadFileBytes;
using testing_support::TempDir;

namespace {

#if !defined(_WIN32)
std::string UniqueInstanceName() {
  std::random_device rd;
  return "OrvanelTest" + std::to_string(::getpid()) + "_" + std::to_string(rd());
}

// Runs CHECK in a child process; its exit code.
template <class Check> int InChild(Check check) {
  const pid_t pid = ::fork();
  if (pid == 0)
    ::_exit(check());
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
#endif

// An error dialog that writes what it is shown to a file (for child processes).
class FileErrorDialog : public IErrorDialog {
public:
  explicit FileErrorDialog(std::string path) : path_(std::move(path)) { SetErrorDialog(this); }
  ~FileErrorDialog() override { SetErrorDialog(nullptr); }
  bool ShowReport(const std::string& caption, const std::string& message, bool*,
                  const std::string& report) override {
    testing_support::WriteFileBytes(path_, caption + "\n" + message + "\n" + report);
    return true;
  }
  int RecursionCount() const override { return 0; }

private:
  std::string path_;
};

class ArgumentsTest : public ::testing::Test {
protected:
  void TearDown() override { SetProgramArguments(std::vector<std::string>{}); }
};

} // namespace

TEST_F(ArgumentsTest, StoredArguments) {
  SetProgramArguments({"/opt/orvanel/orvanel", "Manual.txt", "/out"});
  EXPECT_EQ(GetProgramParamCount(), 2);
  EXPECT_EQ(GetProgramParam(0), "/opt/orvanel/orvanel");
  EXPECT_EQ(GetProgramParam(1), "Manual.txt");
  EXPECT_EQ(GetProgramParam(2), "/out");
  EXPECT_EQ(GetProgramParam(3), "");
  EXPECT_EQ(GetProgramParam(-1), "");

  char arg0[] = "prog";
  char arg1[] = "only";
  char* argv[] = {arg0, arg1, nullptr};
  SetProgramArguments(2, argv);
  EXPECT_EQ(GetProgramParamCount(), 1);
  EXPECT_EQ(GetProgramParam(1), "only");
}

TEST_F(ArgumentsTest, NoArguments) {
  SetProgramArguments(std::vector<std::string>{});
  EXPECT_EQ(GetProgramParamCount(), 0);
  EXPECT_EQ(GetProgramParam(0), GetProgramFileName());
}

TEST_F(ArgumentsTest, ProgramFileNameIsTheExecutablesFullPath) {
  SetProgramArguments({"relative-name"});
  const std::string name = GetProgramFileName();
  ASSERT_FALSE(name.empty());
  EXPECT_EQ(FullPathName(name), name);
  EXPECT_EQ(RemoveFileExt(FileNameOf(name)), "orvanel_lib_tests");
  EXPECT_EQ(GetProgramPath(), FilePathOf(name));
  EXPECT_EQ(MakeProgramPath("Help.txt"), FilePathOf(name) + "Help.txt");
  EXPECT_EQ(MakeProgramPath("Errors.log"), GetProgramPath() + "Errors.log");
}

#if !defined(_WIN32)
TEST(InstanceLock, SecondHolderInAnotherProcessSeesItHeld) {
  const std::string name = UniqueInstanceName();
  ASSERT_FALSE(IsProgramInstanceRunning(name));
  EXPECT_EQ(InChild([&] { return IsProgramInstanceRunning(name) ? 1 : 0; }), 1);
  ReleaseProgramInstance();
  EXPECT_EQ(InChild([&] { return IsProgramInstanceRunning(name) ? 1 : 0; }), 0);
  ReleaseProgramInstance(); // nothing held: harmless
}

TEST(InstanceLock, ReleasedWhenTheHolderDies) {
  const std::string name = UniqueInstanceName();
  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  const pid_t holder = ::fork();
  if (holder == 0) {
    ::close(ready[0]);
    const char answer = IsProgramInstanceRunning(name) ? 'h' : 'l';
    [[maybe_unused]] const ssize_t n = ::write(ready[1], &answer, 1);
    for (;;)
      ::pause();
  }
  ::close(ready[1]);
  char answer = 0;
  ASSERT_EQ(::read(ready[0], &answer, 1), 1);
  ::close(ready[0]);
  EXPECT_EQ(answer, 'l'); // the child took the lock
  EXPECT_TRUE(IsProgramInstanceRunning(name));
  ::kill(holder, SIGKILL);
  int status = 0;
  ::waitpid(holder, &status, 0);
  EXPECT_FALSE(IsProgramInstanceRunning(name));
  ReleaseProgramInstance();
}

TEST(InstanceLock, ReleasedWhenTheHolderTerminates) {
  const std::string name = UniqueInstanceName();
  EXPECT_EQ(InChild([&] {
              if (IsProgramInstanceRunning(name))
                return 3;
              TerminateProgram();
            }),
            1);
  EXPECT_FALSE(IsProgramInstanceRunning(name));
  ReleaseProgramInstance();
}

#endif // !_WIN32

TEST(AbortMessage, ExactText) {
  EXPECT_STREQ(AbortMessage, "Abort intercepted.\r\nProgram must be terminated.");
}

TEST(TerminateProgramDeathTest, ExitsWithCodeOne) {
  EXPECT_EXIT(TerminateProgram(), ::testing::ExitedWithCode(1), "");
}

TEST(TerminateProgramDeathTest, RuntimeTerminationIsReportedThenExitsWithOne) {
  // On Windows the death test's child runs this body again from its start, so
  // the file needs a name that the parent and the child both arrive at.
  const std::string shown =
      (std::filesystem::temp_directory_path() /
       ("orvanel-terminate-" + std::to_string(std::hash<std::string>{}(GetProgramFileName())) +
        ".txt"))
          .string();
  std::filesystem::remove(shown);
  EXPECT_EXIT(
      {
        FileErrorDialog dialog(shown);
        std::terminate();
      },
      ::testing::ExitedWithCode(1), "");
  const std::string text = ReadFileBytes(shown);
  std::filesystem::remove(shown);
  EXPECT_EQ(text.rfind("Error\nAbort intercepted.\r\nProgram must be terminated.\n\r\n", 0), 0u)
      << text;
  EXPECT_NE(text.find("* File: \"Program\"\r\n* Function: \"TerminateProgramFun\"\r\n"
                      "* Line: 26\r\n"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("SHOW CONTEXT\r\n* File: \"Program\"\r\n"
                      "* Function: \"TerminateProgramFun\"\r\n* Line: 26\r\n"),
            std::string::npos)
      << text;
}

[[noreturn]] void ThrowLogicError() {
  throw std::logic_error("nobody catches this");
}

void CallWithoutExceptions(void (*function)()) noexcept {
  function();
}

TEST(TerminateProgramDeathTest, UncaughtExceptionEndsTheSameWay) {
  EXPECT_EXIT(CallWithoutExceptions(ThrowLogicError), ::testing::ExitedWithCode(1),
              "The error-dialog form is not created");
}
