#pragma once

#include <ctime>
#include <string>

// "dd-MM-yyyy HH:mm:ss", the reception time that starts every log entry.
std::string formatReceptionTime(const std::tm& time);

// The local time now, as formatReceptionTime writes it.
std::string currentLocalTime();

// Writes every control byte (0x00-0x1F, 0x7F) as "#" and its three-digit octal
// code, so that a datagram can neither forge extra log lines nor send escape
// sequences to the operator's terminal. Other bytes pass unchanged.
std::string escapeControlBytes(const std::string& message);

// One log entry: the reception time, ",", the message with its control bytes
// escaped.
std::string buildEntry(const std::string& receptionTime, const std::string& message);
