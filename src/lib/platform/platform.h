// The one small layer between the program and the operating system.
// Everything outside src/lib/platform talks to the OS only through here; there
// is a POSIX and a Win32 implementation of this interface.
//
// Every call that can fail keeps the Win32 convention: the thread's last
// system error is left untouched on success and set on failure, so callers can
// clear it, call, and test it (see LastCallFailed in error.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace plat {

// --- the thread's last system error -------------------------------------

std::uint32_t GetLastError();
void SetLastError(std::uint32_t code);

// Codes that the error framework treats as success after a call.
extern const std::uint32_t ErrorSuccess;         // no error
extern const std::uint32_t ErrorNotEnoughMemory; // "not enough storage"
extern const std::uint32_t ErrorRequestAborted;  // "request aborted"
extern const std::uint32_t ErrorAlreadyExists;   // an existing object was opened
// Codes used by tests and callers that need to provoke or recognise them.
extern const std::uint32_t ErrorFileNotFound;
extern const std::uint32_t ErrorAccessDenied;

// The system's message text for an error code.
std::string SystemErrorText(std::uint32_t code);

// --- files ---------------------------------------------------------------

using FileHandle = std::intptr_t;
constexpr FileHandle InvalidFile = -1;

// Creates NAME for writing, replacing an existing file (others may read and
// write it meanwhile). An existing file that was replaced sets the last error
// to ErrorAlreadyExists, as the system does.
FileHandle CreateAlways(const std::string& name);
// Opens NAME for writing, creating it when missing; ErrorAlreadyExists when it
// existed.
FileHandle OpenAlways(const std::string& name);
// Opens an existing file for attribute queries only.
FileHandle OpenForAttributes(const std::string& name);
// Size of an open file as the two 32-bit halves; false on failure.
bool GetFileSize(FileHandle file, std::uint32_t& low, std::uint32_t& high);
// Writes all SIZE bytes in one call; false (and the last error set) when not
// every byte was written.
bool WriteFile(FileHandle file, const void* data, std::size_t size);
bool TruncateToZero(FileHandle file);
bool SeekToEnd(FileHandle file);
void CloseFile(FileHandle file);
bool DeleteFile(const std::string& name);

// Reads a whole regular file; false (last error set) when it cannot be read.
bool ReadWholeFile(const std::string& name, std::string& bytes);

// Whether NAME is a regular file (a link to one included) that this process
// may read; the last error says why not.
bool IsReadableFile(const std::string& name);

// --- replacing files whole ---------------------------------------------------

// Creates NAME as a new file for writing. Fails (ErrorAlreadyExists) when
// anything is at the name already, a link included, which is never followed.
// While it is open no other process can remove it with RemoveIfUnused.
FileHandle CreateNew(const std::string& name);
// Opens an existing file for reading without following a link, so that
// RemoveIfUnused leaves it alone while it is open.
FileHandle HoldFile(const std::string& name);
// Writes what the system still holds of an open file through to the disk.
bool FlushFile(FileHandle file);
// Writes a folder's entries (renames) through to the disk, where the system
// does not do so by itself.
void FlushFolder(const std::string& folder);
// Renames FROM to TO in one step, replacing what is at TO (a link there is
// replaced, not followed).
bool ReplaceFile(const std::string& from, const std::string& to);
// Whether a file may be renamed while a process holds it open; where not
// (Windows), callers close it first, and a name of a file another program
// holds open cannot be removed either.
extern const bool OpenFilesCanBeRenamed;
// Gives EXISTING a second name NEW_NAME (a hard link; a link at EXISTING is
// not followed). False where the file system has no such links.
bool LinkFile(const std::string& existing, const std::string& newName);

enum class EntryKind { None, File, Link, Folder, Other };
// What is at NAME, without following a link.
EntryKind GetEntryKind(const std::string& name);
// The names in FOLDER, without "." and ".."; false when it cannot be read.
bool ListFolder(const std::string& folder, std::vector<std::string>& names);
// Removes the file or link NAME unless a process holds it open (see
// CreateNew and HoldFile); never a folder. True when it was removed.
bool RemoveIfUnused(const std::string& name);
std::uint32_t ProcessId();

// --- paths -----------------------------------------------------------------

extern const char PathDelimiter;
bool IsPathDelimiter(char c);
// File or directory exists. Clears nothing; sets the last error when not.
bool PathExists(const std::string& path);
bool DirectoryExists(const std::string& path);
// Creates the folder PATH and any missing parents (private to the user where
// the system has such rights). True when it exists afterwards.
bool CreateFolders(const std::string& path);
// Absolute form of PATH, made lexically (no symbolic links resolved).
std::string AbsolutePath(const std::string& path);
// The system's long form of PATH (8.3 names expanded); empty when none.
std::string LongPathName(const std::string& path);

// --- process ---------------------------------------------------------------

std::string ExecutablePath();
// The user's folder for files a program keeps between runs (its error log),
// with a delimiter at the end: $XDG_STATE_HOME/orvanel/ (by default
// ~/.local/state/orvanel/), on Windows %LOCALAPPDATA%\\Orvanel\\. Empty when
// the environment names no such place. Not created here.
std::string UserStateFolder();
// Ends the process at once with CODE: no exit handlers, no destructors.
[[noreturn]] void ExitImmediately(int code);

// Opens FILE with its associated program without waiting for it. PARAMETERS
// is passed as it stands (already quoted by the caller); an empty DIRECTORY
// means the current one. Never goes through a shell. Where the opener reports
// its outcome only later (xdg-open), WATCH receives a process to ask with
// OpenerOutcome; otherwise it is set to NoOpenerWatch. The environment
// variable ORVANEL_OPENER names another opener program (tests use one).
using OpenerWatch = std::intptr_t;
constexpr OpenerWatch NoOpenerWatch = 0;
bool ShellOpen(const std::string& file, const std::string& parameters, const std::string& directory,
               bool minimized, OpenerWatch& watch);

// How long an opener is watched before it counts as having succeeded.
constexpr int OpenerWatchMilliseconds = 3000;
enum class OpenerResult {
  Pending,      // still watched
  Opened,       // exited with 0, or was still running when the watch ended
  NoProgram,    // no program is registered for the file
  ActionFailed, // the program failed to open it
  Failed        // any other exit status (in EXIT_STATUS)
};
// The outcome of a watched opener; with WAIT it blocks until the watch ends
// (at most OpenerWatchMilliseconds). Any result but Pending ends the watch.
OpenerResult OpenerOutcome(OpenerWatch watch, bool wait, int& exitStatus);

// The named single-instance lock. Returns false when it could not be made at
// all; otherwise sets ALREADY_HELD when another process holds it (then this
// process holds nothing).
bool CreateInstanceLock(const std::string& name, bool& alreadyHeld);
void ReleaseInstanceLock();

// --- memory ----------------------------------------------------------------
/// Asks the system to back the block with large pages where it can (fewer
/// page faults for big buffers); nothing where it cannot. The block must be
/// aligned to 2 MiB.
void AdviseLargePages(void* block, std::size_t size);

// --- time, sound, locale, OLE, optional libraries ---------------------------

// Milliseconds since the system started, wrapping at 2^32.
std::uint32_t TickCount();
// Beep types of the system: 0 default, 48 exclamation.
void MessageBeep(std::uint32_t type);
// The user locale's thousands separator; empty when it has none.
std::string LocaleThousandsSeparator();
// The user locale's decimal separator.
std::string LocaleDecimalSeparator();
void OleInitialize();
void OleUninitialize();
int OperatingSystemMajorVersion();
// A loaded system library and its entry points; all null where the platform
// has no such libraries.
using ModuleHandle = void*;
ModuleHandle LoadSystemLibrary(const std::string& name);
void* GetEntryPoint(ModuleHandle module, const std::string& name);
void FreeSystemLibrary(ModuleHandle module);

// Local date and time now, in the day-count encoding of the time unit.
double NowDateTime();

} // namespace plat
