# Cross build of the programs and the tests as 32-bit Windows executables
# with Debian's MinGW-w64 compiler (the POSIX-threads variant, for
# std::thread and std::mutex). The executables are linked statically, so they
# need no DLL beyond the system's, and run under Wine on the build machine.
#
#   cmake -S . -B build/windows -G Ninja \
#     -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-i686-w64-mingw32.cmake
set(CMAKE_SYSTEM_PROCESSOR i686)
set(ORVANEL_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw/toolchain-common.cmake)

# GCC 12 reports overlapping copies inside std::string on 32-bit targets
# where there are none (GCC bug 105329); the native build keeps the warning.
set(CMAKE_CXX_FLAGS_INIT "-Wno-restrict")
