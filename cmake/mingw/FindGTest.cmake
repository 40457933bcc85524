# GoogleTest for the Windows build, compiled from the sources that Debian's
# libgtest-dev brings along (/usr/src/googletest). Gives the same targets as
# the build machine's package: GTest::gtest and GTest::gtest_main.
if(TARGET GTest::gtest AND TARGET GTest::gtest_main)
  set(GTest_FOUND TRUE)
  set(GTEST_FOUND TRUE)
  return()
endif()

find_path(GTest_SOURCE_DIR CMakeLists.txt
  PATHS /usr/src/googletest/googletest /usr/src/gtest
  NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)

include(FindPackageHandleStandardArgs)
find_package_handle_standard_args(GTest REQUIRED_VARS GTest_SOURCE_DIR)

if(GTest_FOUND)
  set(GTEST_FOUND TRUE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(gtest_disable_pthreads OFF CACHE BOOL "")
  add_subdirectory(${GTest_SOURCE_DIR} ${CMAKE_BINARY_DIR}/_deps/googletest EXCLUDE_FROM_ALL)
  # GoogleTest 1.11 and later name these itself.
  if(NOT TARGET GTest::gtest)
    add_library(GTest::gtest ALIAS gtest)
  endif()
  if(NOT TARGET GTest::gtest_main)
    add_library(GTest::gtest_main ALIAS gtest_main)
  endif()
endif()
