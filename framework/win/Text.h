#pragma once
// Texts live as UTF-8 in memory and cross every Win32 call as UTF-16.
#include <string>
#include <string_view>

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);
