# CLI11 for the Windows build. The library is headers only, so the build
# machine's headers serve; they are copied apart first, because adding the
# build machine's whole include folder would hide the Windows headers.
if(TARGET CLI11::CLI11)
  return()
endif()

find_path(ORVANEL_CLI11_HOST_INCLUDE CLI/CLI.hpp
  PATHS /usr/include /usr/local/include
  NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
if(NOT ORVANEL_CLI11_HOST_INCLUDE)
  set(CLI11_FOUND FALSE)
  set(CLI11_NOT_FOUND_MESSAGE "CLI/CLI.hpp not found (install libcli11-dev)")
  return()
endif()

set(_orvanel_cli11_include ${CMAKE_BINARY_DIR}/_deps/cli11/include)
file(COPY ${ORVANEL_CLI11_HOST_INCLUDE}/CLI DESTINATION ${_orvanel_cli11_include})

add_library(CLI11::CLI11 INTERFACE IMPORTED)
set_target_properties(CLI11::CLI11 PROPERTIES
  INTERFACE_COMPILE_FEATURES cxx_std_11
  INTERFACE_INCLUDE_DIRECTORIES ${_orvanel_cli11_include})
unset(_orvanel_cli11_include)
