// The daemon's command line: the port argument and the usage message.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A port argument: an optional "-", then decimal digits only, within 32 bits.
// Anything else (a "+", blanks, trailing junk, an overflow) is refused.
bool parsePortNumber(const std::string& text, std::int32_t* port);

// The six lines printed for a command line that breaks the syntax.
std::vector<std::string> usageLines();
