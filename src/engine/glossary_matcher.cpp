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
        auto [it, added] =
            edges_.try_emplace(Key(node, c), static_cast<std::uint32_t>(fail_.size()));
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

  // Folded common prefix of two texts.
  auto common = [](std::string_view a, std::string_view b) {
    const std::size_t limit = std::min(a.size(), b.size());
    std::size_t n = 0;
    while (n < limit &&
           FoldCase(static_cast<unsigned char>(a[n])) == FoldCase(static_cast<unsigned char>(b[n])))
      ++n;
    return n;
  };

  // Nodes only as deep as a text shares its prefix with another, plus one;
  // the rest of a text is a tail compared in one go. Texts equal ignoring
  // case form one group with one end.
  struct Edge {
    std::uint32_t Parent, Node;
    unsigned char Byte;
  };
  std::vector<Edge> edges;
  std::vector<std::pair<std::uint32_t, std::uint32_t>> ends; // node, expression
  std::vector<std::uint32_t> path{0};
  std::uint32_t nodes = 1;
  std::vector<std::uint32_t> tailOf{0};
  for (std::size_t g = 0; g < order.size();) {
    const std::string_view s = texts_[order[g]];
    std::size_t groupEnd = g + 1;
    while (groupEnd < order.size() && SameText(texts_[order[groupEnd]], s))
      ++groupEnd;
    const std::size_t before = g > 0 ? common(texts_[order[g - 1]], s) : 0;
    const std::size_t after = groupEnd < order.size() ? common(s, texts_[order[groupEnd]]) : 0;
    const std::size_t depth = std::min(s.size(), std::max(before, after) + 1);
    path.resize(std::min(before, depth) + 1);
    for (std::size_t d = path.size() - 1; d < depth; ++d) {
      edges.push_back({path[d], nodes, FoldCase(static_cast<unsigned char>(s[d]))});
      path.push_back(nodes++);
      tailOf.push_back(0);
    }
    const std::uint32_t at = path[depth];
    if (depth == s.size()) {
      for (std::size_t k = g; k < groupEnd; ++k)
        ends.emplace_back(at, order[k]);
    } else {
      Tail tail;
      tail.Rest = s.substr(depth);
      tail.ItemsBegin = static_cast<std::uint32_t>(tailItems_.size());
      for (std::size_t k = g; k < groupEnd; ++k)
        tailItems_.push_back(order[k]);
      tail.ItemsEnd = static_cast<std::uint32_t>(tailItems_.size());
      tails_.push_back(tail);
      tailOf[at] = static_cast<std::uint32_t>(tails_.size());
    }
    g = groupEnd;
  }

  std::vector<std::uint32_t> childBegin(nodes + 1, 0);
  for (const Edge& e : edges)
    ++childBegin[e.Parent + 1];
  std::partial_sum(childBegin.begin(), childBegin.end(), childBegin.begin());
  edges_.resize(edges.size());
  std::vector<std::uint32_t> fill(childBegin.begin(), childBegin.end() - 1);
  for (const Edge& e : edges) { // creation order keeps each node's bytes increasing
    edges_[fill[e.Parent]++] = e.Node << 8 | e.Byte;
    if (e.Parent == 0)
      rootChild_[e.Byte] = e.Node;
  }

  std::vector<std::uint32_t> itemsBegin(nodes + 1, 0);
  for (const auto& [node, index] : ends)
    ++itemsBegin[node + 1];
  std::partial_sum(itemsBegin.begin(), itemsBegin.end(), itemsBegin.begin());
  items_.resize(ends.size());
  fill.assign(itemsBegin.begin(), itemsBegin.end() - 1);
  for (const auto& [node, index] : ends)
    items_[fill[node]++] = index;

  nodes_.resize(nodes + 1);
  for (std::uint32_t n = 0; n <= nodes; ++n)
    nodes_[n] = {childBegin[n], itemsBegin[n], n < nodes ? tailOf[n] : 0};
  // Items at one node came in sorted order (index breaks ties), so each
  // node's list is ascending.
}

GlossaryMatcher::~GlossaryMatcher() = default;

inline std::uint32_t GlossaryMatcher::Child(std::uint32_t node, unsigned char folded) const {
  if (node == 0)
    return rootChild_[folded];
  const std::uint32_t* b = edges_.data() + nodes_[node].ChildBegin;
  const std::uint32_t* e = edges_.data() + nodes_[node + 1].ChildBegin;
  if (e - b > 8)
    b = std::lower_bound(b, e, folded,
                         [](std::uint32_t edge, unsigned char c) { return (edge & 0xFF) < c; });
  for (; b != e; ++b)
    if ((*b & 0xFF) == folded)
      return *b >> 8;
    else if ((*b & 0xFF) > folded)
      return 0;
  return 0;
}

// The first of ITEMS, in list order, that passes its own rule, or -1.
inline int GlossaryMatcher::BestOf(const std::uint32_t* items, const std::uint32_t* end,
                                   std::string_view text, std::size_t pos, bool boundary,
                                   std::size_t& steps) const {
  for (; items != end; ++items) {
    const std::uint32_t index = *items;
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

int GlossaryMatcher::FindInTrie(std::string_view text, std::size_t pos, std::size_t& budget) const {
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
    const Node& at = nodes_[node];
    const std::uint32_t itemsEnd = nodes_[node + 1].ItemsBegin;
    if (at.ItemsBegin != itemsEnd) {
      const int found = BestOf(items_.data() + at.ItemsBegin, items_.data() + itemsEnd, text, pos,
                               boundary, steps);
      if (found >= 0)
        best = found;
    }
    if (const std::uint32_t t = at.Tail) {
      // Nothing grows from a tail: compare the rest at once, then stop.
      const Tail& tail = tails_[t - 1];
      const std::size_t from = i + 1;
      steps += tail.Rest.size();
      if (text.size() - from >= tail.Rest.size() &&
          SameText(text.substr(from, tail.Rest.size()), tail.Rest)) {
        const int found = BestOf(tailItems_.data() + tail.ItemsBegin,
                                 tailItems_.data() + tail.ItemsEnd, text, pos, boundary, steps);
        if (found >= 0)
          best = found;
      }
      break;
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
