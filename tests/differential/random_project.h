// Small random projects that use every command, inline markup, malformed
// lines and odd bytes, for the differential test.
#pragma once

#include <cstdint>
#include <map>
#include <string>

namespace differential {

struct RandomProject {
  std::string Source;
  /// The five templates by file name.
  std::map<std::string, std::string> Templates;
};

/// The project of SEED; the same seed always gives the same bytes.
RandomProject MakeRandomProject(std::uint32_t seed);

} // namespace differential
