#pragma once
// The window's way into the storage calculation (calc/): the result texts by field name, the
// unit of a duration and the integer conversion of the input edits.
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// The result texts for the window's inputs as (field name, text) pairs in the order the window
// writes them. Raises EConvertError for an input text that is not a number.
std::vector<std::pair<std::string, std::string>> CalculateFieldTexts(int duration, std::string_view cameraCountText,
                                                                     std::string_view frameRateText, int frameSize);

// The unit of a duration ("кб", "Мб", "Гб", "Тб").
std::string_view DurationUnit(int duration);

// The integer conversion of the input edits; EConvertError "'<text>' is not a valid integer
// value" for anything else.
std::int32_t TextToInt(std::string_view text);
