// The conversion driver: input checks, output names, templates, the two
// passes, saving the four files and the summary.
#include <cstdint>

#include "engine/converter.h"
#include "engine/glossary_matcher.h"
#include "lib/dialogs.h"
#include "lib/error.h"
#include "lib/file.h"
#include "lib/mymath.h"
#include "lib/platform/platform.h"
#include "lib/replace_files.h"
#include "lib/text.h"

namespace {

constexpr const char* kUnit = "Main";
constexpr std::uint64_t kMaxSourceSize = 10000000;

} // namespace

TConverter::TConverter(IConverterHost& host) : host_(host) {}

TConverter::~TConverter() = default;

void TConverter::AddLogLine(const std::string& text) {
  host_.LogLine(text.empty() ? std::string() : "* " + text);
}

void TConverter::TakeArguments(int paramCount, const std::string& source,
                               const std::string& destination) {
  if (paramCount != 2) {
    AddLogLine("Warning: there is no source file or destination directory.");
    return;
  }
  SourceFileName = FullPathName(source);
  DestinationDir = FullPathName(destination);
  AddLogLine("Source file: \"" + SourceFileName + "\".");
  // A missing source reads as size 0 here; the buttons refuse it later.
  const std::uint64_t size = GetFileSize(SourceFileName);
  AddLogLine("Source file size is " + FormatThousands(static_cast<std::int64_t>(size)) +
             " characters.");
  AddLogLine("Destination directory: \"" + DestinationDir + "\".");
  AddLogLine("");
}

bool TConverter::CheckInputs() {
  if (!PathExists(SourceFileName) || !DirectoryExists(DestinationDir)) {
    ShowErrorMessage("Invalid source file or destination directory.");
    return false;
  }
  return true;
}

void TConverter::Process() {
  // The frame is kept by hand here: the early refusals of the extension and
  // size checks deliberately hand no status over.
  FunStatContext.BeginFunction(kUnit, "TMainForm::Process", __LINE__);
  TFunStatContext local;

  ProcessInline = true;
  InCodeBlock = false;
  HeaderCount = 0;
  MaxOutlineLevel = 0;
  GlossaryLinkCount = 0;
  HiddenGlossaryItemCount = 0;
  OutlineLevel = 0;
  SectionDefinitionCountdown = 0;
  ParagraphDefinitionCountdown = 0;
  FilesSaved = false;

  try {
    if (!SameText(FileExtOf(SourceFileName), ".txt")) {
      ShowErrorMessage("Invalid source file extension.");
      return;
    }
    if (GetFileSize(SourceFileName) > kMaxSourceSize) {
      ShowErrorMessage("Source file too big.");
      return;
    }
  } catch (...) {
    const CaughtException caught = DescribeCurrentException();
    local.SetStatus(fsError, kUnit, "TMainForm::Process", __LINE__, caught.Description, caught.File,
                    caught.Line, 0);
    FunStatContext = local;
    return;
  }

  TStringList lines;
  bool skipSummary = false;
  try {
    const std::string base = RemoveFileExt(FileNameOf(SourceFileName));
    const std::string d = IncludePathDelimiter(DestinationDir);
    const std::string s = FilePathOf(SourceFileName);
    ContentFileName = d + base + ".cnt.htm";
    const std::string tocFileName = d + base + ".toc.htm";
    const std::string buttonsFileName = d + base + ".tocbtn.htm";
    const std::string glossaryFileName = d + base + ".gls.htm";

    if (SameText(IncludePathDelimiter(s), d)) {
      local.SetStatus(fsError, kUnit, "TMainForm::Process", __LINE__,
                      "Source and destination directories are the same.", s, DestinationDir, 0);
      // Refused without a word would leave the user guessing; say why.
      ShowErrorMessage("Source and destination directories are the same.");
      FunStatContext = local;
      return;
    }

    // The old pages stay until the new ones replace them whole.

    AddLogLine("Pre-processing...");

    MakeCodePretty = host_.MakeCodePrettyChecked();
    UseTableElem = host_.UseTableChecked();
    UseSectionSep = host_.UseSectionSepChecked();
    EWText.clear();

    const struct {
      const char* name;
      TMemoryStorage& storage;
    } templates[] = {{"BeforeContent.htm", ContentStorage},
                     {"BeforeTOC.htm", TOCStorage},
                     {"BeforeTOCButtons.htm", TOCButtonsStorage},
                     {"BeforeGlossary.htm", GlossaryStorage}};
    for (const auto& t : templates) {
      lines.LoadFromFile(s + t.name);
      Append(t.storage, lines.Text());
    }

    GlossaryItems = std::make_unique<TStringList>();
    GlossaryItemsByLength = std::make_unique<TStringList>();
    SectionDefinedItems = std::make_unique<TStringList>();
    ParagraphDefinedItems = std::make_unique<TStringList>();
    BeforeSectionLines = std::make_unique<TStringList>();
    BeforeSectionLines->LoadFromFile(s + "BeforeSection.htm");

    Crono.Start();

    lines.LoadFromFile(SourceFileName);

    ProcessSourceLines(lines);

    if (AbortRequested)
      AddLogLine("User abort.");

    // All four pages or none: a site is never left half old, half new.
    auto page = [](const std::string& name, const TMemoryStorage& storage) {
      return TFileContent{name, static_cast<const char*>(storage.Data),
                          static_cast<std::size_t>(storage.Size)};
    };
    const bool saved = ReplaceFiles(
        {page(ContentFileName, ContentStorage), page(tocFileName, TOCStorage),
         page(buttonsFileName, TOCButtonsStorage), page(glossaryFileName, GlossaryStorage)});
    if (saved) {
      FilesSaved = true;
      AddLogLine("File has been processed.");
      if (OpenIndexAfterSave) {
        const std::string index = d + "Index.htm";
        RunExistingFile(index);
        if (FunStatContext.Status > fsWarning) {
          local.SetStatus(fsError, kUnit, "TMainForm::Process", __LINE__, "Failed to run file.",
                          index, "", FunStatContext.SystemErrorCode);
          skipSummary = true;
        }
      }
    } else {
      AddLogLine("Failed to process file.");
    }
  } catch (...) {
    const CaughtException caught = DescribeCurrentException();
    local.SetStatus(fsError, kUnit, "TMainForm::Process", __LINE__, caught.Description, caught.File,
                    caught.Line, 0);
  }

  if (!skipSummary) {
    if (local.Status > fsWarning) {
      local.SetShowContext(kUnit, "", __LINE__);
      local.Show("Failed to process file.");
    }
    local.Reset(fsPerfect);

    try {
      AddLogLine("There are " + std::to_string(HeaderCount) + " headers.");
      AddLogLine("There are " + std::to_string(GlossaryLinkCount) +
                 " links in the content (to glossary items).");
      AddLogLine("There are " + std::to_string(HiddenGlossaryItemCount) +
                 " hidden glossary items.");
      AddLogLine("Time: " + DurationText(0, "/", ".", "hh:nn:ss", Crono.Elapsed()));
    } catch (...) {
      // The summary is informative only; a failure here must not hide the
      // conversion's own outcome.
    }
  }

  FunStatContext = local;
}

bool SaveFile(const TMemoryStorage& storage, const std::string& fileName) {
  StatusFrame frame(kUnit, "SaveFile", __LINE__);
  bool result = false;
  plat::FileHandle file = plat::InvalidFile;
  frame.Run(__LINE__, [&] {
    plat::SetLastError(plat::ErrorSuccess);
    file = plat::CreateAlways(fileName);
    if (LastCreateFailed() || file == plat::InvalidFile) {
      frame.Record(fsError, __LINE__, "Failed to save.", fileName, "", plat::GetLastError());
      return;
    }
    plat::SetLastError(plat::ErrorSuccess);
    const bool written =
        plat::WriteFile(file, storage.Data, static_cast<std::size_t>(storage.Size));
    if (LastCallFailed() || !written) {
      frame.Record(fsError, __LINE__, "Failed to save.", fileName, "", plat::GetLastError());
      return;
    }
    result = true;
  });
  if (file != plat::InvalidFile) {
    plat::CloseFile(file);
    // A file cut short by a full disk or a size limit must not pass for a
    // finished page.
    if (!result)
      plat::DeleteFile(fileName);
  }
  return result;
}
