// Appending one entry to the log file, written once per platform.
#pragma once

#include <string>

// The platform's line separator, which ends every log entry.
#ifdef _WIN32
inline constexpr char kLineSeparator[] = "\r\n";
#else
inline constexpr char kLineSeparator[] = "\n";
#endif

// Appends text and the line separator to the file, created if missing, with
// one write call so that an entry is never split, then closes the file again.
// Holding the file open only for one entry lets a rotated log be picked up at
// the next entry. On failure answers false and sets *error to the system's
// description.
bool appendLine(const std::string& fileName, const std::string& text, std::string* error);
