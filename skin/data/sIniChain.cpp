#include "skin/data/sIniChain.h"

#include "framework/core/IniFiles.h"
#include "framework/core/StringList.h"
#include "framework/core/StrUtils.h"

namespace {

// The chains form a graph in which every section has at most one successor, so each walk ends
// either where a chain ends or in a cycle. Walk visits every section once: it follows a chain
// from an unvisited section until it meets a section already resolved, the end of the chain,
// or a section of the walk itself (a cycle), then resolves the walk backwards.
//   onCycle(first, last): sections walk[first..last] form a cycle, in chain order;
//   onTail(node, next): `node` continues into `next` (a resolved section, or -1).
template <typename OnCycle, typename OnTail>
void Walk(const std::vector<int>& parent, OnCycle onCycle, OnTail onTail) {
  const std::size_t n = parent.size();
  enum : char { kNew, kOnWalk, kDone };
  std::vector<char> state(n, kNew);
  std::vector<std::size_t> positionOnWalk(n, 0);
  std::vector<int> walk;
  for (std::size_t start = 0; start < n; ++start) {
    if (state[start] == kDone) continue;
    walk.clear();
    int at = static_cast<int>(start);
    while (at >= 0 && state[static_cast<std::size_t>(at)] == kNew) {
      state[static_cast<std::size_t>(at)] = kOnWalk;
      positionOnWalk[static_cast<std::size_t>(at)] = walk.size();
      walk.push_back(at);
      at = parent[static_cast<std::size_t>(at)];
    }
    if (at >= 0 && state[static_cast<std::size_t>(at)] == kOnWalk) {
      const std::size_t first = positionOnWalk[static_cast<std::size_t>(at)];
      onCycle(walk, first);
      for (std::size_t i = first; i < walk.size(); ++i) state[static_cast<std::size_t>(walk[i])] = kDone;
      walk.resize(first);
    }
    for (std::size_t i = walk.size(); i-- > 0;) {
      onTail(walk[i], at);
      state[static_cast<std::size_t>(walk[i])] = kDone;
      at = walk[i];
    }
  }
}

}  // namespace

TsIniChain::TsIniChain(const TMemIniFile& ini) : ini_(ini) {
  TStringList sections;
  ini.ReadSections(sections);
  count_ = sections.Items().size();
  parent_.assign(count_, -1);
  const std::string parentKey = "PARENTCLASS";
  for (std::size_t i = 0; i < count_; ++i) {
    const std::string* parent = ini.ValueAt(static_cast<int>(i), parentKey);
    if (parent == nullptr || parent->empty()) continue;
    const int next = ini.SectionPosition(*parent);
    // A section that names itself ends its chain, in whatever case it writes its name.
    if (next != static_cast<int>(i)) parent_[i] = next;
  }
  reachesLoop_.assign(count_, false);
  Walk(
      parent_,
      [&](const std::vector<int>& walk, std::size_t first) {
        for (std::size_t i = first; i < walk.size(); ++i) reachesLoop_[static_cast<std::size_t>(walk[i])] = true;
      },
      [&](int node, int next) {
        reachesLoop_[static_cast<std::size_t>(node)] = next >= 0 && reachesLoop_[static_cast<std::size_t>(next)];
      });
}

int TsIniChain::Node(std::string_view section) {
  if (lastNode_ < 0 || section != lastSection_) {
    lastSection_ = std::string(section);
    lastNode_ = ini_.SectionPosition(section);
  }
  return lastNode_;
}

bool TsIniChain::Present(int node, const std::string& upperKey, TKind kind) const {
  const std::string* value = ini_.ValueAt(node, upperKey);
  if (value == nullptr) return false;
  if (kind == TKind::kInt) return ParseInt(*value).value_or(-1) != -1;
  return *value != "?";
}

const std::vector<int>& TsIniChain::Providers(const std::string& upperKey, TKind kind) {
  auto& cache = kind == TKind::kInt ? intProviders_ : strProviders_;
  const auto [it, added] = cache.try_emplace(upperKey);
  std::vector<int>& providers = it->second;
  if (!added) return providers;
  providers.assign(count_, -1);
  std::vector<char> present(count_);
  for (std::size_t i = 0; i < count_; ++i) present[i] = Present(static_cast<int>(i), upperKey, kind);
  Walk(
      parent_,
      [&](const std::vector<int>& walk, std::size_t first) {
        // A section of a cycle takes the first section holding the key in the cycle's order
        // from itself on: going round twice backwards finds it for every member in one pass.
        const std::size_t length = walk.size() - first;
        int nearest = -1;
        for (std::size_t i = 2 * length; i-- > 0;) {
          const int member = walk[first + i % length];
          if (present[static_cast<std::size_t>(member)]) nearest = member;
          if (i < length) providers[static_cast<std::size_t>(member)] = nearest;
        }
      },
      [&](int node, int next) {
        providers[static_cast<std::size_t>(node)] =
            present[static_cast<std::size_t>(node)] ? node : next >= 0 ? providers[static_cast<std::size_t>(next)] : -1;
      });
  return providers;
}

std::optional<std::int32_t> TsIniChain::Int(std::string_view section, std::string_view key) {
  const int node = Node(section);
  if (node < 0) return std::nullopt;
  const std::string upperKey = UpperCase(key);
  const int from = Providers(upperKey, TKind::kInt)[static_cast<std::size_t>(node)];
  if (from < 0) return std::nullopt;
  return ParseInt(*ini_.ValueAt(from, upperKey));
}

std::optional<std::string> TsIniChain::Str(std::string_view section, std::string_view key) {
  const int node = Node(section);
  if (node < 0) return std::nullopt;
  const std::string upperKey = UpperCase(key);
  const int from = Providers(upperKey, TKind::kStr)[static_cast<std::size_t>(node)];
  if (from < 0) return std::nullopt;
  return *ini_.ValueAt(from, upperKey);
}

bool TsIniChain::Bool(std::string_view section, std::string_view key, bool def) {
  if (auto v = Str(section, key)) return UpperCase(*v) == "TRUE";
  return def;
}

bool TsIniChain::ReachesLoop(std::string_view section) const {
  const int node = ini_.SectionPosition(section);
  return node >= 0 && reachesLoop_[static_cast<std::size_t>(node)];
}
