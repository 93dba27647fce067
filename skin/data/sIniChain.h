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
  // Sections are nodes by their position in the file.
  int Node(std::string_view section);
  // For every section, the section whose value of `upperKey` it takes (itself, an ancestor), or -1.
  const std::vector<int>& Providers(const std::string& upperKey, TKind kind);
  bool Present(int node, const std::string& upperKey, TKind kind) const;

  const TMemIniFile& ini_;
  std::size_t count_ = 0;                 // sections of the file
  std::vector<int> parent_;               // next section of the chain, -1 where it ends
  std::string lastSection_;               // the section asked for last (a reader asks for one
  int lastNode_ = -1;                     // section's keys in a row)
  std::vector<bool> reachesLoop_;
  std::unordered_map<std::string, std::vector<int>> intProviders_, strProviders_;
};
