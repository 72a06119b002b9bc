#pragma once

#include <string>
#include <string_view>

// The roulette and the design speak UTF-8; Windows' wide-character calls speak UTF-16.
std::wstring toWide(std::string_view utf8);
std::string toUtf8(std::wstring_view utf16);
