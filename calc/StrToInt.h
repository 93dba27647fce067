#pragma once
// The run-time library's text-to-integer conversion, as the input edits use it.
#include <cstdint>
#include <string_view>

// Accepts leading blanks (spaces only), an optional "+" or "-", then decimal digits, or
// hexadecimal digits after "$", "0x" or "0X", and nothing after the digits. Decimal values must
// lie in the 32-bit signed range; hexadecimal ones may use all 32 bits and are read as two's
// complement ("$FFFFFFFF" is -1). Anything else, including an empty text, throws EConvertError
// "'<text>' is not a valid integer value".
std::int32_t StrToInt(std::string_view text);
