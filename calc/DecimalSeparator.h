#pragma once
// The decimal separator of the user's regional settings.
#include <string>

// Windows: the user's locale setting. Elsewhere: the C library's numeric locale as the
// environment selects it (setlocale(LC_NUMERIC, "")); the process's own numeric locale is put
// back afterwards, so that nothing else changes. "." when the setting is missing or empty.
// UTF-8.
std::string RegionalDecimalSeparator();
