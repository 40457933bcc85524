#include "app/path_choice.h"

#include <wx/config.h>
#include <wx/dirdlg.h>
#include <wx/fileconf.h>
#include <wx/filedlg.h>
#include <wx/stdpaths.h>

#include "app/wx_text.h"
#include "lib/file.h"
#include "lib/text.h"

namespace {

class TStandardPathDialogs : public IPathDialogs {
public:
  std::string ChooseSourceFile(wxWindow* parent, const std::string& current) override {
    wxFileDialog dialog(parent, "Open source file", ToWx(FilePathOf(current)),
                        ToWx(FileNameOf(current)), "Text files (*.txt)|*.txt;*.TXT",
                        wxFD_OPEN | wxFD_FILE_MUST_EXIST);
    return dialog.ShowModal() == wxID_OK ? FromWx(dialog.GetPath()) : std::string();
  }
  std::string ChooseDestinationFolder(wxWindow* parent, const std::string& current) override {
    wxDirDialog dialog(parent, "Destination folder", ToWx(current), wxDD_DEFAULT_STYLE);
    return dialog.ShowModal() == wxID_OK ? FromWx(dialog.GetPath()) : std::string();
  }
};

const char* const SourceKey = "/LastPair/Source";
const char* const DestinationKey = "/LastPair/Destination";

} // namespace

IPathDialogs& StandardPathDialogs() {
  static TStandardPathDialogs dialogs;
  return dialogs;
}

std::string ProposedDestination(const std::string& sourceFile) {
  return IncludePathDelimiter(FilePathOf(FullPathName(sourceFile))) + "site";
}

bool IsTextFileName(const std::string& name) {
  return SameText(FileExtOf(name), ".txt");
}

TSourceDropTarget::TSourceDropTarget(std::function<bool(const std::string&)> accept)
    : accept_(std::move(accept)) {}

bool TSourceDropTarget::OnDropFiles(wxCoord, wxCoord, const wxArrayString& fileNames) {
  for (const wxString& name : fileNames) {
    const std::string file = FromWx(name);
    if (IsTextFileName(file))
      return accept_(file);
  }
  return false;
}

RememberedPaths LoadRememberedPaths() {
  RememberedPaths paths;
  if (wxConfigBase* config = wxConfigBase::Get()) {
    paths.Source = FromWx(config->Read(SourceKey, wxString()));
    paths.Destination = FromWx(config->Read(DestinationKey, wxString()));
  }
  return paths;
}

void SaveRememberedPaths(const RememberedPaths& paths) {
  if (wxConfigBase* config = wxConfigBase::Get()) {
    config->Write(SourceKey, ToWx(paths.Source));
    config->Write(DestinationKey, ToWx(paths.Destination));
    // Kept even when the program is ended at once later.
    config->Flush();
  }
}

void UseSettingsFile() {
  if (wxConfigBase::Get(false))
    return;
  // The freedesktop.org folders rather than a dot file in the home folder.
  wxStandardPaths::Get().SetFileLayout(wxStandardPaths::FileLayout_XDG);
  wxConfigBase::Set(new wxFileConfig("orvanel", wxEmptyString, wxEmptyString, wxEmptyString,
                                     wxCONFIG_USE_LOCAL_FILE | wxCONFIG_USE_SUBDIR));
}
