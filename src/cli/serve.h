// `orvanel-convert --serve`: converts, serves the site on the loopback
// address, and converts again whenever the files it reads change.
#pragma once

#include <functional>
#include <string>
#include <vector>

struct ServeSettings {
  std::string Source;      ///< as given
  std::string Destination; ///< as given
  int Port = 8000;         ///< 0 takes any free port
  /// The four pages a conversion writes, by name (never watched).
  std::vector<std::string> Pages;
  /// The content page, which shows the banner of a failed conversion.
  std::string ContentPage;
};

struct ServedConversion {
  bool Good = false;
  std::string Failure; ///< what the banner says when not good
};

/// Runs CONVERT once, then serves until a stop request. Returns the exit
/// status: 0 when stopped, 1 when the port could not be taken.
int ServeSite(const ServeSettings& settings, const std::function<ServedConversion()>& convert);
