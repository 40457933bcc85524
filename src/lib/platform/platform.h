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

// --- paths -----------------------------------------------------------------

extern const char PathDelimiter;
bool IsPathDelimiter(char c);
// File or directory exists. Clears nothing; sets the last error when not.
bool PathExists(const std::string& path);
bool DirectoryExists(const std::string& path);
// Absolute form of PATH, made lexically (no symbolic links resolved).
std::string AbsolutePath(const std::string& path);
// The system's long form of PATH (8.3 names expanded); empty when none.
std::string LongPathName(const std::string& path);

// --- process ---------------------------------------------------------------

std::string ExecutablePath();
// Ends the process at once with CODE: no exit handlers, no destructors.
[[noreturn]] void ExitImmediately(int code);

// Opens FILE with its associated program without waiting for it. PARAMETERS
// is passed as it stands (already quoted by the caller); an empty DIRECTORY
// means the current one. Never goes through a shell.
bool ShellOpen(const std::string& file, const std::string& parameters, const std::string& directory,
               bool minimized);

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
