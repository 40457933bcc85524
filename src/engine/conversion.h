// One conversion's passes over a source text: the collection pass fills the
// glossary, the glossary page is written from it, and the content pass
// renders the content, the contents and the level buttons. Free of files:
// the driver reads the inputs and saves the pages.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/glossary.h"
#include "engine/host.h"
#include "engine/html.h"
#include "engine/page_sink.h"
#include "engine/search_index.h"
#include "engine/source_text.h"
#include "lib/mytime.h"

/// The four pages of a site.
struct Pages {
  PageSink Content;
  PageSink TOC;
  PageSink TOCButtons;
  PageSink Glossary;
};

class Conversion {
public:
  /// CONTENT_FILE is the content page's file name, as links name it;
  /// BEFORE_SECTION the separator put before each header.
  Conversion(IConverterHost& host, const ConversionOptions& options, std::string contentFile,
             std::string beforeSection, const bool& abortRequested);
  ~Conversion();

  /// Both passes over SOURCE, appending to PAGES.
  void ProcessSourceLines(const SourceText& source, Pages& pages);

  const Glossary& GlossaryItems() const { return glossary_; }
  int HeaderCount() const { return headerCount_; }
  int MaxOutlineLevel() const { return maxOutlineLevel_; }
  int GlossaryLinkCount() const { return glossaryLinkCount_; }
  int HiddenGlossaryItemCount() const { return hiddenGlossaryItemCount_; }
  /// The search index, when the options or the source asked for one.
  const SearchIndex* Index() const { return searchIndex_.get(); }
  /// The index as a script, after ProcessSourceLines.
  void WriteSearchIndex(PageSink& out) const;
  /// The conversion time so far, from construction.
  const TCrono& Crono() const { return crono_; }

  /// Logs TEXT with "* " in front, about the line being converted (if any).
  void AddLogLine(std::string_view text);

private:
  // --- collection and glossary page (content_pass.cpp) ---------------------------
  void CollectLine(std::string_view line);
  void FinishGlossary();
  void WriteGlossaryFile();
  void WriteGlossaryEntry(int item, html::GlossaryEntryKind kind);
  void RunContentPass(const SourceText& source);
  void ReportProgress(int line, int count, std::size_t bytes);

  // --- command lines (commands.cpp) -------------------------------------------------
  void ProcessLine(std::string_view line);
  void ProcessHeaderCommand(std::string_view line, int command, std::string_view f1,
                            std::string_view f2);
  void ApplyProjectOption(bool& option, std::string_view value);
  bool CheckLineCharacters(std::string_view line);
  void ReferenceBlock(std::string_view text, int sentence, html::ReferenceKind reference,
                      html::LayoutKind kind, bool indent);

  // --- topic groups (topics.cpp) --------------------------------------------------
  struct Group {
    std::vector<std::string_view> Items;
    std::vector<int> Ids;            // text id of each entry (-1: not a glossary text)
    std::vector<std::int32_t> Count; // per text id
  };
  void AddToGroup(Group& group, std::string_view expression);
  void ClearGroup(Group& group);
  bool IsDefinedInGroups(int textId) const;
  void EnterSectionTopic(std::string_view expression);
  void EnterParagraphTopic(std::string_view expression);
  void CountHeader();
  void CountParagraph();
  void CloseParagraphTopics();
  void CloseSectionTopics();
  void CreateRelatedTopicsList(const Group& group, bool indent);

  // --- inline commands and the glossary step (inlines.cpp) -----------------------
  /// TEXT with inline commands, tags and (in a full conversion) glossary
  /// links, appended to OUT.
  void ProcessInlineText(std::string_view text, PageSink& out);
  bool ProcessInlineCommand(std::string_view command, PageSink& out);
  std::size_t EmitGlossaryStep(std::string_view text, std::size_t pos, int found, PageSink& out);
  std::size_t MatchEW(std::string_view text, std::size_t pos);

  html::Style Style() const { return {MakeCodePretty, UseTableElem}; }

  IConverterHost& host_;
  const ConversionOptions options_;
  const std::string contentFile_;
  const std::string beforeSection_;
  const bool& abortRequested_;
  TCrono crono_;
  Pages* pages_ = nullptr;
  int currentLine_ = 0; // 1-based source line being converted; 0 between lines

  // Options the source may change.
  bool MakeCodePretty;
  bool UseTableElem;
  bool UseSectionSep;
  std::string_view EWText;
  bool WantSearchIndex; // decided by the collection pass: the last option command counts

  bool ProcessInline = true;
  bool InCodeBlock = false;
  int headerCount_ = 0;
  int maxOutlineLevel_ = 0;
  int glossaryLinkCount_ = 0;
  int hiddenGlossaryItemCount_ = 0;
  int OutlineLevel = 0;
  std::array<std::string_view, 10> HeaderTitles{};
  int SectionDefinitionCountdown = 0;
  int ParagraphDefinitionCountdown = 0;

  Glossary glossary_;
  std::unique_ptr<SearchIndex> searchIndex_;
  Group sectionItems_;
  Group paragraphItems_;
  std::vector<std::uint32_t> seenStamp_; // per text id, for gathering a group's texts once
  std::uint32_t seenGeneration_ = 0;

  // What the glossary step needs of an expression, by its longest-first
  // position, in one place. Linked is "linked in generation linkGeneration_":
  // clearing every LinkedFlag before a text line is one increment.
  struct LinkRecord {
    int Item;
    int TextId;
    std::uint32_t Linked;
  };
  std::uint32_t linkGeneration_ = 1;
  std::vector<LinkRecord> links_;
  std::unique_ptr<GlossaryCursor> cursor_;
  PageSink scratch_; // a text line's inline result, before it is wrapped
  // The EW text's failure function (linear search for it within a line).
  std::vector<std::uint32_t> ewFailure_;
  std::string_view ewFor_;
  std::size_t ewScan_ = 0, ewState_ = 0, ewNext_ = 0;
  bool ewHave_ = false;
  std::string_view ewLine_;

  // Progress.
  double lastReport_ = 0;
  int lastReportedLine_ = 0;
  int lastTextLine_ = 0;
  std::size_t work_ = 0; // text bytes since the clock was last read
};
