// File and shell services.
#include "file.h"

#include <vector>

#include "dialogs.h"
#include "error.h"

TFileUnitLoader FileUnitLoader;

namespace {

constexpr const char* UnitName = "File";

// An opener that may still report a failure, and how to tell the user.
struct WatchedOpener {
  plat::OpenerWatch Watch;
  std::string FileName;
  std::string FailureMessage;
};
std::vector<WatchedOpener> WatchedOpeners;

void Run(const std::string& fileName, const std::string& parameters, const std::string& directory,
         bool minimized, bool quoteParameters, const std::string& failureMessage) {
  StatusFrame frame(UnitName, "RunFile", __LINE__);
  frame.Run(__LINE__, [&] {
    if (fileName.empty()) {
      ShowErrorMessage("The name of the file is empty.");
      return;
    }
    const std::string shellParameters = ShellParameters(parameters, quoteParameters);
    plat::SetLastError(0);
    plat::OpenerWatch watch = plat::NoOpenerWatch;
    if (!plat::ShellOpen(fileName, shellParameters, directory, minimized, watch))
      frame.Record(fsError, __LINE__, "Failed to run file.", fileName, "", plat::GetLastError());
    else if (watch != plat::NoOpenerWatch)
      WatchedOpeners.push_back({watch, fileName, failureMessage});
  });
}

void ShowOpenerFailure(const WatchedOpener& opener, plat::OpenerResult result, int exitStatus) {
  StatusFrame frame(UnitName, "RunFile", __LINE__);
  std::string reason;
  switch (result) {
  case plat::OpenerResult::NoProgram:
    reason = "No program is registered to open it.";
    break;
  case plat::OpenerResult::ActionFailed:
    reason = "The program failed to open it.";
    break;
  default:
    reason = "The opener ended with status " + std::to_string(exitStatus) + ".";
    break;
  }
  frame.Record(fsError, __LINE__, "Failed to run file.", opener.FileName, reason, 0);
  frame.ShowStep(__LINE__, opener.FailureMessage);
}

bool IsValidModule(plat::ModuleHandle module) {
  return module != nullptr && module != reinterpret_cast<plat::ModuleHandle>(-1);
}

} // namespace

// --- framework operations ------------------------------------------------------

std::uint64_t GetFileSize(plat::FileHandle file) {
  StatusFrame frame(UnitName, "GetFileSize", __LINE__);
  std::uint64_t result = 0;
  frame.Run(__LINE__, [&] {
    std::uint32_t low = 0;
    std::uint32_t high = 0;
    plat::SetLastError(0);
    const bool ok = plat::GetFileSize(file, low, high);
    if (!ok || LastCallFailed())
      frame.Record(fsWarning, __LINE__, "Failed to get file size.");
    else
      result = MakeFileSize(low, high);
  });
  return result;
}

std::uint64_t GetFileSize(const std::string& fileName) {
  StatusFrame frame(UnitName, "GetFileSize", __LINE__);
  std::uint64_t result = 0;
  plat::FileHandle file = plat::InvalidFile;
  frame.Run(__LINE__, [&] {
    plat::SetLastError(0);
    file = plat::OpenForAttributes(fileName);
    if (file == plat::InvalidFile) {
      frame.Record(fsWarning, __LINE__, "Failed to access file.", fileName);
      return;
    }
    std::uint32_t low = 0;
    std::uint32_t high = 0;
    const bool ok = plat::GetFileSize(file, low, high);
    if (!ok || LastCallFailed())
      frame.Record(fsWarning, __LINE__, "Failed to get file size.", fileName);
    else
      result = MakeFileSize(low, high);
  });
  if (file != plat::InvalidFile)
    plat::CloseFile(file);
  return result;
}

std::string ShellParameters(const std::string& parameters, bool quoteParameters) {
  if (parameters.empty())
    return {};
  return quoteParameters ? " \"" + parameters + "\"" : " " + parameters;
}

void RunFile(const std::string& fileName, const std::string& parameters,
             const std::string& directory, bool minimized, bool quoteParameters) {
  Run(fileName, parameters, directory, minimized, quoteParameters, "Failed to run file.");
}

void OpenSite(const std::string& address, const std::string& failureMessage) {
  StatusFrame frame(UnitName, "OpenSite", __LINE__);
  frame.Run(__LINE__, [&] {
    Run(address, "", "", false, true, failureMessage);
    frame.TakeOver();
  });
  frame.ShowStep(__LINE__, failureMessage);
}

void RunExistingFile(const std::string& fileName) {
  StatusFrame frame(UnitName, "RunFile", __LINE__);
  frame.Run(__LINE__, [&] {
    plat::SetLastError(0);
    // The opener would only fail later, and some not at all that anyone sees.
    if (!fileName.empty() && !plat::IsReadableFile(fileName)) {
      frame.Record(fsError, __LINE__, "Failed to run file.", fileName, "", plat::GetLastError());
      return;
    }
    RunFile(fileName, "", "", false, true);
    frame.TakeOver();
  });
}

void CheckOpeners(bool wait) {
  // Showing a failure runs a modal loop, from which this may be called again.
  static bool checking = false;
  if (checking)
    return;
  checking = true;
  const TFunStatContext saved = FunStatContext;
  for (std::size_t i = 0; i < WatchedOpeners.size();) {
    int exitStatus = 0;
    const plat::OpenerResult result =
        plat::OpenerOutcome(WatchedOpeners[i].Watch, wait, exitStatus);
    if (result == plat::OpenerResult::Pending) {
      ++i;
      continue;
    }
    const WatchedOpener opener = WatchedOpeners[i];
    WatchedOpeners.erase(WatchedOpeners.begin() + static_cast<std::ptrdiff_t>(i));
    if (result != plat::OpenerResult::Opened)
      ShowOpenerFailure(opener, result, exitStatus);
  }
  FunStatContext = saved;
  checking = false;
}

// --- plain functions -----------------------------------------------------------------

std::string IncludePathDelimiter(const std::string& path) {
  if (path.empty() || plat::IsPathDelimiter(path.back()))
    return path;
  return path + plat::PathDelimiter;
}

bool IsDriveName(const std::string& path) {
  return path.size() >= 2 && path.back() == ':';
}

namespace {

// Index of the last path delimiter, or npos.
std::size_t LastDelimiter(const std::string& path) {
  for (std::size_t i = path.size(); i > 0; --i) {
    if (plat::IsPathDelimiter(path[i - 1]))
      return i - 1;
  }
  return std::string::npos;
}

} // namespace

std::string FilePathOf(const std::string& path) {
  if (IsDriveName(path))
    return {};
  const std::size_t at = LastDelimiter(path);
  return at == std::string::npos ? std::string() : path.substr(0, at + 1);
}

std::string FileNameOf(const std::string& path) {
  if (IsDriveName(path)) {
    std::string drive = path;
    while (!drive.empty() && plat::IsPathDelimiter(drive.back()))
      drive.pop_back();
    return drive;
  }
  const std::size_t at = LastDelimiter(path);
  return at == std::string::npos ? path : path.substr(at + 1);
}

std::string FileExtOf(const std::string& path) {
  const std::size_t dot = path.rfind('.');
  if (dot == std::string::npos)
    return {};
  const std::size_t delimiter = LastDelimiter(path);
  if (delimiter != std::string::npos && delimiter > dot)
    return {};
  return path.substr(dot);
}

std::string RemoveFileExt(const std::string& path) {
  return path.substr(0, path.size() - FileExtOf(path).size());
}

std::string LongPathName(const std::string& path) {
  if (path.find('~') == std::string::npos)
    return path;
  const std::string longName = plat::LongPathName(path);
  return longName.empty() ? path : longName;
}

std::string FullPathName(const std::string& path) {
  if (path.empty())
    return path;
  if (IsDriveName(path)) {
    std::string full = plat::AbsolutePath(IncludePathDelimiter(path));
    while (full.size() > 1 && plat::IsPathDelimiter(full.back()))
      full.pop_back();
    return full;
  }
  return LongPathName(plat::AbsolutePath(path));
}

bool PathExists(const std::string& path) {
  if (path.empty())
    return false;
  plat::SetLastError(0);
  return plat::PathExists(path);
}

bool DirectoryExists(const std::string& path) {
  if (path.empty())
    return false;
  return plat::DirectoryExists(path);
}

std::uint64_t MakeFileSize(std::uint32_t low, std::uint32_t high) {
  return (static_cast<std::uint64_t>(high) << 32) | low;
}

bool IsWindows2000OrLater() {
  return plat::OperatingSystemMajorVersion() > 4;
}

// --- TFileUnitLoader -----------------------------------------------------------------

TFileUnitLoader::TFileUnitLoader()
    : KernelModule(nullptr), AdvapiModule(nullptr), Flag1(true), Flag2(true), EntryPoints{} {
  if (!IsWindows2000OrLater())
    return;
  KernelModule = plat::LoadSystemLibrary("Kernel32.dll");
  if (IsValidModule(KernelModule)) {
    EntryPoints[2] = plat::GetEntryPoint(KernelModule, "CopyFileExA");
    EntryPoints[3] = plat::GetEntryPoint(KernelModule, "MoveFileWithProgressA");
    EntryPoints[5] = plat::GetEntryPoint(KernelModule, "CreateHardLinkA");
  }
  AdvapiModule = plat::LoadSystemLibrary("AdvAPI32.dll");
  if (IsValidModule(AdvapiModule))
    EntryPoints[4] = plat::GetEntryPoint(AdvapiModule, "EncryptFileA");
}

TFileUnitLoader::~TFileUnitLoader() {
  if (IsValidModule(KernelModule))
    plat::FreeSystemLibrary(KernelModule);
  if (IsValidModule(AdvapiModule))
    plat::FreeSystemLibrary(AdvapiModule);
}

bool SaveFile(const void* data, std::size_t size, const std::string& fileName) {
  StatusFrame frame("Main", "SaveFile", __LINE__);
  bool result = false;
  plat::FileHandle file = plat::InvalidFile;
  frame.Run(__LINE__, [&] {
    plat::SetLastError(plat::ErrorSuccess);
    file = plat::CreateAlways(fileName);
    if (LastCreateFailed() || file == plat::InvalidFile) {
      frame.Record(fsError, __LINE__, "Failed to save.", fileName, "", plat::GetLastError());
      return;
    }
    plat::SetLastError(plat::ErrorSuccess);
    const bool written = plat::WriteFile(file, data, size);
    if (LastCallFailed() || !written) {
      frame.Record(fsError, __LINE__, "Failed to save.", fileName, "", plat::GetLastError());
      return;
    }
    result = true;
  });
  if (file != plat::InvalidFile) {
    plat::CloseFile(file);
    // A file cut short by a full disk or a size limit must not pass for a
    // finished page.
    if (!result)
      plat::DeleteFile(fileName);
  }
  return result;
}

std::string LoadFileBytes(const std::string& fileName) {
  std::string bytes;
  if (!plat::ReadWholeFile(fileName, bytes))
    throw TOrvanelError("Failed to open file: " + fileName + " (" +
                        plat::SystemErrorText(plat::GetLastError()) + ")");
  return bytes;
}

void DeleteFileQuietly(const std::string& fileName) {
  plat::DeleteFile(fileName);
}
