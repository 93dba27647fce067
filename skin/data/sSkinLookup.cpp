#include "skin/data/sSkinLookup.h"

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "framework/core/StrUtils.h"
#include "skin/data/sSkinData.h"

namespace {

// Maps of the arrays: the first section of each upper-cased name, and the first mask or pattern
// of each section and property. Each map remembers the size of the array it was made from.
class TsLookupIndex {
 public:
  TsLookupIndex() {
    sectionCount_ = gd.size();
    for (std::size_t i = 0; i < gd.size(); ++i) sections_.emplace(UpperCase(gd[i].ClassName), static_cast<std::int32_t>(i));
  }
  template <typename Items>
  void AddItems(const Items& items) {
    auto& [count, map] = MapOf(items);
    count = items.size();
    for (std::size_t i = 0; i < items.size(); ++i)
      map.emplace(Key(items[i].ClassName, items[i].PropertyName), static_cast<std::int32_t>(i));
  }
  bool SectionsValid() const { return sectionCount_ == gd.size(); }
  template <typename Items>
  bool ItemsValid(const Items& items) {
    return SectionsValid() && MapOf(items).first == items.size();
  }
  std::int32_t Section(const std::string& upperName) const {
    const auto it = sections_.find(upperName);
    return it == sections_.end() ? -1 : it->second;
  }
  template <typename Items>
  std::int32_t Item(const Items& items, std::string_view upperSection, std::string_view property) {
    auto& map = MapOf(items).second;
    const auto it = map.find(Key(upperSection, property));
    return it == map.end() ? -1 : it->second;
  }

 private:
  using TItemMap = std::pair<std::size_t, std::unordered_map<std::string, std::int32_t>>;
  static std::string Key(std::string_view section, std::string_view property) {
    std::string key(section);
    key += '\n';  // no name holds a line break
    key += property;
    return key;
  }
  TItemMap& MapOf(const TsMaskArray&) { return masks_; }
  TItemMap& MapOf(const TsPatternArray&) { return patterns_; }

  std::size_t sectionCount_ = 0;
  std::unordered_map<std::string, std::int32_t> sections_;
  TItemMap masks_{static_cast<std::size_t>(-1), {}};
  TItemMap patterns_{static_cast<std::size_t>(-1), {}};
};

// The maps of the outermost living TsLookupScope.
std::unique_ptr<TsLookupIndex>& ScopeIndex() {
  static std::unique_ptr<TsLookupIndex> index;
  return index;
}

// Sections already passed by one parent walk: a short list for the usual short chains, one flag
// per section once a chain goes deep.
class TsVisited {
 public:
  bool Insert(std::int32_t index) {
    if (flags_.empty()) {
      for (std::int32_t seen : few_)
        if (seen == index) return false;
      few_.push_back(index);
      if (few_.size() > kFew) {
        flags_.assign(gd.size(), 0);
        for (std::int32_t seen : few_) flags_[static_cast<std::size_t>(seen)] = 1;
      }
      return true;
    }
    char& flag = flags_[static_cast<std::size_t>(index)];
    if (flag != 0) return false;
    flag = 1;
    return true;
  }
  bool Contains(std::int32_t index) const {
    if (flags_.empty()) {
      for (std::int32_t seen : few_)
        if (seen == index) return true;
      return false;
    }
    return index >= 0 && static_cast<std::size_t>(index) < flags_.size() && flags_[static_cast<std::size_t>(index)] != 0;
  }
  bool Deep() const { return !flags_.empty(); }

 private:
  static constexpr std::size_t kFew = 8;
  std::vector<std::int32_t> few_;
  std::vector<char> flags_;
};

std::int32_t ScanSections(const std::string& upperName) {
  for (std::size_t i = 0; i < gd.size(); ++i) {
    const std::string& name = gd[i].ClassName;
    // Upper-casing keeps the length in bytes, so most names are told apart without it.
    if (name.size() == upperName.size() && UpperCase(name) == upperName) return static_cast<std::int32_t>(i);
  }
  return -1;
}

// Shared walk of GetMaskIndex and GetPatternIndex over `items` (ma or pa). A short chain scans
// the arrays; a deep one (or any inside a TsLookupScope) goes through maps, so that a chain of
// any depth costs time in proportion to the skin.
template <typename Items>
std::int32_t FindWithParents(const Items& items, std::int32_t index, std::string_view section,
                             std::string_view property) {
  TsLookupIndex* maps = ScopeIndex().get();
  if (maps != nullptr && !maps->ItemsValid(items)) maps = nullptr;
  std::unique_ptr<TsLookupIndex> ownMaps;
  TsVisited visited;
  std::string name = UpperCase(section);
  while (IsValidSkinIndex(index) && !name.empty()) {
    if (maps != nullptr) {
      if (const std::int32_t found = maps->Item(items, name, property); found >= 0) return found;
    } else {
      for (std::size_t i = 0; i < items.size(); ++i)
        if (items[i].PropertyName == property && items[i].ClassName == name) return static_cast<std::int32_t>(i);
    }
    visited.Insert(index);
    std::string parent = UpperCase(gd[static_cast<std::size_t>(index)].ParentClass);
    if (parent.empty() || parent == name) return -1;
    const std::int32_t parentIndex = maps != nullptr ? maps->Section(parent) : ScanSections(parent);
    if (visited.Contains(parentIndex)) return -1;  // a looping chain ends here
    index = parentIndex;
    name = std::move(parent);
    if (maps == nullptr && visited.Deep()) {
      ownMaps = std::make_unique<TsLookupIndex>();
      ownMaps->AddItems(items);
      maps = ownMaps.get();
    }
  }
  return -1;
}

std::int16_t Index16(std::int32_t index) { return static_cast<std::int16_t>(index); }

}  // namespace

TsLookupScope::TsLookupScope() {
  if (ScopeIndex()) return;
  auto index = std::make_unique<TsLookupIndex>();
  index->AddItems(ma);
  index->AddItems(pa);
  ScopeIndex() = std::move(index);
  owner_ = true;
}

TsLookupScope::~TsLookupScope() {
  if (owner_) ScopeIndex().reset();
}

std::int32_t GetSkinIndex(std::string_view section) {
  const std::string name = UpperCase(section);
  if (const TsLookupIndex* maps = ScopeIndex().get(); maps != nullptr && maps->SectionsValid()) return maps->Section(name);
  return ScanSections(name);
}

std::int32_t GetMaskIndex(std::int32_t index, std::string_view section, std::string_view property) {
  return FindWithParents(ma, index, section, property);
}

std::int32_t GetPatternIndex(std::int32_t index, std::string_view section, std::string_view property) {
  if (sSkinData == nullptr || !sSkinData->Active) return -1;
  return FindWithParents(pa, index, section, property);
}

void InitConstantIndexes() {
  const TsLookupScope scope;
  TConstantSkinData& c = ConstData;
  // Section index and its mask lookup, one row entry at a time.
  auto section = [](const char* name) { return Index16(GetSkinIndex(name)); };
  auto mask = [](std::int16_t sectionIndex, const char* name, const char* property) {
    return Index16(GetMaskIndex(sectionIndex, name, property));
  };

  c.GlobalInfoIndex = section("GLOBALINFO");
  const char* tabs[4] = {"TABTOP", "TABBOTTOM", "TABLEFT", "TABRIGHT"};
  const char* buttons[4] = {"SCROLLBTNTOP", "SCROLLBTNBOTTOM", "SCROLLBTNLEFT", "SCROLLBTNRIGHT"};
  const char* sliders[2] = {"SCROLLSLIDERV", "SCROLLSLIDERH"};
  const char* bars[4] = {"SCROLLBAR1H", "SCROLLBAR1V", "SCROLLBAR2H", "SCROLLBAR2V"};
  for (int i = 0; i < 4; ++i) {
    c.TabIndexes[i] = section(tabs[i]);
    c.TabBorderMasks[i] = mask(c.TabIndexes[i], tabs[i], "BORDERSMASK");
  }
  for (int i = 0; i < 4; ++i) {
    c.ScrollBtnIndexes[i] = section(buttons[i]);
    c.ScrollBtnBorderMasks[i] = mask(c.ScrollBtnIndexes[i], buttons[i], "BORDERSMASK");
    c.ScrollBtnPatterns[i] = mask(c.ScrollBtnIndexes[i], buttons[i], "PATTERN");
    c.ScrollBtnHotPatterns[i] = mask(c.ScrollBtnIndexes[i], buttons[i], "HOTPATTERN");
    c.ScrollBtnGlyphMasks[i] = mask(c.ScrollBtnIndexes[i], buttons[i], "GLYPHMASK");
  }
  for (int i = 0; i < 2; ++i) {
    c.SliderIndexes[i] = section(sliders[i]);
    c.SliderBorderMasks[i] = mask(c.SliderIndexes[i], sliders[i], "BORDERSMASK");
    c.SliderGlyphMasks[i] = mask(c.SliderIndexes[i], sliders[i], "GLYPHMASK");
  }
  // Horizontal first here, unlike the rows above.
  c.SliderPatterns[0] = mask(c.SliderIndexes[1], sliders[1], "PATTERN");
  c.SliderPatterns[1] = mask(c.SliderIndexes[1], sliders[1], "HOTPATTERN");
  c.SliderPatterns[2] = mask(c.SliderIndexes[0], sliders[0], "PATTERN");
  c.SliderPatterns[3] = mask(c.SliderIndexes[0], sliders[0], "HOTPATTERN");
  for (int i = 0; i < 4; ++i) {
    c.ScrollBarIndexes[i] = section(bars[i]);
    c.ScrollBarBorderMasks[i] = mask(c.ScrollBarIndexes[i], bars[i], "BORDERSMASK");
    c.ScrollBarPatterns[i] = mask(c.ScrollBarIndexes[i], bars[i], "PATTERN");
    c.ScrollBarHotPatterns[i] = mask(c.ScrollBarIndexes[i], bars[i], "HOTPATTERN");
  }
  const char* checks[9] = {"BOXCHECKED",   "BOXUNCHECKED",   "BOXGRAYED",     "RADIOCHECKED", "RADIOUNCHECKED",
                           "RADIOGRAYED", "SMALLCHECKED", "SMALLUNCHECKED", "SMALLGRAYED"};
  for (int i = 0; i < 9; ++i) c.CheckMasks[i] = mask(c.GlobalInfoIndex, "GLOBALINFO", checks[i]);
}
