# Cross build of the command-line program and the tests as 64-bit Windows
# executables with Debian's MinGW-w64 compiler (the POSIX-threads variant),
# linked statically. The program is meant for 32-bit Windows
# (toolchain-i686-w64-mingw32.cmake); this build is for machines whose
# kernel runs no 32-bit programs, so that Wine can run only 64-bit ones:
#
#   ORVANEL_WINDOWS_ARCH=x86_64 scripts/test-windows
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(ORVANEL_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${ORVANEL_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ORVANEL_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${ORVANEL_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${ORVANEL_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

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
