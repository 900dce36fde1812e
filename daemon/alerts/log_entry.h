// One log entry's text: the reception time and the escaped datagram.
#pragma once

#include <cstddef>
#include <ctime>
#include <string>
#include <string_view>

// "dd-MM-yyyy HH:mm:ss", the reception time that starts every log entry.
std::string formatReceptionTime(const std::tm& time);

// The longest text formatReceptionTime writes, whatever the fields hold: six
// numbers of at most 11 characters ("-2147483648") and five separators. A
// real clock gives 19 characters until the year 9999.
inline constexpr std::size_t kLongestReceptionTimeBytes = 6 * 11 + 5;

// The local time of `second` (since 1970, UTC), and the local time now, as
// formatReceptionTime writes them. For one thread only.
std::string localTimeAt(std::time_t second);
std::string currentLocalTime();

// The alert as the log file and the console get it: escaped in the form
// EscapeForm::LogBytes (text_escape.h), control bytes (C0 0x00-0x1F, DEL
// 0x7F and C1 0x80-0x9F) written as "#" and their three-digit octal code, so
// that a datagram can neither forge extra log lines nor send control
// sequences to the operator's terminal.
std::string escapeControlBytes(const std::string& message);

// One log entry: the reception time, ",", the message with its control bytes
// escaped.
std::string buildEntry(const std::string& receptionTime, const std::string& message);
// The same entry added to *entry: a writer that keeps its string from one
// entry to the next allocates nothing.
void appendEntry(std::string* entry, std::string_view receptionTime, std::string_view message);
