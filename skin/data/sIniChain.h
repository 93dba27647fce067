#pragma once
// Reading a skin section's key along its PARENTCLASS chain: a key missing from a section is
// looked up in its parent, then the parent's parent, and so on. An integer of -1 and a string of
// "?" count as missing, as skin files have always used them. The chain ends at a section without
// a parent, at one that names itself, at a parent the file does not hold, and at a section the
// walk has already visited (a loop, remembered so that a checker can report it).
//
// The chains are resolved once per key for all sections together (each section inherits what
// its parent resolved), so that reading every key of every section costs time in proportion to
// the file however deep or looping its chains are.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class TMemIniFile;

class TsIniChain {
 public:
  explicit TsIniChain(const TMemIniFile& ini);

  std::optional<std::int32_t> Int(std::string_view section, std::string_view key);
  std::optional<std::string> Str(std::string_view section, std::string_view key);
  std::int32_t Int(std::string_view section, std::string_view key, std::int32_t def) {
    return Int(section, key).value_or(def);
  }
  std::string Str(std::string_view section, std::string_view key, std::string_view def) {
    return Str(section, key).value_or(std::string(def));
  }
  // Booleans: true exactly when the value, upper-cased, is "TRUE".
  bool Bool(std::string_view section, std::string_view key, bool def);

  // True when the chain of `section` comes back to a section it has already passed.
  bool ReachesLoop(std::string_view section) const;

 private:
  enum class TKind { kInt, kStr };
  int Node(std::string_view section) const;
  // For every section, the section whose value of `key` it takes (itself, an ancestor), or -1.
  const std::vector<int>& Providers(std::string_view key, TKind kind);
  bool Present(int node, std::string_view key, TKind kind) const;

  const TMemIniFile& ini_;
  std::vector<std::string> names_;        // the sections, in file order
  std::unordered_map<std::string, int> nodeOfName_;  // upper-cased name -> index in names_
  std::vector<int> parent_;               // next section of the chain, -1 where it ends
  std::vector<bool> reachesLoop_;
  std::unordered_map<std::string, std::vector<int>> intProviders_, strProviders_;
};
