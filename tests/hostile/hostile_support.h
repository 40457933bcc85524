// orvanel-convert run as a process on hostile input: a source folder with the
// default templates, a destination folder, and the run's streams and status.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/test_support.h"

namespace hostile {

struct RunResult {
  /// The exit status; 124 when the run was stopped for taking too long, above
  /// 128 when a signal ended it.
  int Status = -1;
  std::string Out;
  std::string Err;
};

/// TEXT in single quotes for the shell.
std::string Quote(const std::string& text);
/// How many times NEEDLE occurs in HAYSTACK.
std::size_t Count(const std::string& haystack, const std::string& needle);
/// Whether the file can be created in FOLDER (permissions do not stop root).
bool CanCreateIn(const std::string& folder);

class HostileTest : public ::testing::Test {
protected:
  HostileTest();

  /// Runs the converter with ARGUMENTS (already quoted) from the work folder.
  /// PREFIX is shell text put before the command (limits, environment).
  RunResult Run(const std::string& arguments, const std::string& prefix = "",
                int seconds = 120) const;
  /// Converts src/Guide.txt into out/ with OPTIONS.
  RunResult Convert(const std::string& options = "", const std::string& prefix = "") const;

  void WriteSource(const std::string& bytes) const;
  std::string SourcePath() const { return src + "Guide.txt"; }
  /// The destination without its trailing '/'.
  std::string DestinationArgument() const { return dest.substr(0, dest.size() - 1); }
  std::string Output(const std::string& suffix) const;
  /// The names of the entries in the destination folder, sorted.
  std::vector<std::string> DestinationEntries() const;

  testing_support::TempDir dir;
  std::string src;  // with a trailing '/'
  std::string dest; // with a trailing '/'
  std::string work; // the converter's working folder, with a trailing '/'
};

/// The four output suffixes, in the order they are saved.
inline const std::vector<std::string> kSuffixes{".cnt.htm", ".toc.htm", ".tocbtn.htm", ".gls.htm"};

} // namespace hostile

#define EXPECT_CONVERTED(run)                                                                      \
  do {                                                                                             \
    EXPECT_EQ((run).Status, 0) << (run).Err;                                                       \
    EXPECT_NE((run).Out.find("* File has been processed.\n"), std::string::npos);                  \
  } while (false)
