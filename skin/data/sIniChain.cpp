#include "skin/data/sIniChain.h"

#include <vector>

#include "framework/core/IniFiles.h"
#include "framework/core/StrUtils.h"

template <typename Read>
auto TsIniChain::Walk(std::string_view section, Read read) -> decltype(read(section)) {
  std::vector<std::string> visited;
  std::string current(section);
  while (true) {
    if (auto value = read(current)) return value;
    std::string parent = ini_.ReadString(current, "PARENTCLASS", "");
    if (parent.empty() || parent == current) return std::nullopt;
    visited.push_back(UpperCase(current));
    const std::string upperParent = UpperCase(parent);
    for (const auto& seen : visited) {
      if (seen == upperParent) {
        loopFound_ = true;
        return std::nullopt;
      }
    }
    current = std::move(parent);
  }
}

std::optional<std::int32_t> TsIniChain::Int(std::string_view section, std::string_view key) {
  return Walk(section, [&](std::string_view s) -> std::optional<std::int32_t> {
    const std::int32_t v = ini_.ReadInteger(s, key, -1);
    if (v == -1) return std::nullopt;
    return v;
  });
}

std::optional<std::string> TsIniChain::Str(std::string_view section, std::string_view key) {
  return Walk(section, [&](std::string_view s) -> std::optional<std::string> {
    std::string v = ini_.ReadString(s, key, "?");
    if (v == "?") return std::nullopt;
    return v;
  });
}

bool TsIniChain::Bool(std::string_view section, std::string_view key, bool def) {
  if (auto v = Str(section, key)) return UpperCase(*v) == "TRUE";
  return def;
}
