# Cross build of the command-line program and the tests as 32-bit Windows
# executables with Debian's MinGW-w64 compiler (the POSIX-threads variant, for
# std::thread and std::mutex). The executables are linked statically, so they
# need no DLL beyond the system's, and run under Wine on the build machine.
#
#   cmake -S . -B build/windows -G Ninja \
#     -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-i686-w64-mingw32.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(ORVANEL_MINGW_TRIPLE i686-w64-mingw32)
set(CMAKE_C_COMPILER ${ORVANEL_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ORVANEL_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${ORVANEL_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${ORVANEL_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# GCC 12 reports overlapping copies inside std::string on 32-bit targets
# where there are none (GCC bug 105329); the native build keeps the warning.
set(CMAKE_CXX_FLAGS_INIT "-Wno-restrict")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Wine runs the test executables for test discovery and for ctest. The
# wrapper turns the CR LF line ends of their output into LF, which the test
# discovery expects.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/mingw/wine-run)

# Debian ships no Windows builds of GoogleTest and CLI11: the find module and
# the package file in mingw/ make them from the build machine's sources.
list(APPEND CMAKE_MODULE_PATH ${CMAKE_CURRENT_LIST_DIR}/mingw)
list(REMOVE_DUPLICATES CMAKE_MODULE_PATH)
set(CLI11_DIR ${CMAKE_CURRENT_LIST_DIR}/mingw CACHE PATH "CLI11 package file for the Windows build")
