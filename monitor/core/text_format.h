// printf-style formatting into a std::string, for the monitor's fixed texts.
#pragma once

#include <string>

#if defined(__GNUC__)
#define BRIMLET_PRINTF_FORMAT(f, a) __attribute__((format(printf, f, a)))
#else
#define BRIMLET_PRINTF_FORMAT(f, a)
#endif

std::string FormatText(const char* format, ...) BRIMLET_PRINTF_FORMAT(1, 2);
