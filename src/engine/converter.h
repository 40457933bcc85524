// The converter that the window, the command line and the tests drive: it
// holds the two paths and the abort request, and runs one conversion per
// Process call. It knows nothing of any window toolkit; it reaches its front
// end only through IConverterHost.
#pragma once

#include <string>

#include "engine/host.h"

class TConverter {
public:
  explicit TConverter(IConverterHost& host);
  ~TConverter();
  TConverter(const TConverter&) = delete;
  TConverter& operator=(const TConverter&) = delete;

  /// The first activation's reading of the arguments: with exactly two,
  /// makes them absolute and logs them with the source size; else warns.
  void TakeArguments(int paramCount, const std::string& source, const std::string& destination);
  /// A pair chosen later (in the window): taken and logged as TakeArguments
  /// takes two arguments.
  void ChoosePaths(const std::string& source, const std::string& destination);
  /// The conversion buttons' validity check: shows "Invalid source file or
  /// destination directory." and returns false when an input is missing.
  bool CheckInputs();
  /// Stops a running conversion between two lines (and any later one).
  void RequestAbort() { AbortRequested = true; }
  bool AbortWasRequested() const { return AbortRequested; }

  /// One conversion of SourceFileName into DestinationDir.
  ConversionResult Process(const ConversionOptions& options);

  /// Logs "* " + TEXT (an empty line for an empty text).
  void AddLogLine(const std::string& text);

  const std::string& SourceFileName() const { return sourceFileName_; }
  const std::string& DestinationDir() const { return destinationDir_; }

private:
  IConverterHost& host_;
  std::string sourceFileName_;
  std::string destinationDir_;
  bool AbortRequested = false;
};
