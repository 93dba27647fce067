#pragma once
// Conversion between UTF-8 (the program's strings) and code page 1251, the encoding of the
// Russian interface and of skin ini files without a byte-order mark.
#include <optional>
#include <string>
#include <string_view>

std::string Cp1251ToUtf8(std::string_view bytes);
// Empty when the text holds a character that code page 1251 cannot represent, or is not UTF-8.
std::optional<std::string> Utf8ToCp1251(std::string_view text);
bool StartsWithUtf8Bom(std::string_view bytes);
// UTF-16 text (after its byte-order mark), little- or big-endian, as UTF-8. A lone surrogate
// becomes U+FFFD; an odd last byte is dropped.
std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian);
// Appends the UTF-8 form of one code point.
void AppendUtf8(std::string& out, char32_t c);
