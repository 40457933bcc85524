// The string list of the class library: texts with attached values.
#include "string_list.h"

#include <algorithm>

#include "error.h"
#include "file.h"
#include "platform/platform.h"
#include "text.h"

int TStringList::Add(const std::string& text, std::uint32_t object) {
  items_.push_back(Entry{text, object});
  return Count() - 1;
}

int TStringList::IndexOf(const std::string& text) const {
  for (std::size_t i = 0; i < items_.size(); ++i) {
    if (SameText(items_[i].Text, text))
      return static_cast<int>(i);
  }
  return -1;
}

void TStringList::Sort() {
  std::stable_sort(items_.begin(), items_.end(),
                   [](const Entry& a, const Entry& b) { return CompareText(a.Text, b.Text) < 0; });
}

void TStringList::CustomSort(
    const std::function<bool(const std::string&, const std::string&)>& less) {
  std::stable_sort(items_.begin(), items_.end(),
                   [&less](const Entry& a, const Entry& b) { return less(a.Text, b.Text); });
}

void TStringList::AddStrings(const TStringList& other) {
  if (&other == this) {
    const std::vector<Entry> copy = items_;
    items_.insert(items_.end(), copy.begin(), copy.end());
    return;
  }
  items_.insert(items_.end(), other.items_.begin(), other.items_.end());
}

bool TStringList::AddSortedUnique(const std::string& text) {
  auto at = std::lower_bound(
      items_.begin(), items_.end(), text,
      [](const Entry& e, const std::string& t) { return CompareText(e.Text, t) < 0; });
  if (at != items_.end() && CompareText(at->Text, text) == 0)
    return false;
  items_.insert(at, Entry{text, 0});
  return true;
}

void TStringList::SetText(const std::string& bytes) {
  items_.clear();
  const std::size_t end = std::min(bytes.find('\0'), bytes.size());
  std::size_t start = 0;
  std::size_t i = 0;
  while (i < end) {
    const char c = bytes[i];
    if (c == '\r' || c == '\n') {
      items_.push_back(Entry{bytes.substr(start, i - start), 0});
      if (c == '\r' && i + 1 < end && bytes[i + 1] == '\n')
        ++i;
      ++i;
      start = i;
    } else {
      ++i;
    }
  }
  if (start < end)
    items_.push_back(Entry{bytes.substr(start, end - start), 0});
}

void TStringList::LoadFromFile(const std::string& fileName) {
  SetText(LoadFileBytes(fileName));
}

std::string TStringList::Text() const {
  std::string result;
  for (const Entry& e : items_) {
    result += e.Text;
    result += "\r\n";
  }
  return result;
}
