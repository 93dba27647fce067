// The two number syntaxes of skin sections and the mask line: any text either parses or throws
// EConvertError, and parsed values obey their ranges.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "framework/core/Exceptions.h"
#include "framework/core/StrUtils.h"
#include "skin/data/sSkinData.h"
#include "skin/data/sSkinFolder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  try {
    const TsMaskLine line = ParseMaskLine(text);
    if (line.ImageCount < 1 || line.MaskType < 0 || line.BorderWidth < 0) std::abort();
  } catch (const EConvertError&) {
  }
  try {
    TsGradArray steps;
    PrepareGradArray(text, steps);
    if (steps.size() != static_cast<std::size_t>(WordCount(text, ";") / 5)) std::abort();
  } catch (const EConvertError&) {
  }
  try {
    SplitFontColors(text);
  } catch (const EConvertError&) {
  }
  if (auto v = ParseInt(text)) {
    if (ParseInt(std::to_string(*v)) != v) std::abort();
  }
  ParseFloat(text);
  UpperCase(text);
  return 0;
}
