#include "skin/data/sSkinLookup.h"

#include <string>
#include <vector>

#include "framework/core/StrUtils.h"
#include "skin/data/sSkinData.h"

namespace {

// Shared walk of GetMaskIndex and GetPatternIndex over `items` (ma or pa).
template <typename Items>
std::int32_t FindWithParents(const Items& items, std::int32_t index, std::string_view section,
                             std::string_view property) {
  std::vector<std::int32_t> visited;
  std::string name = UpperCase(section);
  while (IsValidSkinIndex(index) && !name.empty()) {
    for (std::size_t i = 0; i < items.size(); ++i)
      if (items[i].PropertyName == property && items[i].ClassName == name) return static_cast<std::int32_t>(i);
    visited.push_back(index);
    std::string parent = UpperCase(gd[static_cast<std::size_t>(index)].ParentClass);
    if (parent.empty() || parent == name) return -1;
    const std::int32_t parentIndex = GetSkinIndex(parent);
    for (std::int32_t seen : visited)
      if (seen == parentIndex) return -1;  // a looping chain ends here
    index = parentIndex;
    name = std::move(parent);
  }
  return -1;
}

std::int16_t Index16(std::int32_t index) { return static_cast<std::int16_t>(index); }

}  // namespace

std::int32_t GetSkinIndex(std::string_view section) {
  const std::string name = UpperCase(section);
  for (std::size_t i = 0; i < gd.size(); ++i)
    if (UpperCase(gd[i].ClassName) == name) return static_cast<std::int32_t>(i);
  return -1;
}

std::int32_t GetMaskIndex(std::int32_t index, std::string_view section, std::string_view property) {
  return FindWithParents(ma, index, section, property);
}

std::int32_t GetPatternIndex(std::int32_t index, std::string_view section, std::string_view property) {
  if (sSkinData == nullptr || !sSkinData->Active) return -1;
  return FindWithParents(pa, index, section, property);
}

void InitConstantIndexes() {
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
