// Until the storage calculation joins the build, the window converts its inputs (so that bad
// numbers are reported as they will be) and shows no amounts.
#include "app/Calculation.h"

#include <array>
#include <cctype>
#include <limits>

#include "framework/core/Exceptions.h"

namespace {
constexpr std::array<std::string_view, 7> kUnits = {"кб", "Мб", "Мб", "Гб", "Гб", "Гб", "Тб"};
constexpr std::array<std::string_view, 20> kWriteOrder = {
    "Edit8", "Edit10", "Edit18", "Edit1", "Edit2", "Edit3", "Edit4", "Edit5", "Edit6", "Edit7",
    "Edit9", "Edit11", "Edit12", "Edit13", "Edit14", "Edit15", "Edit16", "Edit17", "Edit19", "sEdit2"};
}  // namespace

std::int32_t TextToInt(std::string_view text) {
  const auto fail = [&]() -> std::int32_t {
    throw EConvertError("'" + std::string(text) + "' is not a valid integer value");
  };
  std::size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  if (i == text.size()) return fail();
  std::int64_t value = 0;
  for (; i < text.size(); ++i) {
    if (std::isdigit(static_cast<unsigned char>(text[i])) == 0) return fail();
    value = value * 10 + (text[i] - '0');
    if (value > std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1) return fail();
  }
  if (negative) value = -value;
  if (value > std::numeric_limits<std::int32_t>::max()) return fail();
  return static_cast<std::int32_t>(value);
}

std::string_view DurationUnit(int duration) { return kUnits.at(static_cast<std::size_t>(duration)); }

std::vector<std::pair<std::string, std::string>> CalculateFieldTexts(int, std::string_view cameraCountText,
                                                                     std::string_view frameRateText, int) {
  TextToInt(cameraCountText);
  TextToInt(frameRateText);
  std::vector<std::pair<std::string, std::string>> texts;
  for (std::string_view field : kWriteOrder) texts.emplace_back(std::string(field), "?");
  return texts;
}
