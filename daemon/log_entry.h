// One log entry's text: the reception time and the escaped datagram.
#pragma once

#include <cstddef>
#include <ctime>
#include <string>

// "dd-MM-yyyy HH:mm:ss", the reception time that starts every log entry.
std::string formatReceptionTime(const std::tm& time);

// The longest text formatReceptionTime writes, whatever the fields hold: six
// numbers of at most 11 characters ("-2147483648") and five separators. A
// real clock gives 19 characters until the year 9999.
inline constexpr std::size_t kLongestReceptionTimeBytes = 6 * 11 + 5;

// The local time now, as formatReceptionTime writes it.
std::string currentLocalTime();

// Writes every control byte (C0 0x00-0x1F, DEL 0x7F and C1 0x80-0x9F) as "#"
// and its three-digit octal code, so that a datagram can neither forge extra
// log lines nor send control sequences to the operator's terminal. A "#" that
// is followed by three octal digits is written as "#043", so that every "#"
// followed by three octal digits in the log is an escape and the alert's own
// bytes can be told back. Every other byte, Latin-1 text included, passes.
std::string escapeControlBytes(const std::string& message);

// One log entry: the reception time, ",", the message with its control bytes
// escaped.
std::string buildEntry(const std::string& receptionTime, const std::string& message);
