#include "app/Calculation.h"

#include "calc/DecimalSeparator.h"
#include "calc/RateTable.h"
#include "calc/Storage.h"
#include "calc/StrToInt.h"

std::vector<std::pair<std::string, std::string>> CalculateFieldTexts(int duration, std::string_view cameraCountText,
                                                                     std::string_view frameRateText, int frameSize) {
  const TStorageResult result =
      CalculateStorage(duration, cameraCountText, frameRateText, frameSize, RegionalDecimalSeparator());
  std::vector<std::pair<std::string, std::string>> texts;
  texts.reserve(kResultFieldWriteOrder.size());
  for (TResultField field : kResultFieldWriteOrder) texts.emplace_back(std::string(ResultFieldName(field)), result[field]);
  return texts;
}

std::string_view DurationUnit(int duration) { return DurationLookup(duration).Unit; }

std::int32_t TextToInt(std::string_view text) { return StrToInt(text); }
