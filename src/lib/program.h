// Program-instance services: arguments, own path, single-instance lock,
// forced termination.
#pragma once

#include <string>
#include <vector>

class TProgram {
public:
  TProgram();  // installs TerminateProgramFun, initialises OLE
  ~TProgram(); // uninitialises OLE
  TProgram(const TProgram&) = delete;
  TProgram& operator=(const TProgram&) = delete;
};
extern TProgram Program;

/// The entry point hands the process arguments over (argument 0 first).
void SetProgramArguments(int argc, char** argv);
void SetProgramArguments(const std::vector<std::string>& arguments);

bool IsProgramInstanceRunning(const std::string& instanceName);
void ReleaseProgramInstance();
std::string GetProgramFileName();
std::string GetProgramPath();
std::string MakeProgramPath(const std::string& fileName);
int GetProgramParamCount();
std::string GetProgramParam(int index);
[[noreturn]] void TerminateProgram();
[[noreturn]] void TerminateProgramFun();

extern const char* const AbortMessage;
