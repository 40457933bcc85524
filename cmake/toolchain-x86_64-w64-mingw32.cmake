# Cross build as 64-bit Windows executables, for machines whose Wine runs no
# 32-bit programs; otherwise as toolchain-i686-w64-mingw32.cmake.
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(ORVANEL_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw/toolchain-common.cmake)
