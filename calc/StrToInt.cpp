#include "calc/StrToInt.h"

#include <string>

#include "framework/core/Exceptions.h"

namespace {

int DigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return 99;
}

}  // namespace

std::string ShownInMessage(std::string_view text) {
  std::size_t end = 0;
  std::size_t characters = 0;
  while (end < text.size() && characters < kLongestShownText) {
    // One UTF-8 character: its lead byte and the continuation bytes after it.
    ++end;
    while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) ++end;
    ++characters;
  }
  if (end >= text.size()) return std::string(text);
  return std::string(text.substr(0, end)) + "...";
}

std::int32_t StrToInt(std::string_view text) {
  const auto fail = [&]() -> std::int32_t {
    throw EConvertError("'" + ShownInMessage(text) + "' is not a valid integer value");
  };
  std::size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  int base = 10;
  if (i < text.size() && text[i] == '$') {
    base = 16;
    ++i;
  } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
    base = 16;
    i += 2;
  }
  if (i == text.size()) return fail();

  // Stop as soon as the magnitude leaves the range: no overflow, however long the text.
  const std::uint64_t limit = base == 16 ? 0xFFFFFFFFu : negative ? 0x80000000u : 0x7FFFFFFFu;
  std::uint64_t magnitude = 0;
  for (; i < text.size(); ++i) {
    const int digit = DigitValue(text[i]);
    if (digit >= base) return fail();
    magnitude = magnitude * static_cast<unsigned>(base) + static_cast<unsigned>(digit);
    if (magnitude > limit) return fail();
  }
  // Two's complement in 32 bits, so that "-2147483648" and "$80000000" need no special case.
  const auto bits = static_cast<std::uint32_t>(magnitude);
  return static_cast<std::int32_t>(negative ? 0u - bits : bits);
}
