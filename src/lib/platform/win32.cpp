// The Win32 implementation of the platform layer.
#include "platform/platform.h"

#include <clocale>
#include <cstdlib>

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <ole2.h>
#include <shellapi.h>
#include <shlwapi.h>

// windows.h maps DeleteFile and ReplaceFile to their A forms; the platform
// layer keeps the plain names for its own functions.
#undef DeleteFile
#undef ReplaceFile

// The shell request and the version record have the sizes the system
// expects of a 32-bit program.
static_assert(sizeof(OSVERSIONINFOA) == 148);
#if !defined(_WIN64)
static_assert(sizeof(SHELLEXECUTEINFOA) == 60);
#endif

namespace plat {

namespace {

HANDLE Handle(FileHandle file) {
  return reinterpret_cast<HANDLE>(file);
}

FileHandle FromHandle(HANDLE handle) {
  if (handle == nullptr || handle == INVALID_HANDLE_VALUE)
    return InvalidFile;
  return reinterpret_cast<FileHandle>(handle);
}

bool IsValid(FileHandle file) {
  return file != InvalidFile && file != 0;
}

// Opens or creates NAME with CreateFileA. The system sets "already exists"
// when DISPOSITION opens an existing file; otherwise a success leaves the
// caller's last error as it was.
FileHandle Open(const std::string& name, DWORD access, DWORD share, DWORD disposition,
                DWORD attributes) {
  const DWORD before = ::GetLastError();
  ::SetLastError(ERROR_SUCCESS);
  const HANDLE handle =
      ::CreateFileA(name.c_str(), access, share, nullptr, disposition, attributes, nullptr);
  const FileHandle file = FromHandle(handle);
  if (file == InvalidFile) {
    if (::GetLastError() == ERROR_SUCCESS)
      ::SetLastError(ERROR_INVALID_HANDLE);
    return InvalidFile;
  }
  if (::GetLastError() != ERROR_ALREADY_EXISTS)
    ::SetLastError(before);
  return file;
}

// Sets CODE as the last error when a failing call left none.
void EnsureError(DWORD code) {
  if (::GetLastError() == ERROR_SUCCESS)
    ::SetLastError(code);
}

HANDLE InstanceLock = nullptr;

// The error code for a shell refusal that left no last error: the shell's
// own small result codes mostly match system codes.
DWORD ShellFailureCode(HINSTANCE result) {
  const auto code = static_cast<DWORD>(reinterpret_cast<std::uintptr_t>(result));
  switch (code) {
  case SE_ERR_NOASSOC:
  case SE_ERR_ASSOCINCOMPLETE:
    return ERROR_NO_ASSOCIATION;
  case SE_ERR_DDETIMEOUT:
  case SE_ERR_DDEFAIL:
  case SE_ERR_DDEBUSY:
    return ERROR_DDE_FAIL;
  case SE_ERR_SHARE:
    return ERROR_SHARING_VIOLATION;
  case SE_ERR_DLLNOTFOUND:
    return ERROR_DLL_NOT_FOUND;
  case SE_ERR_OOM:
    return ERROR_NOT_ENOUGH_MEMORY;
  case 0:
    return ERROR_GEN_FAILURE;
  default:
    return code <= 32 ? code : ERROR_GEN_FAILURE;
  }
}

} // namespace

// --- the thread's last system error ---------------------------------------------

std::uint32_t GetLastError() {
  return ::GetLastError();
}
void SetLastError(std::uint32_t code) {
  ::SetLastError(code);
}

const std::uint32_t ErrorSuccess = ERROR_SUCCESS;
const std::uint32_t ErrorNotEnoughMemory = ERROR_OUTOFMEMORY;
const std::uint32_t ErrorRequestAborted = ERROR_REQUEST_ABORTED;
const std::uint32_t ErrorAlreadyExists = ERROR_ALREADY_EXISTS;
const std::uint32_t ErrorFileNotFound = ERROR_FILE_NOT_FOUND;
const std::uint32_t ErrorAccessDenied = ERROR_ACCESS_DENIED;

std::string SystemErrorText(std::uint32_t code) {
  const DWORD before = ::GetLastError();
  char buffer[1024] = {};
  DWORD length =
      ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                       buffer, static_cast<DWORD>(sizeof buffer), nullptr);
  ::SetLastError(before);
  // The system's texts end with a line break, which would split a report line.
  while (length > 0 &&
         (buffer[length - 1] == '\r' || buffer[length - 1] == '\n' || buffer[length - 1] == ' '))
    --length;
  if (length == 0)
    return "Unknown error " + std::to_string(code);
  return std::string(buffer, length);
}

// --- files -----------------------------------------------------------------------

FileHandle CreateAlways(const std::string& name) {
  return Open(name, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, CREATE_ALWAYS,
              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN);
}

FileHandle OpenAlways(const std::string& name) {
  return Open(name, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_ALWAYS,
              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN);
}

FileHandle OpenForAttributes(const std::string& name) {
  return Open(name, 0, 0, OPEN_EXISTING, 0);
}

bool GetFileSize(FileHandle file, std::uint32_t& low, std::uint32_t& high) {
  if (!IsValid(file)) {
    ::SetLastError(ERROR_INVALID_HANDLE);
    return false;
  }
  const DWORD before = ::GetLastError();
  // A low half of all ones is also a valid size; only the last error tells.
  ::SetLastError(ERROR_SUCCESS);
  DWORD highHalf = 0;
  const DWORD lowHalf = ::GetFileSize(Handle(file), &highHalf);
  if (lowHalf == INVALID_FILE_SIZE && ::GetLastError() != ERROR_SUCCESS)
    return false;
  ::SetLastError(before);
  low = lowHalf;
  high = highHalf;
  return true;
}

bool WriteFile(FileHandle file, const void* data, std::size_t size) {
  const DWORD before = ::GetLastError();
  static const char nothing = 0;
  const char* bytes = data ? static_cast<const char*>(data) : &nothing;
  // One call for any size a 32-bit process can hold; larger buffers go in
  // pieces of at most 1 GiB.
  constexpr std::size_t piece = std::size_t{1} << 30;
  do {
    const DWORD count = static_cast<DWORD>(size < piece ? size : piece);
    DWORD written = 0;
    if (!::WriteFile(Handle(file), bytes, count, &written, nullptr)) {
      EnsureError(ERROR_WRITE_FAULT);
      return false;
    }
    if (written == 0 && count > 0) {
      ::SetLastError(ERROR_WRITE_FAULT);
      return false;
    }
    bytes += written;
    size -= written;
  } while (size > 0);
  ::SetLastError(before);
  return true;
}

bool TruncateToZero(FileHandle file) {
  const DWORD before = ::GetLastError();
  LARGE_INTEGER start{};
  if (!::SetFilePointerEx(Handle(file), start, nullptr, FILE_BEGIN) ||
      !::SetEndOfFile(Handle(file)))
    return false;
  ::SetLastError(before);
  return true;
}

bool SeekToEnd(FileHandle file) {
  const DWORD before = ::GetLastError();
  LARGE_INTEGER distance{};
  if (!::SetFilePointerEx(Handle(file), distance, nullptr, FILE_END))
    return false;
  ::SetLastError(before);
  return true;
}

void CloseFile(FileHandle file) {
  if (IsValid(file)) {
    const DWORD before = ::GetLastError();
    ::CloseHandle(Handle(file));
    ::SetLastError(before);
  }
}

bool DeleteFile(const std::string& name) {
  return ::DeleteFileA(name.c_str()) != FALSE;
}

bool ReadWholeFile(const std::string& name, std::string& bytes) {
  bytes.clear();
  const DWORD before = ::GetLastError();
  const HANDLE handle =
      ::CreateFileA(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    EnsureError(ERROR_OPEN_FAILED);
    return false;
  }
  if (::GetFileType(handle) != FILE_TYPE_DISK) {
    // A device such as CON or a pipe may never end: only files are read.
    ::CloseHandle(handle);
    ::SetLastError(ERROR_INVALID_PARAMETER);
    return false;
  }
  LARGE_INTEGER size{};
  if (::GetFileSizeEx(handle, &size) && size.QuadPart > 0 &&
      static_cast<std::uint64_t>(size.QuadPart) < bytes.max_size())
    bytes.reserve(static_cast<std::size_t>(size.QuadPart));
  char buffer[65536];
  for (;;) {
    DWORD count = 0;
    if (!::ReadFile(handle, buffer, static_cast<DWORD>(sizeof buffer), &count, nullptr)) {
      EnsureError(ERROR_READ_FAULT);
      const DWORD code = ::GetLastError();
      ::CloseHandle(handle);
      ::SetLastError(code);
      bytes.clear();
      return false;
    }
    if (count == 0)
      break;
    bytes.append(buffer, count);
  }
  ::CloseHandle(handle);
  ::SetLastError(before);
  return true;
}

bool IsReadableFile(const std::string& name) {
  const DWORD before = ::GetLastError();
  const HANDLE handle = ::CreateFileA(name.c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    EnsureError(ERROR_FILE_NOT_FOUND);
    return false;
  }
  const bool disk = ::GetFileType(handle) == FILE_TYPE_DISK;
  ::CloseHandle(handle);
  if (!disk) {
    ::SetLastError(ERROR_INVALID_PARAMETER);
    return false;
  }
  ::SetLastError(before);
  return true;
}

// --- replacing files whole --------------------------------------------------------

// A file open without shared delete access cannot be removed or renamed by
// anyone else: that keeps a running save's files from RemoveIfUnused.
FileHandle CreateNew(const std::string& name) {
  return Open(name, GENERIC_WRITE, FILE_SHARE_READ, CREATE_NEW,
              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN);
}

FileHandle HoldFile(const std::string& name) {
  return Open(name, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING,
              FILE_FLAG_OPEN_REPARSE_POINT);
}

bool FlushFile(FileHandle file) {
  const DWORD before = ::GetLastError();
  if (!::FlushFileBuffers(Handle(file))) {
    EnsureError(ERROR_WRITE_FAULT);
    return false;
  }
  ::SetLastError(before);
  return true;
}

void FlushFolder(const std::string&) {
  // The renames are written through (MOVEFILE_WRITE_THROUGH).
}

bool ReplaceFile(const std::string& from, const std::string& to) {
  // A read-only file is not replaced, as the system refuses to (not every
  // emulation of it does).
  const DWORD attributes = ::GetFileAttributesA(to.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
    ::SetLastError(ERROR_ACCESS_DENIED);
    return false;
  }
  const DWORD before = ::GetLastError();
  if (!::MoveFileExA(from.c_str(), to.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    EnsureError(ERROR_ACCESS_DENIED);
    return false;
  }
  ::SetLastError(before);
  return true;
}

const bool OpenFilesCanBeRenamed = false;

bool LinkFile(const std::string& existing, const std::string& newName) {
  const DWORD before = ::GetLastError();
  if (!::CreateHardLinkA(newName.c_str(), existing.c_str(), nullptr)) {
    EnsureError(ERROR_NOT_SUPPORTED);
    return false;
  }
  ::SetLastError(before);
  return true;
}

EntryKind GetEntryKind(const std::string& name) {
  const DWORD attributes = ::GetFileAttributesA(name.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    EnsureError(ERROR_FILE_NOT_FOUND);
    return EntryKind::None;
  }
  if (attributes & FILE_ATTRIBUTE_REPARSE_POINT)
    return EntryKind::Link;
  if (attributes & FILE_ATTRIBUTE_DIRECTORY)
    return EntryKind::Folder;
  return EntryKind::File;
}

bool ListFolder(const std::string& folder, std::vector<std::string>& names) {
  names.clear();
  std::string pattern = folder.empty() ? std::string(".") : folder;
  if (!IsPathDelimiter(pattern.back()))
    pattern += '\\';
  pattern += '*';
  const DWORD before = ::GetLastError();
  WIN32_FIND_DATAA found{};
  const HANDLE search = ::FindFirstFileA(pattern.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) {
    EnsureError(ERROR_PATH_NOT_FOUND);
    return false;
  }
  do {
    const std::string name = found.cFileName;
    if (name != "." && name != "..")
      names.push_back(name);
  } while (::FindNextFileA(search, &found));
  ::FindClose(search);
  ::SetLastError(before);
  return true;
}

bool RemoveIfUnused(const std::string& name) {
  const EntryKind kind = GetEntryKind(name);
  if (kind != EntryKind::File && kind != EntryKind::Link)
    return false;
  return ::DeleteFileA(name.c_str()) != FALSE;
}

std::uint32_t ProcessId() {
  return ::GetCurrentProcessId();
}

// --- paths -------------------------------------------------------------------------

const char PathDelimiter = '\\';

// The system takes '/' as a delimiter too; a path typed with it must split the
// same way.
bool IsPathDelimiter(char c) {
  return c == '\\' || c == '/';
}

bool PathExists(const std::string& path) {
  if (path.empty()) {
    ::SetLastError(ERROR_FILE_NOT_FOUND);
    return false;
  }
  const DWORD before = ::GetLastError();
  ::SetLastError(ERROR_SUCCESS);
  if (::PathFileExistsA(path.c_str())) {
    ::SetLastError(before);
    return true;
  }
  EnsureError(ERROR_FILE_NOT_FOUND);
  return false;
}

bool DirectoryExists(const std::string& path) {
  if (path.empty()) {
    ::SetLastError(ERROR_PATH_NOT_FOUND);
    return false;
  }
  const DWORD before = ::GetLastError();
  ::SetLastError(ERROR_SUCCESS);
  const DWORD attributes = ::GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    EnsureError(ERROR_PATH_NOT_FOUND);
    return false;
  }
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
    ::SetLastError(ERROR_DIRECTORY);
    return false;
  }
  ::SetLastError(before);
  return true;
}

std::string AbsolutePath(const std::string& path) {
  if (path.empty())
    return path;
  const DWORD before = ::GetLastError();
  std::string full(MAX_PATH, '\0');
  for (;;) {
    const DWORD length =
        ::GetFullPathNameA(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (length == 0)
      return path;
    if (length < full.size()) {
      full.resize(length);
      ::SetLastError(before);
      return full;
    }
    full.resize(length); // too small: LENGTH includes the terminating zero
  }
}

std::string LongPathName(const std::string& path) {
  if (path.empty())
    return {};
  const DWORD before = ::GetLastError();
  std::string longName(MAX_PATH, '\0');
  for (;;) {
    const DWORD length =
        ::GetLongPathNameA(path.c_str(), longName.data(), static_cast<DWORD>(longName.size()));
    if (length == 0)
      return {};
    if (length < longName.size()) {
      longName.resize(length);
      ::SetLastError(before);
      return longName;
    }
    longName.resize(length);
  }
}

// --- process -------------------------------------------------------------------------

bool CreateFolders(const std::string& path) {
  if (path.empty()) {
    ::SetLastError(ERROR_PATH_NOT_FOUND);
    return false;
  }
  const DWORD before = ::GetLastError();
  // Each prefix that ends at a delimiter, then the whole path. A prefix that
  // exists or cannot be made ("C:", a share) fails harmlessly; whether the
  // whole path is a folder at the end is what counts.
  for (std::size_t end = path.find_first_of("\\/", 1);; end = path.find_first_of("\\/", end + 1)) {
    ::CreateDirectoryA(path.substr(0, end).c_str(), nullptr);
    if (end == std::string::npos)
      break;
  }
  ::SetLastError(before);
  return DirectoryExists(path);
}

std::string UserStateFolder() {
  const char* local = std::getenv("LOCALAPPDATA");
  if (!local || !local[0])
    return "";
  const std::string folder(local);
  return folder + (folder.back() == '\\' || folder.back() == '/' ? "" : "\\") + "Orvanel\\";
}

std::string ExecutablePath() {
  const DWORD before = ::GetLastError();
  std::string path(MAX_PATH, '\0');
  for (;;) {
    const DWORD length =
        ::GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0)
      return {};
    if (length < path.size()) {
      path.resize(length);
      ::SetLastError(before); // the system clears it on success
      return path;
    }
    path.resize(path.size() * 2);
  }
}

void ExitImmediately(int code) {
  ::TerminateProcess(::GetCurrentProcess(), static_cast<UINT>(code));
  std::_Exit(code); // not reached
}

bool ShellOpen(const std::string& file, const std::string& parameters, const std::string& directory,
               bool minimized, OpenerWatch& watch) {
  // The shell says at once whether it could open the file.
  watch = NoOpenerWatch;
  SHELLEXECUTEINFOA request{};
  request.cbSize = sizeof request;
  request.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_CONNECTNETDRV;
  request.hwnd = ::GetActiveWindow();
  request.lpVerb = nullptr; // the file's default action
  request.lpFile = file.c_str();
  request.lpParameters = parameters.empty() ? nullptr : parameters.c_str();
  request.lpDirectory = directory.empty() ? nullptr : directory.c_str();
  request.nShow = minimized ? SW_SHOWMINNOACTIVE : SW_SHOWNORMAL;
  const DWORD before = ::GetLastError();
  if (::ShellExecuteExA(&request)) {
    ::SetLastError(before);
    return true;
  }
  EnsureError(ShellFailureCode(request.hInstApp));
  return false;
}

OpenerResult OpenerOutcome(OpenerWatch, bool, int& exitStatus) {
  exitStatus = 0;
  return OpenerResult::Opened;
}

bool CreateInstanceLock(const std::string& name, bool& alreadyHeld) {
  alreadyHeld = false;
  const DWORD before = ::GetLastError();
  ::SetLastError(ERROR_SUCCESS);
  const HANDLE mutex = ::CreateMutexA(nullptr, TRUE, name.c_str());
  if (mutex == nullptr) {
    EnsureError(ERROR_INVALID_HANDLE);
    return false;
  }
  if (::GetLastError() == ERROR_ALREADY_EXISTS) {
    ::CloseHandle(mutex);
    ::SetLastError(ERROR_ALREADY_EXISTS);
    alreadyHeld = true;
    return true;
  }
  if (InstanceLock != nullptr)
    ::CloseHandle(InstanceLock);
  InstanceLock = mutex;
  ::SetLastError(before);
  return true;
}

void ReleaseInstanceLock() {
  if (InstanceLock != nullptr) {
    ::CloseHandle(InstanceLock);
    InstanceLock = nullptr;
  }
}

// --- time, sound, locale, OLE, optional libraries -------------------------------------

void AdviseLargePages(void*, std::size_t) {
  // Large pages need a privilege that users do not have; plain pages it is.
}

std::uint32_t TickCount() {
  return ::GetTickCount();
}

void MessageBeep(std::uint32_t type) {
  ::MessageBeep(type);
}

// The C runtime's locale, as on other systems: the front ends set it from the
// user's settings when they start, so both systems format numbers alike.
std::string LocaleThousandsSeparator() {
  const std::lconv* conv = std::localeconv();
  return conv && conv->thousands_sep ? std::string(conv->thousands_sep) : std::string();
}

std::string LocaleDecimalSeparator() {
  const std::lconv* conv = std::localeconv();
  if (conv && conv->decimal_point && *conv->decimal_point)
    return conv->decimal_point;
  return ".";
}

void OleInitialize() {
  ::OleInitialize(nullptr);
}

void OleUninitialize() {
  ::OleUninitialize();
}

int OperatingSystemMajorVersion() {
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof info;
  const DWORD before = ::GetLastError();
  if (!::GetVersionExA(&info))
    return 0;
  ::SetLastError(before);
  return static_cast<int>(info.dwMajorVersion);
}

ModuleHandle LoadSystemLibrary(const std::string& name) {
  const DWORD before = ::GetLastError();
  const HMODULE module = ::LoadLibraryA(name.c_str());
  if (module != nullptr)
    ::SetLastError(before);
  return reinterpret_cast<ModuleHandle>(module);
}

void* GetEntryPoint(ModuleHandle module, const std::string& name) {
  if (module == nullptr)
    return nullptr;
  const DWORD before = ::GetLastError();
  const FARPROC entry = ::GetProcAddress(static_cast<HMODULE>(module), name.c_str());
  if (entry != nullptr)
    ::SetLastError(before);
  return reinterpret_cast<void*>(entry);
}

void FreeSystemLibrary(ModuleHandle module) {
  if (module != nullptr)
    ::FreeLibrary(static_cast<HMODULE>(module));
}

double NowDateTime() {
  SYSTEMTIME now{};
  ::GetLocalTime(&now);
  // Days of the civil date since 30 December 1899.
  std::int64_t y = now.wYear;
  const unsigned m = now.wMonth;
  const unsigned d = now.wDay;
  y -= m <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const auto yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  const std::int64_t days = era * 146097 + static_cast<std::int64_t>(doe) - 719468 + 25569;
  const double secondOfDay =
      now.wHour * 3600.0 + now.wMinute * 60.0 + now.wSecond + now.wMilliseconds / 1000.0;
  return static_cast<double>(days) + secondOfDay / 86400.0;
}

} // namespace plat
