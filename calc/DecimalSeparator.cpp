// The one platform-dependent piece of the calculation library.
#include "calc/DecimalSeparator.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <clocale>
#endif

std::string RegionalDecimalSeparator() {
#ifdef _WIN32
  wchar_t separator[8] = {};
  const int length = GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, separator, 8);
  if (length <= 1) return ".";  // the count includes the terminating zero
  char utf8[32] = {};
  const int bytes = WideCharToMultiByte(CP_UTF8, 0, separator, length - 1, utf8, sizeof utf8, nullptr, nullptr);
  if (bytes <= 0) return ".";
  return std::string(utf8, static_cast<std::size_t>(bytes));
#else
  const char* current = std::setlocale(LC_NUMERIC, nullptr);
  const std::string previous = current != nullptr ? current : "C";
  std::string separator = ".";
  if (std::setlocale(LC_NUMERIC, "") != nullptr) {
    const std::lconv* conventions = std::localeconv();
    if (conventions != nullptr && conventions->decimal_point != nullptr && *conventions->decimal_point != '\0')
      separator = conventions->decimal_point;
  }
  std::setlocale(LC_NUMERIC, previous.c_str());
  return separator;
#endif
}
