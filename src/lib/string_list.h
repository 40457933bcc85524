// Ordered list of byte strings, each with one attached 32-bit value.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class TStringList {
public:
  int Count() const { return static_cast<int>(items_.size()); }
  void Clear() { items_.clear(); }
  /// Appends at the end with the attached value; returns the new index.
  int Add(const std::string& text, std::uint32_t object = 0);
  const std::string& Get(int index) const { return items_.at(index).Text; }
  const std::string& operator[](int index) const { return Get(index); }
  /// Replaces the text; the attached value stays.
  void Put(int index, const std::string& text) { items_.at(index).Text = text; }
  std::uint32_t GetObject(int index) const { return items_.at(index).Object; }
  void PutObject(int index, std::uint32_t object) { items_.at(index).Object = object; }

  /// Index of the first entry equal to TEXT ignoring ASCII case, or -1.
  int IndexOf(const std::string& text) const;
  /// Stable sort by the case-insensitive comparator.
  void Sort();
  /// Stable sort by LESS.
  void CustomSort(const std::function<bool(const std::string&, const std::string&)>& less);
  /// Appends all entries of OTHER, texts and values.
  void AddStrings(const TStringList& other);
  /// For a list kept sorted: inserts TEXT at its sorted place unless an
  /// equal text (ignoring case) is already held. True when inserted.
  bool AddSortedUnique(const std::string& text);

  /// Replaces the content with the lines of BYTES: CR LF, a lone CR and a
  /// lone LF each end a line; a last line without a break still counts; a
  /// NUL byte ends the text.
  void SetText(const std::string& bytes);
  /// Loads a file as SetText does; throws TOrvanelError when it cannot be read.
  void LoadFromFile(const std::string& fileName);
  /// Every entry followed by CR LF.
  std::string Text() const;

private:
  struct Entry {
    std::string Text;
    std::uint32_t Object;
  };
  std::vector<Entry> items_;
};
