#pragma once
// Reading a skin section's key along its PARENTCLASS chain: a key missing from a section is
// looked up in its parent, then the parent's parent, and so on. An integer of -1 and a string of
// "?" count as missing, as skin files have always used them. A chain that comes back to a
// section already visited ends there (and is remembered, so that a checker can report it).
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

class TMemIniFile;

class TsIniChain {
 public:
  explicit TsIniChain(const TMemIniFile& ini) : ini_(ini) {}

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

  bool LoopFound() const { return loopFound_; }
  void ResetLoopFound() { loopFound_ = false; }

 private:
  template <typename Read>
  auto Walk(std::string_view section, Read read) -> decltype(read(section));

  const TMemIniFile& ini_;
  bool loopFound_ = false;
};
