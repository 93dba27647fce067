#pragma once
// The run-time library's text-to-integer conversion, as the input edits use it.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// The longest value an error message repeats whole, in characters: a longer one (a pasted page
// of text) is cut to this many with "..." after them, so that the error box fits the screen.
inline constexpr std::size_t kLongestShownText = 40;

// The text as an error message shows it: whole up to kLongestShownText characters (UTF-8),
// otherwise its first kLongestShownText characters and "...".
std::string ShownInMessage(std::string_view text);

// Accepts leading blanks (spaces only), an optional "+" or "-", then decimal digits, or
// hexadecimal digits after "$", "0x" or "0X", and nothing after the digits. Decimal values must
// lie in the 32-bit signed range; hexadecimal ones may use all 32 bits and are read as two's
// complement ("$FFFFFFFF" is -1). Anything else, including an empty text, throws EConvertError
// "'<text>' is not a valid integer value" (the text as ShownInMessage gives it).
std::int32_t StrToInt(std::string_view text);
