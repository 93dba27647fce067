#include "framework/core/StrUtils.h"

#include <charconv>
#include <cstdlib>

#include "framework/core/CodePage.h"
#include "framework/core/Exceptions.h"

namespace {

// Upper case of one code point for ASCII and Cyrillic; anything else is kept.
char32_t UpperChar(char32_t c) {
  if (c >= U'a' && c <= U'z') return c - 32;
  if (c >= 0x430 && c <= 0x44F) return c - 0x20;  // а..я
  if (c >= 0x450 && c <= 0x45F) return c - 0x50;  // ѐ..џ, ё among them
  return c;
}

// Decodes one code point at `pos` and advances it; a malformed byte stands for itself.
char32_t NextCodePoint(std::string_view s, std::size_t& pos) {
  const auto b0 = static_cast<unsigned char>(s[pos]);
  if (b0 < 0x80) {
    ++pos;
    return b0;
  }
  int extra = b0 >= 0xF0 ? 3 : b0 >= 0xE0 ? 2 : b0 >= 0xC0 ? 1 : -1;
  if (extra < 0 || pos + static_cast<std::size_t>(extra) >= s.size()) {
    ++pos;
    return 0xDC00 + b0;  // kept apart from real text, never case-folded
  }
  char32_t c = b0 & (0x3F >> extra);
  for (int i = 1; i <= extra; ++i) {
    const auto b = static_cast<unsigned char>(s[pos + static_cast<std::size_t>(i)]);
    if ((b & 0xC0) != 0x80) {
      ++pos;
      return 0xDC00 + b0;
    }
    c = (c << 6) | (b & 0x3F);
  }
  pos += static_cast<std::size_t>(extra) + 1;
  return c;
}

bool IsSeparator(char c, std::string_view separators) { return separators.find(c) != std::string_view::npos; }

}  // namespace

std::string UpperCase(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  std::size_t pos = 0;
  while (pos < text.size()) {
    const std::size_t start = pos;
    const char32_t c = NextCodePoint(text, pos);
    if (c >= 0xDC80 && c <= 0xDCFF) {
      out.append(text.substr(start, pos - start));  // malformed byte, copied as it is
    } else {
      AppendUtf8(out, UpperChar(c));
    }
  }
  return out;
}

int CompareText(std::string_view a, std::string_view b) {
  std::size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    const char32_t ca = UpperChar(NextCodePoint(a, i));
    const char32_t cb = UpperChar(NextCodePoint(b, j));
    if (ca != cb) return ca < cb ? -1 : 1;
  }
  if (i < a.size()) return 1;
  if (j < b.size()) return -1;
  return 0;
}

bool SameText(std::string_view a, std::string_view b) { return CompareText(a, b) == 0; }

std::string Trim(std::string_view text) {
  std::size_t first = 0, last = text.size();
  while (first < last && static_cast<unsigned char>(text[first]) <= ' ') ++first;
  while (last > first && static_cast<unsigned char>(text[last - 1]) <= ' ') --last;
  return std::string(text.substr(first, last - first));
}

int WordCount(std::string_view text, std::string_view separators) {
  int count = 0;
  bool inWord = false;
  for (char c : text) {
    const bool sep = IsSeparator(c, separators);
    if (!sep && !inWord) ++count;
    inWord = !sep;
  }
  return count;
}

std::string ExtractWord(int number, std::string_view text, std::string_view separators) {
  int count = 0;
  std::size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && IsSeparator(text[i], separators)) ++i;
    if (i >= text.size()) break;
    const std::size_t start = i;
    while (i < text.size() && !IsSeparator(text[i], separators)) ++i;
    if (++count == number) return std::string(text.substr(start, i - start));
  }
  return {};
}

std::optional<std::int32_t> ParseInt(std::string_view text, bool allowHex) {
  bool negative = false;
  std::size_t pos = 0;
  if (pos < text.size() && (text[pos] == '-' || text[pos] == '+')) {
    negative = text[pos] == '-';
    ++pos;
  }
  int base = 10;
  if (allowHex && pos < text.size() && text[pos] == '$') {
    base = 16;
    ++pos;
  } else if (allowHex && pos + 1 < text.size() && text[pos] == '0' && (text[pos + 1] == 'x' || text[pos + 1] == 'X')) {
    base = 16;
    pos += 2;
  }
  if (pos >= text.size()) return std::nullopt;
  std::uint64_t value = 0;
  const char* first = text.data() + pos;
  const char* last = text.data() + text.size();
  const auto [end, ec] = std::from_chars(first, last, value, base);
  if (ec != std::errc() || end != last) return std::nullopt;
  if (base == 16) {
    if (value > 0xFFFFFFFFull) return std::nullopt;
    auto bits = static_cast<std::uint32_t>(value);
    if (negative) bits = 0u - bits;
    return static_cast<std::int32_t>(bits);
  }
  if (negative) {
    if (value > 0x80000000ull) return std::nullopt;
    return static_cast<std::int32_t>(-static_cast<std::int64_t>(value));
  }
  if (value > 0x7FFFFFFFull) return std::nullopt;
  return static_cast<std::int32_t>(value);
}

std::int32_t DecimalStrToInt(std::string_view text) {
  if (auto value = ParseInt(text, false)) return *value;
  throw EConvertError("'" + std::string(text) + "' is not a valid integer value");
}

std::optional<double> ParseFloat(std::string_view text) {
  std::string t = Trim(text);
  for (char& c : t)
    if (c == ',') c = '.';
  if (t.empty()) return std::nullopt;
  double value = 0;
  const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), value);
  if (ec != std::errc() || end != t.data() + t.size()) return std::nullopt;
  return value;
}
