// Choosing the source file and the destination folder in the window: the
// standard dialogs behind an interface (tests answer them), the drop target
// for a source file, where the destination is proposed, and the pair kept
// for the next start.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include <wx/dnd.h>

class wxWindow;

class IPathDialogs {
public:
  virtual ~IPathDialogs() = default;
  /// The chosen ".txt" file, or empty when the user cancelled.
  virtual std::string ChooseSourceFile(wxWindow* parent, const std::string& current) = 0;
  /// The chosen folder, or empty when the user cancelled.
  virtual std::string ChooseDestinationFolder(wxWindow* parent, const std::string& current) = 0;
};

/// The toolkit's standard file and folder dialogs.
IPathDialogs& StandardPathDialogs();

/// The destination proposed for a source file given alone: the folder "site"
/// beside it, where the example manual keeps its frame page.
std::string ProposedDestination(const std::string& sourceFile);

/// Whether NAME ends in ".txt" in any letter case.
bool IsTextFileName(const std::string& name);

/// A file dropped on the window: the first ".txt" among them goes to ACCEPT,
/// which says whether it was taken.
class TSourceDropTarget : public wxFileDropTarget {
public:
  explicit TSourceDropTarget(std::function<bool(const std::string&)> accept);
  bool OnDropFiles(wxCoord x, wxCoord y, const wxArrayString& fileNames) override;

private:
  std::function<bool(const std::string&)> accept_;
};

/// The pair chosen last in the window, from the application's settings
/// (wxConfigBase::Get); both empty when none was kept.
struct RememberedPaths {
  std::string Source;
  std::string Destination;
};
RememberedPaths LoadRememberedPaths();
void SaveRememberedPaths(const RememberedPaths& paths);
/// Installs the program's settings file unless one is installed already:
/// $XDG_CONFIG_HOME/orvanel/orvanel.conf (~/.config/orvanel/orvanel.conf); on
/// Windows orvanel\\orvanel.ini in the user's application data, never the
/// registry.
void UseSettingsFile();
