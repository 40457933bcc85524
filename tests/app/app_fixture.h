// A project on disk (templates, a source, a destination with its frame page)
// and the program's windows started with chosen arguments.
#pragma once

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/test_support.h"

class WindowTest : public ::testing::Test {
protected:
  void SetUp() override;
  void TearDown() override;

  /// Creates the three windows as the program does, with ARGUMENTS as the
  /// command line (the program's name first), and waits for the first
  /// activation to fill the log.
  void Start(const std::vector<std::string>& arguments);
  /// Start with the project's source and destination.
  void StartWithGuide();

  /// The guide's source: headers, glossary items and TEXT_LINES more lines.
  static std::string GuideSource(int textLines = 3);

  testing_support::TempDir dir;
  std::string src;         // the source folder, with its templates
  std::string dest;        // the destination folder
  std::string sourceFile;  // src + "Guide.txt"
  std::string destination; // dest without its trailing delimiter
};
