#pragma once
// Text helpers shared by the ini reader, the skin loaders and the controls. Strings are UTF-8.
// Case folding covers ASCII and Cyrillic, the two alphabets the program's texts and skin files use.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

std::string UpperCase(std::string_view text);
bool SameText(std::string_view a, std::string_view b);
// Negative, zero or positive like strcmp, comparing case-insensitively (the order skin names
// are listed in).
int CompareText(std::string_view a, std::string_view b);
std::string Trim(std::string_view text);

// Words are maximal runs of characters not in `separators`; leading, trailing and repeated
// separators give no empty words. Word numbers start at 1; a missing word is empty.
int WordCount(std::string_view text, std::string_view separators);
std::string ExtractWord(int number, std::string_view text, std::string_view separators);

// A decimal integer (optional sign), or hexadecimal with a "0x" or "$" prefix when
// `allowHex`; hexadecimal values wrap to 32 bits as colours written in hex do. Nothing else
// may surround the number. Empty when the text is not such a number or does not fit 32 bits.
std::optional<std::int32_t> ParseInt(std::string_view text, bool allowHex = true);
// As ParseInt with decimals only; throws EConvertError naming the text otherwise.
std::int32_t DecimalStrToInt(std::string_view text);
// A decimal number with "." or "," as the separator.
std::optional<double> ParseFloat(std::string_view text);
