// The POSIX implementation of the platform layer.
#include "platform/platform.h"

#include <cerrno>
#include <clocale>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/utsname.h>
#include <sys/wait.h>
#include <unistd.h>

#if defined(__APPLE__)
#include <mach-o/dyld.h>
#endif

namespace plat {

namespace {

thread_local std::uint32_t LastError = 0;

void SetErrno() {
  LastError = static_cast<std::uint32_t>(errno);
}

// strerror_r comes in a GNU and an XSI form; these overloads take either.
[[maybe_unused]] std::string ErrorMessage(int result, const char* buffer) {
  return result == 0 ? std::string(buffer) : std::string();
}
[[maybe_unused]] std::string ErrorMessage(const char* result, const char*) {
  return result ? std::string(result) : std::string();
}

int Descriptor(FileHandle file) {
  return static_cast<int>(file);
}

// Opens NAME for writing, creating it when missing; TRUNCATE empties an
// existing file. An existing file sets the last error to "already exists", as
// the system's file creation does.
FileHandle OpenForWriting(const std::string& name, bool truncate) {
  for (int attempt = 0; attempt < 16; ++attempt) {
    int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0)
      return fd;
    if (errno != EEXIST)
      break;
    // Not through a link planted at the name (it could lead anywhere), and
    // not waiting for a reader when the name is a pipe.
    fd = ::open(name.c_str(),
                O_WRONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | (truncate ? O_TRUNC : 0));
    if (fd >= 0) {
      LastError = EEXIST;
      ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
      return fd;
    }
    if (errno == ELOOP && truncate) {
      // Replacing the file replaces the link itself.
      if (::unlink(name.c_str()) != 0 && errno != ENOENT)
        break;
      continue;
    }
    if (errno != ENOENT)
      break; // else it vanished in between: try again
  }
  SetErrno();
  return InvalidFile;
}

// Splits a parameter text into words: blanks separate words, double quotes
// group blanks into a word and are removed.
std::vector<std::string> SplitParameters(const std::string& parameters) {
  std::vector<std::string> words;
  std::string word;
  bool inWord = false;
  bool quoted = false;
  for (const char c : parameters) {
    if (c == '"') {
      quoted = !quoted;
      inWord = true;
    } else if (!quoted && (c == ' ' || c == '\t' || c == '\n' || c == '\r')) {
      if (inWord)
        words.push_back(word);
      word.clear();
      inWord = false;
    } else {
      word += c;
      inWord = true;
    }
  }
  if (inWord)
    words.push_back(word);
  return words;
}

int InstanceLockDescriptor = -1;

std::string InstanceLockFolder() {
  struct stat st {};
  for (const char* variable : {"XDG_RUNTIME_DIR", "TMPDIR"}) {
    const char* value = std::getenv(variable);
    if (value && *value && ::stat(value, &st) == 0 && S_ISDIR(st.st_mode))
      return value;
  }
  return "/tmp";
}

} // namespace

// --- the thread's last system error --------------------------------------------

std::uint32_t GetLastError() {
  return LastError;
}
void SetLastError(std::uint32_t code) {
  LastError = code;
}

const std::uint32_t ErrorSuccess = 0;
const std::uint32_t ErrorNotEnoughMemory = ENOMEM;
const std::uint32_t ErrorRequestAborted = ECANCELED;
const std::uint32_t ErrorAlreadyExists = EEXIST;
const std::uint32_t ErrorFileNotFound = ENOENT;
const std::uint32_t ErrorAccessDenied = EACCES;

std::string SystemErrorText(std::uint32_t code) {
  char buffer[512] = {};
  std::string text =
      ErrorMessage(strerror_r(static_cast<int>(code), buffer, sizeof buffer), buffer);
  if (text.empty())
    text = "Unknown error " + std::to_string(code);
  return text;
}

// --- files ------------------------------------------------------------------

FileHandle CreateAlways(const std::string& name) {
  return OpenForWriting(name, true);
}

FileHandle OpenAlways(const std::string& name) {
  return OpenForWriting(name, false);
}

// Opens NAME with FLAGS and refuses a folder, as the system's file opening
// does; ST receives the file's status. -1 (last error set) on failure.
static int OpenNotFolder(const std::string& name, int flags, struct stat& st) {
  const int fd = ::open(name.c_str(), flags);
  if (fd < 0) {
    SetErrno();
    return -1;
  }
  if (::fstat(fd, &st) != 0) {
    SetErrno();
    ::close(fd);
    return -1;
  }
  if (S_ISDIR(st.st_mode)) {
    ::close(fd);
    LastError = EISDIR;
    return -1;
  }
  return fd;
}

FileHandle OpenForAttributes(const std::string& name) {
  struct stat st {};
#if defined(O_PATH)
  const int fd = OpenNotFolder(name, O_PATH | O_CLOEXEC, st);
#else
  const int fd = OpenNotFolder(name, O_RDONLY | O_CLOEXEC | O_NONBLOCK, st);
#endif
  return fd < 0 ? InvalidFile : fd;
}

bool GetFileSize(FileHandle file, std::uint32_t& low, std::uint32_t& high) {
  struct stat st {};
  if (file == InvalidFile) {
    LastError = EBADF;
    return false;
  }
  if (::fstat(Descriptor(file), &st) != 0) {
    SetErrno();
    return false;
  }
  const auto size = static_cast<std::uint64_t>(st.st_size);
  low = static_cast<std::uint32_t>(size & 0xFFFFFFFFu);
  high = static_cast<std::uint32_t>(size >> 32);
  return true;
}

bool WriteFile(FileHandle file, const void* data, std::size_t size) {
  // At a file-size limit the system would end the process; ignored, the write
  // fails with EFBIG instead and the caller can report it.
  static const bool fileSizeSignalIgnored = [] {
    std::signal(SIGXFSZ, SIG_IGN);
    return true;
  }();
  (void)fileSizeSignalIgnored;
  const char* bytes = static_cast<const char*>(data);
  while (size > 0) {
    const ssize_t written = ::write(Descriptor(file), bytes, size);
    if (written < 0) {
      if (errno == EINTR)
        continue;
      SetErrno();
      return false;
    }
    bytes += written;
    size -= static_cast<std::size_t>(written);
  }
  return true;
}

bool TruncateToZero(FileHandle file) {
  if (::ftruncate(Descriptor(file), 0) != 0) {
    SetErrno();
    return false;
  }
  return true;
}

bool SeekToEnd(FileHandle file) {
  if (::lseek(Descriptor(file), 0, SEEK_END) < 0) {
    SetErrno();
    return false;
  }
  return true;
}

void CloseFile(FileHandle file) {
  if (file != InvalidFile)
    ::close(Descriptor(file));
}

bool DeleteFile(const std::string& name) {
  if (::unlink(name.c_str()) != 0) {
    SetErrno();
    return false;
  }
  return true;
}

bool ReadWholeFile(const std::string& name, std::string& bytes) {
  bytes.clear();
  // Non-blocking, so that a pipe does not wait for a writer before it is refused.
  struct stat st {};
  const int fd = OpenNotFolder(name, O_RDONLY | O_CLOEXEC | O_NONBLOCK, st);
  if (fd < 0)
    return false;
  if (!S_ISREG(st.st_mode)) {
    // A pipe or a device may never end: only regular files are read.
    ::close(fd);
    LastError = EINVAL;
    return false;
  }
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  if (S_ISREG(st.st_mode) && st.st_size > 0)
    bytes.reserve(static_cast<std::size_t>(st.st_size));
  char buffer[65536];
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0) {
      if (errno == EINTR)
        continue;
      SetErrno();
      ::close(fd);
      bytes.clear();
      return false;
    }
    if (n == 0)
      break;
    bytes.append(buffer, static_cast<std::size_t>(n));
  }
  ::close(fd);
  return true;
}

bool IsReadableFile(const std::string& name) {
  struct stat st {};
  const int fd = OpenNotFolder(name, O_RDONLY | O_CLOEXEC | O_NONBLOCK, st);
  if (fd < 0)
    return false;
  ::close(fd);
  if (!S_ISREG(st.st_mode)) {
    LastError = EINVAL;
    return false;
  }
  return true;
}

// --- replacing files whole ------------------------------------------------------------

// Files of a save in progress carry an advisory lock: a leftover that nobody
// holds may be removed, one that a running save holds may not.
FileHandle CreateNew(const std::string& name) {
  const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
  if (fd < 0) {
    SetErrno();
    return InvalidFile;
  }
  ::flock(fd, LOCK_EX | LOCK_NB);
  return fd;
}

FileHandle HoldFile(const std::string& name) {
  const int fd = ::open(name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    SetErrno();
    return InvalidFile;
  }
  ::flock(fd, LOCK_SH | LOCK_NB);
  return fd;
}

bool FlushFile(FileHandle file) {
  if (::fsync(Descriptor(file)) != 0) {
    SetErrno();
    return false;
  }
  return true;
}

void FlushFolder(const std::string& folder) {
  const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd >= 0) {
    ::fsync(fd);
    ::close(fd);
  }
}

bool ReplaceFile(const std::string& from, const std::string& to) {
  if (::rename(from.c_str(), to.c_str()) != 0) {
    SetErrno();
    return false;
  }
  return true;
}

const bool OpenFilesCanBeRenamed = true;

bool LinkFile(const std::string& existing, const std::string& newName) {
  if (::linkat(AT_FDCWD, existing.c_str(), AT_FDCWD, newName.c_str(), 0) != 0) {
    SetErrno();
    return false;
  }
  return true;
}

EntryKind GetEntryKind(const std::string& name) {
  struct stat st {};
  if (::lstat(name.c_str(), &st) != 0) {
    SetErrno();
    return EntryKind::None;
  }
  if (S_ISREG(st.st_mode))
    return EntryKind::File;
  if (S_ISLNK(st.st_mode))
    return EntryKind::Link;
  if (S_ISDIR(st.st_mode))
    return EntryKind::Folder;
  return EntryKind::Other;
}

bool ListFolder(const std::string& folder, std::vector<std::string>& names) {
  names.clear();
  DIR* entries = ::opendir(folder.empty() ? "." : folder.c_str());
  if (!entries) {
    SetErrno();
    return false;
  }
  while (const dirent* entry = ::readdir(entries)) {
    const std::string name = entry->d_name;
    if (name != "." && name != "..")
      names.push_back(name);
  }
  ::closedir(entries);
  return true;
}

bool RemoveIfUnused(const std::string& name) {
  const EntryKind kind = GetEntryKind(name);
  if (kind == EntryKind::Link)
    return DeleteFile(name);
  if (kind != EntryKind::File)
    return false;
  const int fd = ::open(name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    SetErrno();
    return false;
  }
  bool removed = false;
  if (::flock(fd, LOCK_EX | LOCK_NB) == 0)
    removed = DeleteFile(name);
  else
    SetErrno();
  ::close(fd);
  return removed;
}

std::uint32_t ProcessId() {
  return static_cast<std::uint32_t>(::getpid());
}

// --- paths ---------------------------------------------------------------------

const char PathDelimiter = '/';

bool IsPathDelimiter(char c) {
  return c == '/';
}

bool PathExists(const std::string& path) {
  struct stat st {};
  if (path.empty()) {
    LastError = ENOENT;
    return false;
  }
  if (::stat(path.c_str(), &st) != 0) {
    SetErrno();
    return false;
  }
  return true;
}

bool DirectoryExists(const std::string& path) {
  struct stat st {};
  if (path.empty()) {
    LastError = ENOENT;
    return false;
  }
  if (::stat(path.c_str(), &st) != 0) {
    SetErrno();
    return false;
  }
  if (!S_ISDIR(st.st_mode)) {
    LastError = ENOTDIR;
    return false;
  }
  return true;
}

bool CreateFolders(const std::string& path) {
  if (path.empty()) {
    LastError = ENOENT;
    return false;
  }
  // Each prefix that ends at a delimiter, then the whole path.
  for (std::size_t end = path.find('/', 1);; end = path.find('/', end + 1)) {
    const std::string prefix = path.substr(0, end);
    if (!prefix.empty() && ::mkdir(prefix.c_str(), 0700) != 0 && errno != EEXIST) {
      SetErrno();
      return false;
    }
    if (end == std::string::npos)
      break;
  }
  return DirectoryExists(path);
}

std::string AbsolutePath(const std::string& path) {
  if (path.empty())
    return path;
  std::string joined = path;
  if (path[0] != '/') {
    std::string cwd(4096, '\0');
    while (::getcwd(cwd.data(), cwd.size()) == nullptr) {
      if (errno != ERANGE) {
        SetErrno();
        return path;
      }
      cwd.resize(cwd.size() * 2);
    }
    cwd.resize(std::strlen(cwd.c_str()));
    joined = cwd + "/" + path;
  }
  // Collapse "." and ".." and repeated delimiters; keep a trailing delimiter.
  const bool trailing = joined.back() == '/';
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (start <= joined.size()) {
    std::size_t end = joined.find('/', start);
    if (end == std::string::npos)
      end = joined.size();
    const std::string part = joined.substr(start, end - start);
    if (part == "..") {
      if (!parts.empty())
        parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    start = end + 1;
  }
  std::string result;
  for (const std::string& part : parts)
    result += "/" + part;
  if (result.empty())
    return "/";
  if (trailing)
    result += "/";
  return result;
}

std::string LongPathName(const std::string& path) {
  // No short (8.3) names here: the long form is the path itself.
  return path;
}

// --- process -----------------------------------------------------------------------

std::string UserStateFolder() {
  // Relative values are to be ignored, as the base directory rules say.
  const char* state = std::getenv("XDG_STATE_HOME");
  if (state && state[0] == '/')
    return std::string(state) + (state[std::strlen(state) - 1] == '/' ? "" : "/") + "orvanel/";
  const char* home = std::getenv("HOME");
  if (home && home[0] == '/')
    return std::string(home) + (home[std::strlen(home) - 1] == '/' ? "" : "/") +
           ".local/state/orvanel/";
  return "";
}

std::string ExecutablePath() {
#if defined(__APPLE__)
  std::uint32_t size = 0;
  _NSGetExecutablePath(nullptr, &size);
  std::string path(size, '\0');
  if (_NSGetExecutablePath(path.data(), &size) != 0)
    return {};
  path.resize(std::strlen(path.c_str()));
  return AbsolutePath(path);
#else
  std::string path(4096, '\0');
  for (;;) {
    const ssize_t n = ::readlink("/proc/self/exe", path.data(), path.size());
    if (n < 0)
      return {};
    if (static_cast<std::size_t>(n) < path.size()) {
      path.resize(static_cast<std::size_t>(n));
      return path;
    }
    path.resize(path.size() * 2);
  }
#endif
}

void ExitImmediately(int code) {
  ::_exit(code);
}

bool ShellOpen(const std::string& file, const std::string& parameters, const std::string& directory,
               bool /*minimized*/, OpenerWatch& watch) {
  watch = NoOpenerWatch;
  // xdg-open takes no "--": a relative name that looks like an option is
  // written as "./-name" instead.
  std::string target = file;
  if (!target.empty() && target[0] == '-')
    target = "./" + target;
  const char* opener = std::getenv("ORVANEL_OPENER");
  std::vector<std::string> words{opener && *opener ? opener : "xdg-open", target};
  for (const std::string& word : SplitParameters(parameters))
    words.push_back(word);
  std::vector<char*> argv;
  for (std::string& word : words)
    argv.push_back(word.data());
  argv.push_back(nullptr);
  const char* folder = directory.empty() ? nullptr : directory.c_str();

  // The grandchild runs the opener; it reports a failed start through a pipe
  // that closes by itself when exec succeeds. The child watches it for a
  // while and ends with its exit status, or with 0 when it still runs: so the
  // child always ends soon, and the opener, left running, is not ours to reap.
  int pipeFds[2];
  if (::pipe(pipeFds) != 0) {
    SetErrno();
    return false;
  }
  for (const int fd : pipeFds)
    ::fcntl(fd, F_SETFD, FD_CLOEXEC);
  const pid_t child = ::fork();
  if (child < 0) {
    SetErrno();
    ::close(pipeFds[0]);
    ::close(pipeFds[1]);
    return false;
  }
  if (child == 0) {
    ::close(pipeFds[0]);
    const pid_t grandchild = ::fork();
    if (grandchild == 0) {
      ::setsid();
      int code = 0;
      if (folder && ::chdir(folder) != 0) {
        code = errno;
      } else {
        ::execvp(argv[0], argv.data());
        code = errno;
      }
      [[maybe_unused]] const ssize_t n = ::write(pipeFds[1], &code, sizeof code);
      ::_exit(127);
    }
    if (grandchild < 0) {
      const int code = errno;
      [[maybe_unused]] const ssize_t n = ::write(pipeFds[1], &code, sizeof code);
      ::_exit(0);
    }
    ::close(pipeFds[1]);
    constexpr long stepMs = 20;
    for (long waited = 0; waited < OpenerWatchMilliseconds; waited += stepMs) {
      int status = 0;
      const pid_t ended = ::waitpid(grandchild, &status, WNOHANG);
      if (ended == grandchild) {
        if (WIFEXITED(status))
          ::_exit(WEXITSTATUS(status));
        ::_exit(255);
      }
      if (ended < 0 && errno != EINTR)
        ::_exit(0);
      const timespec pause{0, stepMs * 1000000L};
      ::nanosleep(&pause, nullptr);
    }
    ::_exit(0);
  }
  ::close(pipeFds[1]);
  int code = 0;
  ssize_t n;
  do {
    n = ::read(pipeFds[0], &code, sizeof code);
  } while (n < 0 && errno == EINTR);
  ::close(pipeFds[0]);
  if (n == static_cast<ssize_t>(sizeof code)) {
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    LastError = static_cast<std::uint32_t>(code != 0 ? code : ENOEXEC);
    return false;
  }
  watch = static_cast<OpenerWatch>(child);
  return true;
}

OpenerResult OpenerOutcome(OpenerWatch watch, bool wait, int& exitStatus) {
  exitStatus = 0;
  if (watch == NoOpenerWatch)
    return OpenerResult::Opened;
  int status = 0;
  pid_t ended;
  do {
    ended = ::waitpid(static_cast<pid_t>(watch), &status, wait ? 0 : WNOHANG);
  } while (ended < 0 && errno == EINTR);
  if (ended == 0)
    return OpenerResult::Pending;
  if (ended < 0) // reaped elsewhere: nothing more can be learnt
    return OpenerResult::Opened;
  exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 255;
  switch (exitStatus) {
  case 0:
    return OpenerResult::Opened;
  case 3: // xdg-open: no program found for the file
    return OpenerResult::NoProgram;
  case 4: // xdg-open: the action failed
    return OpenerResult::ActionFailed;
  default:
    return OpenerResult::Failed;
  }
}

bool CreateInstanceLock(const std::string& name, bool& alreadyHeld) {
  alreadyHeld = false;
  std::string fileName = name;
  for (char& c : fileName) {
    if (c == '/')
      c = '_';
  }
  const std::string path = InstanceLockFolder() + "/" + fileName;
  const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd < 0) {
    SetErrno();
    return false;
  }
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const int code = errno;
    ::close(fd);
    if (code == EWOULDBLOCK) {
      alreadyHeld = true;
      LastError = ErrorAlreadyExists;
      return true;
    }
    LastError = static_cast<std::uint32_t>(code);
    return false;
  }
  if (InstanceLockDescriptor >= 0)
    ::close(InstanceLockDescriptor);
  InstanceLockDescriptor = fd;
  return true;
}

void ReleaseInstanceLock() {
  if (InstanceLockDescriptor >= 0) {
    ::close(InstanceLockDescriptor);
    InstanceLockDescriptor = -1;
  }
}

// --- time, sound, locale, OLE, optional libraries ------------------------------------

void AdviseLargePages(void* block, std::size_t size) {
#ifdef MADV_HUGEPAGE
  ::madvise(block, size, MADV_HUGEPAGE);
#else
  (void)block;
  (void)size;
#endif
}

std::uint32_t TickCount() {
  timespec ts{};
  ::clock_gettime(CLOCK_MONOTONIC, &ts);
  const auto ms = static_cast<std::uint64_t>(ts.tv_sec) * 1000u +
                  static_cast<std::uint64_t>(ts.tv_nsec) / 1000000u;
  return static_cast<std::uint32_t>(ms);
}

void MessageBeep(std::uint32_t /*type*/) {
  if (::isatty(STDERR_FILENO)) {
    [[maybe_unused]] const ssize_t n = ::write(STDERR_FILENO, "\a", 1);
  }
}

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

void OleInitialize() {}
void OleUninitialize() {}

int OperatingSystemMajorVersion() {
  utsname info{};
  if (::uname(&info) != 0)
    return 0;
  return std::atoi(info.release);
}

ModuleHandle LoadSystemLibrary(const std::string& /*name*/) {
  return nullptr;
}
void* GetEntryPoint(ModuleHandle /*module*/, const std::string& /*name*/) {
  return nullptr;
}
void FreeSystemLibrary(ModuleHandle /*module*/) {}

double NowDateTime() {
  timespec ts{};
  ::clock_gettime(CLOCK_REALTIME, &ts);
  std::tm local{};
  const std::time_t seconds = ts.tv_sec;
  ::localtime_r(&seconds, &local);
  // Days of the civil date since 30 December 1899.
  std::int64_t y = local.tm_year + 1900;
  const unsigned m = static_cast<unsigned>(local.tm_mon + 1);
  const unsigned d = static_cast<unsigned>(local.tm_mday);
  y -= m <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const auto yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  const std::int64_t days = era * 146097 + static_cast<std::int64_t>(doe) - 719468 + 25569;
  const double secondOfDay = local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec +
                             static_cast<double>(ts.tv_nsec / 1000000) / 1000.0;
  return static_cast<double>(days) + secondOfDay / 86400.0;
}

} // namespace plat
