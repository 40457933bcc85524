// Program-instance services: arguments, own path, single-instance lock and
// forced termination.
#include "program.h"

#include <exception>

#include "error.h"
#include "file.h"
#include "platform/platform.h"

const char* const AbortMessage = "Abort intercepted.\r\nProgram must be terminated.";

TProgram Program;

namespace {

std::vector<std::string>& Arguments() {
  static std::vector<std::string> arguments;
  return arguments;
}

} // namespace

TProgram::TProgram() {
  std::set_terminate(TerminateProgramFun);
  plat::SetLastError(0);
  plat::OleInitialize();
}

TProgram::~TProgram() {
  plat::SetLastError(0);
  plat::OleUninitialize();
}

void SetProgramArguments(int argc, char** argv) {
  std::vector<std::string> arguments;
  for (int i = 0; i < argc && argv; ++i)
    arguments.emplace_back(argv[i] ? argv[i] : "");
  SetProgramArguments(arguments);
}

void SetProgramArguments(const std::vector<std::string>& arguments) {
  Arguments() = arguments;
}

bool IsProgramInstanceRunning(const std::string& instanceName) {
  plat::SetLastError(0);
  bool alreadyHeld = false;
  if (!plat::CreateInstanceLock("Mutex_ProgramInstance_" + instanceName, alreadyHeld))
    return false; // no lock could be made: the program runs without one
  return alreadyHeld;
}

void ReleaseProgramInstance() {
  plat::ReleaseInstanceLock();
}

std::string GetProgramFileName() {
  std::string path = plat::ExecutablePath();
  if (path.empty() && !Arguments().empty())
    path = Arguments()[0];
  return path;
}

std::string GetProgramPath() {
  return FilePathOf(GetProgramFileName());
}

std::string MakeProgramPath(const std::string& fileName) {
  return IncludePathDelimiter(GetProgramPath()) + fileName;
}

int GetProgramParamCount() {
  const auto count = static_cast<int>(Arguments().size());
  return count > 0 ? count - 1 : 0;
}

std::string GetProgramParam(int index) {
  if (index == 0 && Arguments().empty())
    return GetProgramFileName();
  if (index < 0 || index >= static_cast<int>(Arguments().size()))
    return {};
  return Arguments()[static_cast<std::size_t>(index)];
}

void TerminateProgram() {
  plat::ExitImmediately(1);
}

void TerminateProgramFun() {
  // Reports have always named this handler at line 26; error logs rely on it.
  constexpr int Line = 26;
  try {
    FunStatContext.SetStatus(fsError, "Program", "TerminateProgramFun", Line, AbortMessage, "", "",
                             0);
    FunStatContext.SetShowContext("Program", "TerminateProgramFun", Line);
    FunStatContext.Show(AbortMessage);
    FunStatContext.Reset(fsPerfect);
  } catch (...) {
    // Whatever happens while showing, the process ends.
  }
  TerminateProgram();
}
