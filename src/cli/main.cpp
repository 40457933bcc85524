// orvanel-convert: converts a source document into the four pages of a help
// site without a window, for scripts and CI.
#include <clocale>
#include <iostream>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "cli/cli_host.h"
#include "cli/serve.h"
#include "engine/converter.h"
#include "lib/error.h"
#include "lib/file.h"
#include "lib/program.h"

namespace {

constexpr int kExitConverted = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

class UsageFormatter : public CLI::Formatter {
public:
  std::string make_usage(const CLI::App*, std::string name) const override {
    return "Usage: " + name + " [OPTIONS] SOURCE DESTINATION\n";
  }
};

std::string WarningsText(int count) {
  return std::to_string(count) + (count == 1 ? " warning" : " warnings");
}

[[maybe_unused]] std::string FailureText(const ConversionResult& result, const CliHost& host) {
  if (!result.FailureDescription.empty()) {
    std::string text = result.FailureDescription;
    if (!result.FailureParameter.empty())
      text += " \"" + result.FailureParameter + "\"";
    return text;
  }
  if (!host.LastMessage().empty())
    return host.LastMessage();
  return "The conversion failed.";
}

} // namespace

int main(int argc, char** argv) {
  std::setlocale(LC_ALL, "");
  SetProgramArguments(argc, argv);

  CLI::App app{"Converts a structured plain-text SOURCE (.txt) into the content, contents, "
               "level buttons and glossary pages of a help site in DESTINATION.",
               "orvanel-convert"};
  app.formatter(std::make_shared<UsageFormatter>());
  // The same options on every system: on Windows a path may begin with '/'.
  app.allow_windows_style_options(false);
  app.set_version_flag("--version", std::string("orvanel-convert ") + ORVANEL_VERSION);

  CliOptions options;
  bool fast = false;
  bool full = false;
  bool noTable = false;
  bool noSeparators = false;
  bool ignoreProjectOptions = false;
  bool serve = false;
  int port = 8000;
  std::vector<std::string> paths;

  auto* fastFlag = app.add_flag("--fast", fast, "Fast conversion: no links to the glossary");
  auto* fullFlag = app.add_flag("--full", full, "Full conversion (the default)");
  fastFlag->excludes(fullFlag);
  fullFlag->excludes(fastFlag);
  app.add_flag("--make-code-pretty", options.MakeCodePretty,
               "Blank lines after every generated block");
  app.add_flag("--no-table-elements", noTable, "Do not lay blocks out in tables");
  app.add_flag("--no-section-separators", noSeparators,
               "Do not put BeforeSection.htm before each header");
  bool searchIndex = false;
  app.add_flag("--search-index", searchIndex,
               "Also write NAME.search.js, the index of the site's search");
  app.add_flag("--ignore-project-options", ignoreProjectOptions,
               "Ignore the ~PO_ option commands of the source");
  auto* openFlag = app.add_flag("--open", options.Open, "Open DESTINATION/Index.htm when done");
  app.add_flag("--quiet", options.Quiet, "Print nothing but errors and warnings");
  app.add_flag("--warnings-as-errors", options.WarningsAsErrors,
               "Exit with status 1 when the source gave any warning (the pages are still "
               "written)");
  auto* serveFlag =
      app.add_flag("--serve", serve,
                   "Serve DESTINATION on http://127.0.0.1:PORT/ and convert again whenever "
                   "the source, its templates or the site's files change; pages reload "
                   "themselves. Ctrl-C stops");
  app.add_option("--port", port, "The port for --serve (default 8000; 0: any free port)")
      ->check(CLI::Range(0, 65535))
      ->needs(serveFlag);
  serveFlag->excludes(openFlag);
  openFlag->excludes(serveFlag);
  app.add_option("SOURCE DESTINATION", paths, "The source file and the destination folder")
      ->expected(0, -1);

  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForAllHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForVersion& e) {
    return app.exit(e);
  } catch (const CLI::ParseError& e) {
    std::cerr << "orvanel-convert: " << e.what() << "\n" << app.help();
    return kExitUsage;
  }

  options.Fast = fast;
  options.UseTable = !noTable;
  options.UseSectionSep = !noSeparators;
  options.UseProjectOptions = !ignoreProjectOptions;

  CliHost host(options);
  TConverter converter(host);

  if (paths.size() != 2) {
    converter.TakeArguments(static_cast<int>(paths.size()), "", "");
    std::cerr << "orvanel-convert: expected SOURCE and DESTINATION\n" << app.help();
    return kExitUsage;
  }
  converter.TakeArguments(2, paths[0], paths[1]);
  host.PlaceWarningsIn(paths[0]);
  if (!converter.CheckInputs())
    return kExitFailed;
  ConversionOptions conversion;
  conversion.Fast = options.Fast;
  conversion.UseProjectOptions = options.UseProjectOptions;
  conversion.MakeCodePretty = options.MakeCodePretty;
  conversion.UseTableElem = options.UseTable;
  conversion.UseSectionSep = options.UseSectionSep;
  conversion.SearchIndex = searchIndex;
  conversion.OpenIndex = options.Open;

  if (serve) {
#ifdef ORVANEL_SERVE
    ServeSettings settings;
    settings.Source = paths[0];
    settings.Destination = paths[1];
    settings.Port = port;
    const std::string base = RemoveFileExt(FileNameOf(paths[0]));
    settings.ContentPage = base + ".cnt.htm";
    // What a conversion writes is never a change to convert again for: the
    // four pages and the search index.
    settings.Pages = {settings.ContentPage, base + ".toc.htm", base + ".tocbtn.htm",
                      base + ".gls.htm", base + ".search.js"};
    conversion.OpenIndex = false;
    return ServeSite(settings, [&]() {
      host.ResetCounts();
      ServedConversion served;
      // The source may have gone since the last conversion.
      if (!converter.CheckInputs()) {
        served.Failure = host.LastMessage();
        return served;
      }
      const ConversionResult result = converter.Process(conversion);
      host.ClearProgress();
      std::cout.flush();
      if (!result.FilesSaved) {
        served.Failure = FailureText(result, host);
      } else if (options.WarningsAsErrors && host.WarningCount() > 0) {
        served.Failure = WarningsText(host.WarningCount()) + ": " + host.FirstWarning();
      } else {
        served.Good = true;
      }
      return served;
    });
#else
    std::cerr << "orvanel-convert: --serve is not available in this build\n";
    return kExitFailed;
#endif
  }

  const ConversionResult result = converter.Process(conversion);
  // A failure the opener reports later is shown here; the pages are written
  // all the same, so the exit status stays.
  CheckOpeners(true);
  host.ClearProgress();
  std::cout.flush();

  // The window leaves this recorded but unshown; a script deserves a word.
  if (result.Failure == ConversionFailure::OpenFailed) {
    std::cerr << "Error: " << result.FailureDescription;
    if (!result.FailureParameter.empty())
      std::cerr << " \"" << result.FailureParameter << "\"";
    std::cerr << std::endl;
  }
  if (!result.FilesSaved)
    return kExitFailed;
  if (options.WarningsAsErrors && host.WarningCount() > 0) {
    std::cerr << "orvanel-convert: " << WarningsText(host.WarningCount())
              << ", treated as errors (--warnings-as-errors)" << std::endl;
    return kExitFailed;
  }
  return kExitConverted;
}
