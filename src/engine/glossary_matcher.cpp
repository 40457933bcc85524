#include "engine/glossary_matcher.h"

#include <algorithm>
#include <numeric>

#include "engine/folded.h"
#include "lib/text.h"

GlossaryMatcher::GlossaryMatcher(const TStringList& expressions) {
  const int count = expressions.Count();
  texts_.reserve(static_cast<std::size_t>(count));
  acronym_.reserve(static_cast<std::size_t>(count));
  std::vector<std::string> folded;
  folded.reserve(static_cast<std::size_t>(count));
  std::vector<std::uint32_t> order;
  for (int i = 0; i < count; ++i) {
    texts_.push_back(expressions.Get(i));
    acronym_.push_back(IsAcronym(texts_.back()));
    folded.push_back(Folded(texts_.back()));
    if (!texts_.back().empty())
      order.push_back(static_cast<std::uint32_t>(i));
  }
  // Sorted folded texts share each prefix with their predecessor, so the
  // trie is built along one path; equal texts end at one node, in list order.
  std::sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
    int c = folded[a].compare(folded[b]);
    return c != 0 ? c < 0 : a < b;
  });

  struct Edge {
    std::uint32_t Parent, Node;
    unsigned char Byte;
  };
  std::vector<Edge> edges;
  std::vector<std::pair<std::uint32_t, std::uint32_t>> ends; // node, expression
  std::vector<std::uint32_t> path{0};
  std::uint32_t nodes = 1;
  const std::string* previous = nullptr;
  for (std::uint32_t index : order) {
    const std::string& s = folded[index];
    std::size_t common = 0;
    if (previous) {
      std::size_t limit = std::min(previous->size(), s.size());
      while (common < limit && (*previous)[common] == s[common])
        ++common;
    }
    path.resize(common + 1);
    for (std::size_t d = common; d < s.size(); ++d) {
      edges.push_back({path[d], nodes, static_cast<unsigned char>(s[d])});
      path.push_back(nodes++);
    }
    ends.emplace_back(path[s.size()], index);
    previous = &s;
  }

  childBegin_.assign(nodes + 1, 0);
  for (const Edge& e : edges)
    ++childBegin_[e.Parent + 1];
  std::partial_sum(childBegin_.begin(), childBegin_.end(), childBegin_.begin());
  edgeByte_.resize(edges.size());
  edgeNode_.resize(edges.size());
  std::vector<std::uint32_t> fill(childBegin_.begin(), childBegin_.end() - 1);
  for (const Edge& e : edges) { // creation order keeps each node's bytes increasing
    std::uint32_t at = fill[e.Parent]++;
    edgeByte_[at] = e.Byte;
    edgeNode_[at] = e.Node;
    if (e.Parent == 0)
      rootChild_[e.Byte] = e.Node;
  }

  itemsBegin_.assign(nodes + 1, 0);
  for (const auto& [node, index] : ends)
    ++itemsBegin_[node + 1];
  std::partial_sum(itemsBegin_.begin(), itemsBegin_.end(), itemsBegin_.begin());
  items_.resize(ends.size());
  fill.assign(itemsBegin_.begin(), itemsBegin_.end() - 1);
  for (const auto& [node, index] : ends)
    items_[fill[node]++] = index;
}

std::uint32_t GlossaryMatcher::Child(std::uint32_t node, unsigned char folded) const {
  if (node == 0)
    return rootChild_[folded];
  std::uint32_t b = childBegin_[node], e = childBegin_[node + 1];
  if (e - b <= 8) {
    for (; b < e; ++b)
      if (edgeByte_[b] == folded)
        return edgeNode_[b];
    return 0;
  }
  auto first = edgeByte_.begin() + b, last = edgeByte_.begin() + e;
  auto it = std::lower_bound(first, last, folded);
  return (it != last && *it == folded) ? edgeNode_[static_cast<std::size_t>(it - edgeByte_.begin())]
                                       : 0;
}

int GlossaryMatcher::Find(std::string_view text, std::size_t pos) const {
  path_.clear();
  std::uint32_t node = 0;
  for (std::size_t i = pos; i < text.size(); ++i) {
    node = Child(node, FoldCase(static_cast<unsigned char>(text[i])));
    if (node == 0)
      break;
    if (itemsBegin_[node] != itemsBegin_[node + 1])
      path_.push_back(node);
  }
  if (path_.empty())
    return -1;
  const bool boundary = pos == 0 || !IsWordChar(static_cast<unsigned char>(text[pos - 1]));
  // Every end node's text matches ignoring case. Per node the first item that
  // passes its own rule is that node's best; the answer is the smallest best.
  // Deeper nodes come first, which in longest-first order ends the loop early.
  std::uint32_t best = UINT32_MAX;
  for (auto n = path_.rbegin(); n != path_.rend(); ++n) {
    for (std::uint32_t k = itemsBegin_[*n]; k < itemsBegin_[*n + 1]; ++k) {
      std::uint32_t index = items_[k];
      if (index >= best)
        break;
      bool passes =
          acronym_[index] ? text.compare(pos, texts_[index].size(), texts_[index]) == 0 : boundary;
      if (passes) {
        best = index;
        break;
      }
    }
  }
  return best == UINT32_MAX ? -1 : static_cast<int>(best);
}
