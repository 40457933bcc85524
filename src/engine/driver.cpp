// The conversion driver: input checks, output names, templates, the two
// passes, saving the four files and the summary.
#include <cstdint>
#include <memory>

#include "engine/conversion.h"
#include "engine/converter.h"
#include "lib/dialogs.h"
#include "lib/error.h"
#include "lib/file.h"
#include "lib/mymath.h"
#include "lib/replace_files.h"
#include "lib/text.h"

namespace {

constexpr const char* kUnit = "Main";
constexpr std::uint64_t kMaxSourceSize = 10000000;

} // namespace

std::string ProgressCaption(const ConversionProgress& progress) {
  return "Conversion progress: " + std::to_string(progress.Line) + " lines from " +
         std::to_string(progress.LineCount) +
         ". Time: " + DurationText(0, "/", ".", "hh:nn:ss", progress.ElapsedSeconds);
}

TConverter::TConverter(IConverterHost& host) : host_(host) {}

TConverter::~TConverter() = default;

void TConverter::AddLogLine(const std::string& text) {
  host_.LogLine(text.empty() ? std::string() : "* " + text, 0);
}

void TConverter::TakeArguments(int paramCount, const std::string& source,
                               const std::string& destination) {
  if (paramCount != 2) {
    AddLogLine("Warning: there is no source file or destination directory.");
    return;
  }
  ChoosePaths(source, destination);
}

void TConverter::ChoosePaths(const std::string& source, const std::string& destination) {
  sourceFileName_ = FullPathName(source);
  destinationDir_ = FullPathName(destination);
  AddLogLine("Source file: \"" + sourceFileName_ + "\".");
  // A missing source reads as size 0 here; the buttons refuse it later.
  const std::uint64_t size = GetFileSize(sourceFileName_);
  AddLogLine("Source file size is " + FormatThousands(static_cast<std::int64_t>(size)) +
             " characters.");
  AddLogLine("Destination directory: \"" + destinationDir_ + "\".");
  AddLogLine("");
}

bool TConverter::CheckInputs() {
  if (!PathExists(sourceFileName_) || !DirectoryExists(destinationDir_)) {
    ShowErrorMessage("Invalid source file or destination directory.");
    return false;
  }
  return true;
}

ConversionResult TConverter::Process(const ConversionOptions& options) {
  // The frame is kept by hand here: the early refusals of the extension and
  // size checks deliberately hand no status over.
  FunStatContext.BeginFunction(kUnit, "TMainForm::Process", __LINE__);
  TFunStatContext local;
  ConversionResult result;
  auto fail = [&](ConversionFailure failure, int line, const std::string& description,
                  const std::string& parameter1, const std::string& parameter2,
                  std::uint32_t error) {
    local.SetStatus(fsError, kUnit, "TMainForm::Process", line, description, parameter1, parameter2,
                    error);
    result.Failure = failure;
    result.FailureDescription = description;
    result.FailureParameter = parameter1;
  };

  try {
    if (!SameText(FileExtOf(sourceFileName_), ".txt")) {
      ShowErrorMessage("Invalid source file extension.");
      result.Failure = ConversionFailure::Refused;
      return result;
    }
    if (GetFileSize(sourceFileName_) > kMaxSourceSize) {
      ShowErrorMessage("Source file too big.");
      result.Failure = ConversionFailure::Refused;
      return result;
    }
  } catch (...) {
    const CaughtException caught = DescribeCurrentException();
    fail(ConversionFailure::Exception, __LINE__, caught.Description, caught.File, caught.Line, 0);
    FunStatContext = local;
    return result;
  }

  std::unique_ptr<Conversion> conversion;
  bool skipSummary = false;
  try {
    const std::string base = RemoveFileExt(FileNameOf(sourceFileName_));
    const std::string d = IncludePathDelimiter(destinationDir_);
    const std::string s = FilePathOf(sourceFileName_);
    const std::string contentFileName = d + base + ".cnt.htm";
    const std::string tocFileName = d + base + ".toc.htm";
    const std::string buttonsFileName = d + base + ".tocbtn.htm";
    const std::string glossaryFileName = d + base + ".gls.htm";
    const std::string searchFileName = d + base + ".search.js";

    if (SameText(IncludePathDelimiter(s), d)) {
      fail(ConversionFailure::SameDirectories, __LINE__,
           "Source and destination directories are the same.", s, destinationDir_, 0);
      // Refused without a word would leave the user guessing; say why.
      ShowErrorMessage("Source and destination directories are the same.");
      FunStatContext = local;
      return result;
    }

    // The old pages stay until the new ones replace them whole.

    AddLogLine("Pre-processing...");

    Pages pages;
    // Pages grow with the source; room for their usual size up front saves
    // copying them as they grow.
    const std::size_t sourceSize = static_cast<std::size_t>(GetFileSize(sourceFileName_));
    pages.Content.Reserve(4 * sourceSize + 65536);
    pages.TOC.Reserve(sourceSize / 4 + 65536);
    pages.Glossary.Reserve(sourceSize + 65536);
    const struct {
      const char* name;
      PageSink& page;
    } templates[] = {{"BeforeContent.htm", pages.Content},
                     {"BeforeTOC.htm", pages.TOC},
                     {"BeforeTOCButtons.htm", pages.TOCButtons},
                     {"BeforeGlossary.htm", pages.Glossary}};
    for (const auto& t : templates)
      t.page.Append(SourceText::Load(s + t.name).Joined());
    std::string beforeSection = SourceText::Load(s + "BeforeSection.htm").Joined();

    // The conversion's clock starts here.
    conversion = std::make_unique<Conversion>(host_, options, FileNameOf(contentFileName),
                                              std::move(beforeSection), AbortRequested);
    const SourceText source = SourceText::Load(sourceFileName_);
    result.LineCount = source.Count();
    conversion->ProcessSourceLines(source, pages);

    if (AbortRequested) {
      result.Aborted = true;
      AddLogLine("User abort.");
    }

    // All pages or none: a site is never left half old, half new. The search
    // index belongs to the pages it points into, so it is saved with them.
    auto page = [](const std::string& name, const PageSink& sink) {
      return TFileContent{name, sink.Data(), sink.Size()};
    };
    std::vector<TFileContent> files = {
        page(contentFileName, pages.Content), page(tocFileName, pages.TOC),
        page(buttonsFileName, pages.TOCButtons), page(glossaryFileName, pages.Glossary)};
    PageSink searchIndex;
    if (conversion->Index()) {
      conversion->WriteSearchIndex(searchIndex);
      files.push_back(page(searchFileName, searchIndex));
    }
    const bool saved = ReplaceFiles(files);
    if (saved) {
      result.FilesWritten = {contentFileName, tocFileName, buttonsFileName, glossaryFileName};
      if (conversion->Index())
        result.FilesWritten.push_back(searchFileName);
    }
    if (saved) {
      result.FilesSaved = true;
      AddLogLine("File has been processed.");
      if (options.OpenIndex) {
        const std::string index = d + "Index.htm";
        RunExistingFile(index);
        if (FunStatContext.Status > fsWarning) {
          fail(ConversionFailure::OpenFailed, __LINE__, "Failed to run file.", index, "",
               FunStatContext.SystemErrorCode);
          skipSummary = true;
        }
      }
    } else {
      result.Failure = ConversionFailure::SaveFailed;
      result.FailureDescription = FunStatContext.Description;
      result.FailureParameter = FunStatContext.Parameter1;
      AddLogLine("Failed to process file.");
    }
  } catch (...) {
    const CaughtException caught = DescribeCurrentException();
    local.SetStatus(fsError, kUnit, "TMainForm::Process", __LINE__, caught.Description, caught.File,
                    caught.Line, 0);
    result.Failure = ConversionFailure::Exception;
    result.FailureDescription = caught.Description;
  }

  if (conversion) {
    result.HeaderCount = conversion->HeaderCount();
    result.GlossaryItemCount = conversion->GlossaryItems().Count();
    result.GlossaryLinkCount = conversion->GlossaryLinkCount();
    result.HiddenGlossaryItemCount = conversion->HiddenGlossaryItemCount();
  }
  if (!skipSummary) {
    if (local.Status > fsWarning) {
      local.SetShowContext(kUnit, "", __LINE__);
      local.Show("Failed to process file.");
    }
    local.Reset(fsPerfect);

    try {
      AddLogLine("There are " + std::to_string(result.HeaderCount) + " headers.");
      AddLogLine("There are " + std::to_string(result.GlossaryLinkCount) +
                 " links in the content (to glossary items).");
      AddLogLine("There are " + std::to_string(result.HiddenGlossaryItemCount) +
                 " hidden glossary items.");
      const double elapsed = conversion ? conversion->Crono().Elapsed() : 0.0;
      AddLogLine("Time: " + DurationText(0, "/", ".", "hh:nn:ss", elapsed));
    } catch (...) {
      // The summary is informative only; a failure here must not hide the
      // conversion's own outcome.
    }
  }

  FunStatContext = local;
  return result;
}
