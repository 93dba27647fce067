#pragma once
// Finding sections, masks and patterns of the active skin by name. Section names match without
// regard to case; property names are given in upper case and match exactly. A mask or pattern
// that a section lacks is looked for along its ParentClass chain; a chain that comes back to a
// section already visited ends there, as if that section had no parent.
#include <cstdint>
#include <string_view>

// Index in gd of the first section named `section`; -1 when none.
std::int32_t GetSkinIndex(std::string_view section);
// Index in ma of the mask `property` of `section`, with parent fallback through the section at
// `index` (which need not be the named section). -1 for an invalid index or an empty name.
std::int32_t GetMaskIndex(std::int32_t index, std::string_view section, std::string_view property);
// The same in pa; finds nothing while sSkinData is not active (a skin change in progress).
std::int32_t GetPatternIndex(std::int32_t index, std::string_view section, std::string_view property);

// Refreshes ConstData from the active skin.
void InitConstantIndexes();

// While one lives, the lookups above go through maps made once from the arrays as they are at
// its creation, instead of scanning the arrays: a skin change does every control's lookups in
// time proportional to the skin however many sections, masks and parents it has. The arrays
// must not change meanwhile (the lookups notice a change of their sizes and scan again).
// Scopes nest; the outermost one makes the maps.
class TsLookupScope {
 public:
  TsLookupScope();
  ~TsLookupScope();
  TsLookupScope(const TsLookupScope&) = delete;
  TsLookupScope& operator=(const TsLookupScope&) = delete;

 private:
  bool owner_ = false;
};
