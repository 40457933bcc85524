// The conversion engine: one converter owns the whole conversion state and
// every operation of a conversion. It knows nothing of any window toolkit;
// it reaches its front end only through IConverterHost.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "lib/memory_storage.h"
#include "lib/mytime.h"
#include "lib/string_list.h"

class GlossaryMatcher;

/// What the converter needs from the front end that drives it.
class IConverterHost {
public:
  virtual ~IConverterHost() = default;
  /// Appends one line to the log ("* " already in front, or empty).
  virtual void LogLine(const std::string& line) = 0;
  virtual void SetProgressCaption(const std::string& caption) = 0;
  /// Lets pending user events run (abort, close, menus).
  virtual void ProcessMessages() = 0;
  // The option check boxes, read when asked.
  virtual bool UseProjectOptionsChecked() = 0;
  virtual bool MakeCodePrettyChecked() = 0;
  virtual bool UseTableChecked() = 0;
  virtual bool UseSectionSepChecked() = 0;
};

/// Layout kinds of WrapInLayoutTable.
enum LayoutKind : int { lkHeader = 1, lkCommon = 3, lkWarn = 4, lkMore = 5 };
enum ParagraphKind { pkPlain, pkCaption };
enum ReferenceKind { rkMoreInformation, rkAlsoSee };

class TConverter {
public:
  explicit TConverter(IConverterHost& host);
  ~TConverter();
  TConverter(const TConverter&) = delete;
  TConverter& operator=(const TConverter&) = delete;

  // --- front-end entry points -------------------------------------------
  /// The first activation's reading of the arguments: with exactly two,
  /// makes them absolute and logs them with the source size; else warns.
  void TakeArguments(int paramCount, const std::string& source, const std::string& destination);
  /// The conversion buttons' validity check: shows "Invalid source file or
  /// destination directory." and returns false when an input is missing.
  bool CheckInputs();
  /// Aborts a running conversion between two lines (and any later one).
  void RequestAbort() { AbortRequested = true; }

  // --- driver -----------------------------------------------------------
  void Process();
  void AddLogLine(const std::string& text);

  // --- content pass and glossary file --------------------------------------
  void ProcessSourceLines(TStringList& lines);
  void WriteGlossaryEntry(int index, int kind);
  int GetReferenceIndex(int index) const;
  void SetReferenceIndex(int index, int value);
  bool GetLinkedFlag(int index) const;
  void SetLinkedFlag(int index, bool on);
  bool GetHiddenFlag(int index) const;

  // --- command lines -------------------------------------------------------
  void ProcessLine(const std::string& line, bool collectOnly);
  bool CheckLineCharacters(const std::string& line, bool report);
  /// Head = TEXT before its first "|", tail = after it; no "|": TEXT and "".
  static void SplitAtBar(const std::string& text, std::string& head, std::string& tail);

  // --- glossary --------------------------------------------------------------
  void RegisterGlossaryItem(const std::string& line, const std::string& expression,
                            const std::string& commonTopic, bool hidden);
  void EnterSectionTopic(const std::string& expression);
  void EnterParagraphTopic(const std::string& expression);
  void CountHeader();
  void CountParagraph();
  void CloseParagraphTopics();
  void CloseSectionTopics();

  // --- block layouts -----------------------------------------------------
  std::string MakePretty(const std::string& html) const;
  std::string MakeParagraph(const std::string& text, ParagraphKind kind);
  std::string MakeTitleParagraph(const std::string& text) const;
  std::string MakeTopicReference(const std::string& topic, ReferenceKind kind);
  std::string MakeUrlReference(const std::string& url, ReferenceKind kind) const;
  std::string MakeWarningParagraph(const std::string& text);
  std::string MakeNoteParagraph(const std::string& text);
  std::string WrapInLayoutTable(const std::string& html, int kind, bool indent) const;
  std::string BeginCodeBlock(bool indent);
  std::string EndCodeBlock(bool indent);
  std::string MakeHeaderBookmark(int level) const;
  std::string MakeGlossaryBookmark(const std::string& expression);
  std::string MakeAnchor(const std::string& bookmark);
  std::string MakeHeaderParagraph();
  void AddContentsEntry();

  // --- inline commands ------------------------------------------------------
  std::string ProcessInlineText(const std::string& text);
  std::string ProcessInlineCommand(const std::string& command);
  std::string MakePicture(const std::string& fileName) const;

  // --- glossary linking -----------------------------------------------------
  /// Tries the glossary step at POS (0-based) of LINE; appends to OUT and
  /// returns the number of bytes consumed, 0 when nothing matched.
  std::size_t MatchGlossary(const std::string& line, std::size_t pos, std::string& out);
  std::string MakeBookmarkLink(const std::string& text, const std::string& bookmark);
  std::string MakeContentLink(const std::string& text, const std::string& bookmark);
  static std::string MakeDefinition(const std::string& text);
  static std::string MakeEWDefinition(const std::string& text);

  // --- related and common topics -----------------------------------------
  std::string CreateRelatedTopicsList(const TStringList& group, bool indent);
  std::string MakeTopicsBlock(const TStringList& list, const std::string& captionSeveral,
                              const std::string& captionOne, bool indent);

  // --- conversion state ----------------------------------------------------
  bool AbortRequested = false;
  TCrono Crono;
  bool FastConversion = false;
  bool MakeCodePretty = false;
  bool UseTableElem = false;
  bool UseSectionSep = false;
  std::string EWText;
  bool ProcessInline = false;
  bool InCodeBlock = false;
  std::string SourceFileName;
  std::string DestinationDir;
  std::string ContentFileName;
  TMemoryStorage ContentStorage;
  TMemoryStorage TOCStorage;
  TMemoryStorage TOCButtonsStorage;
  TMemoryStorage GlossaryStorage;
  std::unique_ptr<TStringList> BeforeSectionLines;
  std::int32_t HeaderCount = 0;
  std::int32_t MaxOutlineLevel = 0;
  std::int32_t GlossaryLinkCount = 0;
  std::int32_t HiddenGlossaryItemCount = 0;
  std::int32_t OutlineLevel = 0;
  std::array<std::string, 10> HeaderTitles;
  std::unique_ptr<TStringList> GlossaryItems;
  std::unique_ptr<TStringList> GlossaryItemsByLength;
  std::unique_ptr<TStringList> SectionDefinedItems;
  std::int32_t SectionDefinitionCountdown = 0;
  std::unique_ptr<TStringList> ParagraphDefinedItems;
  std::int32_t ParagraphDefinitionCountdown = 0;

  // --- front-end settings and outcome (not part of the conversion state) -----
  /// When false, the Index.htm step is skipped and counts as a success.
  bool OpenIndexAfterSave = true;
  /// True once the four files of the last Process were written whole.
  bool FilesSaved = false;

private:
  IConverterHost& host_;
  // Speed-ups that leave the output unchanged; see the .cpp files.
  std::unique_ptr<GlossaryMatcher> matcher_;

  // --- content pass (content_pass.cpp) -------------------------------------
  void ResetIndexes();
  void FinishGlossary();
  /// Builds the text ids, the related-items index, the matcher and the group
  /// indexes from the finished glossary.
  void BuildIndexes();
  /// BuildIndexes when the glossary lists no longer fit the indexes.
  void EnsureIndexes();
  void WriteGlossaryFile();
  void RunContentPass(TStringList& lines);
  void AppendOutlineButtons();
  /// Id of TEXT's case-folded form among the finished glossary texts, or -1.
  int TextIdOf(const std::string& text) const;

  // --- command lines (commands.cpp) ----------------------------------------
  /// AddText, throwing when the storage recorded a failure.
  static void Append(TMemoryStorage& storage, const std::string& text);
  void Emit(const std::string& html);
  void EmitBlock(const std::string& html, int kind, bool indent);
  void ProcessHeaderCommand(const std::string& line, int command, const std::string& f1,
                            const std::string& f2);
  bool DispatchParameterCommand(const std::string& line, std::size_t nameLength,
                                const std::string& f1, const std::string& f2);
  bool DispatchBareCommand(const std::string& line);
  void ApplyProjectOption(bool& option, const std::string& value);

  // --- topic groups (glossary.cpp) -------------------------------------------
  /// Per finished glossary text id, how many entries of a group hold it. The
  /// converter changes the groups only through AddToGroup and ClearGroup; a
  /// group list whose count no longer fits its index is indexed again.
  struct GroupIndex {
    std::vector<int> Ids;            // text id of each group entry (-1: not a glossary text)
    std::vector<std::int32_t> Count; // per text id
  };
  void AddToGroup(TStringList& group, GroupIndex& index, const std::string& expression);
  void ClearGroup(TStringList& group, GroupIndex& index);
  void RebuildGroupIndex(const TStringList& group, GroupIndex& index);
  /// Whether item ITEM's text is held by the section or the paragraph group.
  bool IsDefinedInGroups(int item);

  // LinkedFlag is "linked in generation linkGeneration_": clearing every flag
  // before a text line is one increment.
  std::uint32_t linkGeneration_ = 1;
  std::vector<std::uint32_t> linkedInGeneration_;
  // Registration: case-folded texts stored so far (duplicate rule).
  std::unordered_set<std::string> storedTexts_;
  int storedTextCount_ = 0; // GlossaryItems entries reflected in storedTexts_
  // The finished glossary: an id per distinct case-folded expression.
  std::unordered_map<std::string, int> textIds_;
  std::vector<int> itemTextId_;      // per GlossaryItems index
  std::vector<int> firstItemOfText_; // per text id: first entry with that text
  // Per text id: the entries whose common topic has that text, in list order.
  std::vector<int> relatedBegin_;
  std::vector<int> relatedItems_;
  std::vector<int> byLengthItem_; // GlossaryItemsByLength position -> GlossaryItems index
  GroupIndex sectionIndex_;
  GroupIndex paragraphIndex_;
};

/// Writes the storage's whole content to FILE_NAME in one write.
bool SaveFile(const TMemoryStorage& storage, const std::string& fileName);
