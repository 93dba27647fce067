#pragma once
// Number texts as the result fields show them.
#include <string>
#include <string_view>

// The general floating-point format at 15 significant digits: the exact value of `value`
// rounded to 15 significant digits (a remainder of exactly one half rounds away from zero),
// trailing zeros after the separator removed, no separator when nothing follows it, no
// thousands separators. Values from 0.00001 up to 15 integer digits use this fixed form
// ("11,7", "1170", "0,14"); others use the scientific form ("1E15", "-2,5E-7"). Zero is "0";
// infinities and NaN read "INF", "-INF", "NAN".
std::string FormatGeneral15(double value, std::string_view decimalSeparator);
