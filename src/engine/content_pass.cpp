// The two passes over the source lines, the glossary's finishing and its
// page, the level buttons, and the progress of the content pass.
#include <algorithm>
#include <string>

#include "engine/conversion.h"

namespace {
bool IsCommandLine(std::string_view line) {
  return line[0] == '~';
}
} // namespace

Conversion::Conversion(IConverterHost& host, const ConversionOptions& options,
                       std::string contentFile, std::string beforeSection,
                       const bool& abortRequested)
    : host_(host), options_(options), contentFile_(std::move(contentFile)),
      beforeSection_(std::move(beforeSection)), abortRequested_(abortRequested),
      MakeCodePretty(options.MakeCodePretty), UseTableElem(options.UseTableElem),
      UseSectionSep(options.UseSectionSep), WantSearchIndex(options.SearchIndex) {
  crono_.Start();
}

Conversion::~Conversion() = default;

void Conversion::AddLogLine(std::string_view text) {
  if (text.empty()) {
    host_.LogLine(std::string(), currentLine_);
    return;
  }
  std::string line;
  line.reserve(text.size() + 2);
  line += "* ";
  line += text;
  host_.LogLine(line, currentLine_);
}

void Conversion::ProcessSourceLines(const SourceText& source, Pages& pages) {
  pages_ = &pages;
  const int count = source.Count();
  for (int i = 0; i < count; ++i) {
    const std::string_view line = source.Line(i);
    if (!line.empty() && IsCommandLine(line)) {
      currentLine_ = i + 1;
      CollectLine(line);
    }
  }
  currentLine_ = 0;
  if (WantSearchIndex)
    searchIndex_ = std::make_unique<SearchIndex>();
  FinishGlossary();
  WriteGlossaryFile();
  AddLogLine("Glossary created.");
  AddLogLine("Processing content...");
  RunContentPass(source);
  if (maxOutlineLevel_ > 0)
    html::OutlineButtons(pages.TOCButtons, maxOutlineLevel_);
}

// Between the passes: sort, resolve the common topics, index.
void Conversion::FinishGlossary() {
  const int count = glossary_.Sort();
  AddLogLine("There are " + std::to_string(count) + " glossary items.");
  glossary_.ResolveCommonTopics();
  AddLogLine("Common glossary expressions are gathered.");
  const bool linking = !options_.Fast;
  glossary_.BuildIndexes(linking);
  linkGeneration_ = 1;
  if (linking) {
    links_.resize(static_cast<std::size_t>(count));
    for (int k = 0; k < count; ++k) {
      const int item = glossary_.ByLengthItem(k);
      links_[static_cast<std::size_t>(k)] = {item, glossary_.TextId(item), 0};
    }
    cursor_ = std::make_unique<GlossaryCursor>(glossary_.Matcher());
  }
}

// Each entry, its common topic, then every entry that names it.
void Conversion::WriteGlossaryFile() {
  const int count = glossary_.Count();
  for (int i = 0; i < count; ++i) {
    WriteGlossaryEntry(i, html::geItem);
    if (const int r = glossary_.Reference(i); r >= 0)
      WriteGlossaryEntry(r, html::geCommon);
    const int id = glossary_.TextId(i);
    for (const int* k = glossary_.RelatedBegin(id); k != glossary_.RelatedEnd(id); ++k)
      WriteGlossaryEntry(*k, html::geRelated);
  }
}

void Conversion::WriteGlossaryEntry(int item, html::GlossaryEntryKind kind) {
  if (glossary_.Hidden(item)) {
    if (kind == html::geItem)
      ++hiddenGlossaryItemCount_;
    return;
  }
  const std::string_view expression = glossary_.Expression(item);
  if (expression.empty()) {
    AddLogLine("Warning: empty bookmark name.");
    return;
  }
  html::GlossaryEntry(pages_->Glossary, Style(), kind, expression, contentFile_);
}

void Conversion::RunContentPass(const SourceText& source) {
  ClearGroup(sectionItems_);
  ClearGroup(paragraphItems_);
  const int count = source.Count();
  for (int i = 0; i < count && !abortRequested_; ++i) {
    const std::string_view line = source.Line(i);
    if (line.empty())
      continue;
    currentLine_ = i + 1;
    if (IsCommandLine(line)) {
      ProcessLine(line);
      continue;
    }
    CloseParagraphTopics();
    // Every LinkedFlag cleared at once: a new generation.
    if (++linkGeneration_ == 0) {
      for (LinkRecord& link : links_)
        link.Linked = 0;
      linkGeneration_ = 1;
    }
    CountParagraph();
    std::string_view text = line;
    if (ProcessInline && !InCodeBlock) {
      scratch_.Clear();
      ProcessInlineText(line, scratch_);
      text = scratch_.View();
    }
    if (searchIndex_)
      searchIndex_->Text(line, ProcessInline && !InCodeBlock);
    if (text.empty())
      AddLogLine("Warning: empty paragraph.");
    else
      html::Paragraph(pages_->Content, Style(), text, html::pkPlain, InCodeBlock);
    if (ParagraphDefinitionCountdown < 1)
      ClearGroup(paragraphItems_);
    currentLine_ = 0;
    ReportProgress(i + 1, count, line.size());
  }
  currentLine_ = 0;
  if (lastTextLine_ > lastReportedLine_) {
    lastReportedLine_ = lastTextLine_;
    host_.Progress({lastTextLine_, count, crono_.Elapsed()});
  }
}

void Conversion::WriteSearchIndex(PageSink& out) const {
  if (searchIndex_)
    searchIndex_->Write(out, contentFile_, glossary_);
}

// After a text line: the first one is reported at once, later ones when the
// interval has passed. The clock is read only every few kilobytes of text.
void Conversion::ReportProgress(int line, int count, std::size_t bytes) {
  lastTextLine_ = line;
  const std::uint32_t interval = options_.ProgressIntervalMs;
  if (interval != 0 && lastReportedLine_ != 0) {
    work_ += bytes + 256;
    if (work_ < 8192)
      return;
    work_ = 0;
    const double now = crono_.Elapsed();
    if ((now - lastReport_) * 1000.0 < interval)
      return;
  }
  lastReport_ = crono_.Elapsed();
  lastReportedLine_ = line;
  host_.Progress({line, count, lastReport_});
}
