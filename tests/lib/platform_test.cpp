// What both implementations of the platform layer promise alike: the
// last-error convention, byte-exact files, the single-instance lock, and on
// Windows the system's own paths, error codes and libraries.
#include "platform/platform.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "lib/file.h"
#include "support/test_support.h"

using testing_support::ReadFileBytes;
using testing_support::TempDir;
using testing_support::WriteFileBytes;

namespace {

// A code that none of the calls below sets by itself.
constexpr std::uint32_t Marker = 0x5A5A;

std::string UniqueLockName() {
  std::random_device rd;
  return "Mutex_ProgramInstance_OrvanelPlatformTest" + std::to_string(rd()) + std::to_string(rd());
}

} // namespace

TEST(LastErrorConvention, SucceedingCallsLeaveTheCodeAlone) {
  TempDir dir;
  WriteFileBytes(dir / "f.txt", "abc");
  plat::SetLastError(Marker);

  EXPECT_TRUE(plat::PathExists(dir / "f.txt"));
  EXPECT_TRUE(plat::DirectoryExists(dir.Path()));
  std::string bytes;
  EXPECT_TRUE(plat::ReadWholeFile(dir / "f.txt", bytes));
  const plat::FileHandle file = plat::OpenForAttributes(dir / "f.txt");
  ASSERT_NE(file, plat::InvalidFile);
  std::uint32_t low = 0;
  std::uint32_t high = 7;
  EXPECT_TRUE(plat::GetFileSize(file, low, high));
  plat::CloseFile(file);
  EXPECT_EQ(low, 3u);
  EXPECT_EQ(high, 0u);
  const plat::FileHandle created = plat::CreateAlways(dir / "new.txt");
  ASSERT_NE(created, plat::InvalidFile);
  EXPECT_TRUE(plat::WriteFile(created, "xy", 2));
  EXPECT_TRUE(plat::SeekToEnd(created));
  plat::CloseFile(created);
  EXPECT_FALSE(plat::AbsolutePath("x.txt").empty());
  EXPECT_FALSE(plat::SystemErrorText(plat::ErrorFileNotFound).empty());
  EXPECT_FALSE(plat::ExecutablePath().empty());

  EXPECT_EQ(plat::GetLastError(), Marker);
  plat::SetLastError(0);
}

TEST(LastErrorConvention, FailingCallsSetACode) {
  TempDir dir;
  std::uint32_t low = 0;
  std::uint32_t high = 0;

  plat::SetLastError(0);
  EXPECT_FALSE(plat::PathExists(dir / "missing"));
  EXPECT_NE(plat::GetLastError(), 0u);

  plat::SetLastError(0);
  EXPECT_EQ(plat::OpenForAttributes(dir / "missing"), plat::InvalidFile);
  EXPECT_EQ(plat::GetLastError(), plat::ErrorFileNotFound);

  // A folder is not a file to take the size of.
  plat::SetLastError(0);
  EXPECT_EQ(plat::OpenForAttributes(dir.Path()), plat::InvalidFile);
  EXPECT_NE(plat::GetLastError(), 0u);

  plat::SetLastError(0);
  EXPECT_FALSE(plat::DirectoryExists(dir / "missing"));
  EXPECT_NE(plat::GetLastError(), 0u);

  WriteFileBytes(dir / "f.txt", "x");
  plat::SetLastError(0);
  EXPECT_FALSE(plat::DirectoryExists(dir / "f.txt"));
  EXPECT_NE(plat::GetLastError(), 0u);

  plat::SetLastError(0);
  EXPECT_FALSE(plat::GetFileSize(plat::InvalidFile, low, high));
  EXPECT_NE(plat::GetLastError(), 0u);
  plat::SetLastError(0);
}

TEST(PlatformFiles, BytesGoThroughUnchanged) {
  TempDir dir;
  // Line ends, the old end-of-file mark Ctrl-Z, NUL and high bytes must not be
  // translated on any system.
  const std::string bytes("a\r\nb\nc\rd\x1a"
                          "e\0f\xff\x80",
                          13);
  const plat::FileHandle file = plat::CreateAlways(dir / "b.bin");
  ASSERT_NE(file, plat::InvalidFile);
  ASSERT_TRUE(plat::WriteFile(file, bytes.data(), bytes.size()));
  plat::CloseFile(file);
  EXPECT_EQ(ReadFileBytes(dir / "b.bin"), bytes);
  std::string read;
  ASSERT_TRUE(plat::ReadWholeFile(dir / "b.bin", read));
  EXPECT_EQ(read, bytes);

  // An empty buffer may come without any data at all.
  const plat::FileHandle empty = plat::CreateAlways(dir / "b.bin");
  ASSERT_NE(empty, plat::InvalidFile);
  EXPECT_TRUE(plat::WriteFile(empty, nullptr, 0));
  plat::CloseFile(empty);
  EXPECT_EQ(ReadFileBytes(dir / "b.bin"), "");
}

TEST(PlatformFiles, DevicesAreNotReadAsFiles) {
#if defined(_WIN32)
  const std::string device = "NUL";
#else
  const std::string device = "/dev/null";
#endif
  std::string bytes = "left over";
  plat::SetLastError(0);
  EXPECT_FALSE(plat::ReadWholeFile(device, bytes));
  EXPECT_NE(plat::GetLastError(), 0u);
  EXPECT_EQ(bytes, "");
  plat::SetLastError(0);
}

TEST(PlatformFiles, SizeOfALargerFileHasBothHalves) {
  TempDir dir;
  WriteFileBytes(dir / "big.bin", std::string(70000, 'x'));
  const plat::FileHandle file = plat::OpenForAttributes(dir / "big.bin");
  ASSERT_NE(file, plat::InvalidFile);
  std::uint32_t low = 0;
  std::uint32_t high = 1;
  ASSERT_TRUE(plat::GetFileSize(file, low, high));
  plat::CloseFile(file);
  EXPECT_EQ(MakeFileSize(low, high), 70000u);
}

TEST(PlatformErrors, MessagesAreSingleLines) {
  for (const std::uint32_t code :
       {plat::ErrorFileNotFound, plat::ErrorAccessDenied, plat::ErrorAlreadyExists}) {
    const std::string text = plat::SystemErrorText(code);
    EXPECT_FALSE(text.empty()) << code;
    EXPECT_EQ(text.find_first_of("\r\n"), std::string::npos) << text;
    EXPECT_NE(text.back(), ' ') << text;
  }
  EXPECT_FALSE(plat::SystemErrorText(0x7FFF0001u).empty());
}

TEST(InstanceLock, SecondRequestSeesTheLockHeldUntilItIsReleased) {
  const std::string name = UniqueLockName();
  bool held = true;
  ASSERT_TRUE(plat::CreateInstanceLock(name, held));
  EXPECT_FALSE(held);

  plat::SetLastError(0);
  ASSERT_TRUE(plat::CreateInstanceLock(name, held));
  EXPECT_TRUE(held);
  EXPECT_EQ(plat::GetLastError(), plat::ErrorAlreadyExists);

  // The refused request took nothing away from the holder.
  ASSERT_TRUE(plat::CreateInstanceLock(name, held));
  EXPECT_TRUE(held);

  plat::ReleaseInstanceLock();
  plat::SetLastError(0);
  ASSERT_TRUE(plat::CreateInstanceLock(name, held));
  EXPECT_FALSE(held);
  plat::ReleaseInstanceLock();
  plat::ReleaseInstanceLock(); // nothing held: harmless
}

#if defined(_WIN32)

TEST(WindowsPlatform, ErrorCodesAreTheSystems) {
  // The error framework counts these as success after a call.
  EXPECT_EQ(plat::ErrorSuccess, 0u);
  EXPECT_EQ(plat::ErrorNotEnoughMemory, 14u);
  EXPECT_EQ(plat::ErrorRequestAborted, 1235u);
  EXPECT_EQ(plat::ErrorAlreadyExists, 183u);
  EXPECT_EQ(plat::ErrorFileNotFound, 2u);
  EXPECT_EQ(plat::ErrorAccessDenied, 5u);
}

TEST(WindowsPlatform, PathsUseTheSystemsForms) {
  EXPECT_EQ(plat::PathDelimiter, '\\');
  EXPECT_TRUE(plat::IsPathDelimiter('/'));
  EXPECT_FALSE(plat::IsPathDelimiter(':'));

  EXPECT_EQ(FullPathName("C:"), "C:");
  EXPECT_EQ(FullPathName("C:\\a\\.\\b\\..\\c.txt"), "C:\\a\\c.txt");
  EXPECT_EQ(FullPathName("C:/a/b/"), "C:\\a\\b\\");
  EXPECT_EQ(IncludePathDelimiter("C:\\a"), "C:\\a\\");
  EXPECT_EQ(IncludePathDelimiter("C:\\a/"), "C:\\a/");
  EXPECT_EQ(FilePathOf("C:\\a\\b.txt"), "C:\\a\\");
  EXPECT_EQ(FileNameOf("C:\\a/b.txt"), "b.txt");
  EXPECT_EQ(FileExtOf("C:\\a.d\\b"), "");

  TempDir dir;
  WriteFileBytes(dir / "f.txt", "x");
  // '.' and '..' go away whichever delimiter comes with them.
  EXPECT_EQ(FullPathName(dir / "sub/../f.txt"), dir / "f.txt");
  EXPECT_TRUE(PathExists("C:\\"));
  EXPECT_TRUE(DirectoryExists("C:\\"));
  EXPECT_TRUE(PathExists(dir / "F.TXT")); // names ignore case here
  // Without a '~' the system is not asked; a short name it does not know
  // has no long form.
  EXPECT_EQ(LongPathName("C:\\NoSuchFolder\\MiXeD.TxT"), "C:\\NoSuchFolder\\MiXeD.TxT");
  EXPECT_EQ(plat::LongPathName("C:\\NoSuchFolder\\MISSIN~1.TXT"), "");
  EXPECT_EQ(LongPathName("C:\\NoSuchFolder\\MISSIN~1.TXT"), "C:\\NoSuchFolder\\MISSIN~1.TXT");
}

TEST(WindowsPlatform, OptionalEntryPointsAreFound) {
  EXPECT_TRUE(IsWindows2000OrLater());
  EXPECT_NE(FileUnitLoader.KernelModule, nullptr);
  EXPECT_NE(FileUnitLoader.AdvapiModule, nullptr);
  for (int slot = 2; slot < 6; ++slot)
    EXPECT_NE(FileUnitLoader.EntryPoints[slot], nullptr) << slot;

  const plat::ModuleHandle kernel = plat::LoadSystemLibrary("Kernel32.dll");
  ASSERT_NE(kernel, nullptr);
  EXPECT_NE(plat::GetEntryPoint(kernel, "CopyFileExA"), nullptr);
  EXPECT_EQ(plat::GetEntryPoint(kernel, "NoSuchEntryPointAnywhere"), nullptr);
  plat::FreeSystemLibrary(kernel);
  EXPECT_EQ(plat::LoadSystemLibrary("NoSuchLibraryAnywhere.dll"), nullptr);
  plat::SetLastError(0);
}

#else

TEST(PosixPlatform, NoSystemLibrariesToLoad) {
  EXPECT_EQ(plat::LoadSystemLibrary("Kernel32.dll"), nullptr);
  EXPECT_EQ(plat::GetEntryPoint(nullptr, "CopyFileExA"), nullptr);
  for (void* entry : FileUnitLoader.EntryPoints)
    EXPECT_EQ(entry, nullptr);
}

#endif
