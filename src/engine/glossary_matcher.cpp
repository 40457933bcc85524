#include "engine/glossary_matcher.h"

#include <algorithm>
#include <climits>
#include <numeric>
#include <unordered_map>

#include "lib/text.h"

namespace {
constexpr std::int32_t kNone = INT32_MAX;
}

// Aho-Corasick over reversed patterns: fed a text from right to left, its
// state after the byte at p names the longest pattern that starts at p.
class ReverseAutomaton {
public:
  ReverseAutomaton(const std::vector<std::pair<std::string_view, std::int32_t>>& patterns,
                   bool fold)
      : fold_(fold) {
    std::size_t bytes = 0;
    for (const auto& p : patterns)
      bytes += p.first.size();
    edges_.reserve(bytes);
    fail_.push_back(0);
    value_.push_back(kNone);
    for (const auto& [text, value] : patterns) {
      std::uint32_t node = 0;
      for (std::size_t i = text.size(); i-- > 0;) {
        const unsigned char c = Byte(text[i]);
        auto [it, added] = edges_.try_emplace(Key(node, c), static_cast<std::uint32_t>(fail_.size()));
        if (added) {
          fail_.push_back(0);
          value_.push_back(kNone);
          order_.push_back({node, c, it->second});
        }
        node = it->second;
      }
      value_[node] = std::min(value_[node], value);
    }
    // Breadth first: a node's failure target is shallower, so it is final
    // before the node needs it. Nodes were created depth by depth per
    // pattern only, so sort the creation records by depth first.
    std::vector<std::uint32_t> depth(fail_.size(), 0);
    for (const Edge& e : order_)
      depth[e.Child] = depth[e.Parent] + 1;
    std::stable_sort(order_.begin(), order_.end(),
                     [&](const Edge& a, const Edge& b) { return depth[a.Child] < depth[b.Child]; });
    for (const Edge& e : order_) {
      if (e.Parent == 0) {
        fail_[e.Child] = 0;
      } else {
        std::uint32_t f = fail_[e.Parent];
        for (;;) {
          auto it = edges_.find(Key(f, e.Byte));
          if (it != edges_.end()) {
            f = it->second;
            break;
          }
          if (f == 0)
            break;
          f = fail_[f];
        }
        fail_[e.Child] = f;
      }
      // The longest pattern ending here: this node's own, else its failure's.
      if (value_[e.Child] == kNone)
        value_[e.Child] = value_[fail_[e.Child]];
    }
  }

  /// Feeds TEXT[FROM..] from its end; calls TAKE(p, value) for each p, from
  /// the last position down to FROM.
  template <class Take> void Sweep(std::string_view text, std::size_t from, Take take) const {
    std::uint32_t node = 0;
    for (std::size_t p = text.size(); p-- > from;) {
      const unsigned char c = Byte(text[p]);
      for (;;) {
        auto it = edges_.find(Key(node, c));
        if (it != edges_.end()) {
          node = it->second;
          break;
        }
        if (node == 0)
          break;
        node = fail_[node];
      }
      take(p, value_[node]);
    }
  }

private:
  struct Edge {
    std::uint32_t Parent;
    unsigned char Byte;
    std::uint32_t Child;
  };
  unsigned char Byte(char c) const {
    const auto u = static_cast<unsigned char>(c);
    return fold_ ? FoldCase(u) : u;
  }
  static std::uint64_t Key(std::uint32_t node, unsigned char c) {
    return (static_cast<std::uint64_t>(node) << 8) | c;
  }

  bool fold_;
  std::unordered_map<std::uint64_t, std::uint32_t> edges_;
  std::vector<Edge> order_;
  std::vector<std::uint32_t> fail_;
  std::vector<std::int32_t> value_;
};

GlossaryMatcher::GlossaryMatcher(std::vector<std::string_view> expressions)
    : texts_(std::move(expressions)) {
  const std::size_t count = texts_.size();
  acronym_.reserve(count);
  std::vector<std::uint32_t> order;
  for (std::size_t i = 0; i < count; ++i) {
    acronym_.push_back(IsAcronym(texts_[i]));
    if (texts_[i].empty())
      continue;
    order.push_back(static_cast<std::uint32_t>(i));
    const auto first = static_cast<unsigned char>(texts_[i][0]);
    startsFolded_[FoldCase(first)] = true;
    if (acronym_[i])
      startsAcronym_[first] = true;
  }
  // In folded order the texts share each prefix with their predecessor, so
  // the trie is built along one path; equal texts end at one node, in list
  // order. CompareText orders by the folded bytes.
  std::sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
    const int c = CompareText(texts_[a], texts_[b]);
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
  std::string_view previous;
  for (std::uint32_t index : order) {
    const std::string_view s = texts_[index];
    std::size_t common = 0;
    const std::size_t limit = std::min(previous.size(), s.size());
    while (common < limit && FoldCase(static_cast<unsigned char>(previous[common])) ==
                                 FoldCase(static_cast<unsigned char>(s[common])))
      ++common;
    path.resize(common + 1);
    for (std::size_t d = common; d < s.size(); ++d) {
      edges.push_back({path[d], nodes, FoldCase(static_cast<unsigned char>(s[d]))});
      path.push_back(nodes++);
    }
    ends.emplace_back(path[s.size()], index);
    previous = s;
  }

  childBegin_.assign(nodes + 1, 0);
  for (const Edge& e : edges)
    ++childBegin_[e.Parent + 1];
  std::partial_sum(childBegin_.begin(), childBegin_.end(), childBegin_.begin());
  edgeByte_.resize(edges.size());
  edgeNode_.resize(edges.size());
  std::vector<std::uint32_t> fill(childBegin_.begin(), childBegin_.end() - 1);
  for (const Edge& e : edges) { // creation order keeps each node's bytes increasing
    const std::uint32_t at = fill[e.Parent]++;
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
  // Items at one node came in sorted order (index breaks ties), so each
  // node's list is ascending.
}

GlossaryMatcher::~GlossaryMatcher() = default;

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

// The first item of NODE, in list order, that passes its own rule, or -1.
int GlossaryMatcher::BestAtNode(std::uint32_t node, std::string_view text, std::size_t pos,
                                bool boundary, std::size_t& steps) const {
  for (std::uint32_t k = itemsBegin_[node]; k < itemsBegin_[node + 1]; ++k) {
    const std::uint32_t index = items_[k];
    ++steps;
    if (!acronym_[index]) {
      if (boundary)
        return static_cast<int>(index);
      continue;
    }
    const std::string_view t = texts_[index];
    steps += t.size();
    if (text.compare(pos, t.size(), t) == 0)
      return static_cast<int>(index);
  }
  return -1;
}

int GlossaryMatcher::FindInTrie(std::string_view text, std::size_t pos,
                                std::size_t& budget) const {
  const auto first = static_cast<unsigned char>(text[pos]);
  const bool boundary = pos == 0 || !IsWordChar(static_cast<unsigned char>(text[pos - 1]));
  if (!(boundary ? startsFolded_[FoldCase(first)] : startsAcronym_[first]))
    return -1;
  // Every end node on the path matches ignoring case; a deeper node's items
  // are longer, so they come first in longest-first order: the deepest node
  // with an item that passes its rule gives the answer.
  std::size_t steps = 0;
  int best = -1;
  std::uint32_t node = 0;
  for (std::size_t i = pos; i < text.size(); ++i) {
    node = Child(node, FoldCase(static_cast<unsigned char>(text[i])));
    if (node == 0)
      break;
    if (++steps > budget)
      return kOverBudget;
    if (itemsBegin_[node] != itemsBegin_[node + 1]) {
      const int found = BestAtNode(node, text, pos, boundary, steps);
      if (found >= 0)
        best = found;
    }
  }
  if (steps > budget)
    return kOverBudget;
  budget -= steps;
  return best;
}

void GlossaryMatcher::Sweep(std::string_view text, std::size_t from,
                            std::vector<std::int32_t>& best) const {
  if (!folded_) {
    std::vector<std::pair<std::string_view, std::int32_t>> folded, exact;
    for (std::size_t i = 0; i < texts_.size(); ++i) {
      if (texts_[i].empty())
        continue;
      (acronym_[i] ? exact : folded).emplace_back(texts_[i], static_cast<std::int32_t>(i));
    }
    folded_ = std::make_unique<ReverseAutomaton>(folded, true);
    exact_ = std::make_unique<ReverseAutomaton>(exact, false);
  }
  if (best.size() < text.size())
    best.resize(text.size());
  folded_->Sweep(text, from, [&](std::size_t p, std::int32_t value) {
    const bool boundary = p == 0 || !IsWordChar(static_cast<unsigned char>(text[p - 1]));
    best[p] = boundary ? value : kNone;
  });
  exact_->Sweep(text, from, [&](std::size_t p, std::int32_t value) {
    const std::int32_t b = std::min(best[p], value);
    best[p] = b == kNone ? -1 : b;
  });
}
