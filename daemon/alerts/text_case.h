// Upper-casing the 8-bit text of alerts for the filter tests.
#pragma once

#include <string>

// Upper-cases ASCII letters and the Latin-1 small letters (0xE0-0xFE except the
// division sign 0xF7); every other byte, 0xFF included, is kept. The alerts are
// 8-bit text in a Western code page, so this is the case rule of their letters.
std::string toUpperLatin1(const std::string& text);
// The same in place.
void toUpperLatin1(std::string* text);
