// Reading the values of a network description. Each reader answers false
// with *reason telling the writer what is wrong with the value: a missing
// value, not a number, out of range, and so on. `what` names the value in
// that message (a key, or a field of a list).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

std::string Trim(const std::string& text);
std::string Lower(std::string text);
std::string Upper(std::string text);

// Splits off the first blank-separated word; *rest gets the trimmed remainder.
std::string FirstWord(const std::string& text, std::string* rest);

// Decimal (leading zeros allowed) or 0x hexadecimal, from 0 to max.
bool ReadUnsigned(const std::string& what, const std::string& value, uint32_t max, uint32_t* out,
                  std::string* reason);

// Signed 32-bit: decimal within its range, or hexadecimal as the raw bits.
bool ReadSigned(const std::string& what, const std::string& value, int32_t* out,
                std::string* reason);

// A status: any 32-bit pattern, written unsigned, hexadecimal or negative.
bool ReadStatus(const std::string& what, const std::string& value, uint32_t* out,
                std::string* reason);

bool IsYesNo(const std::string& value);
bool ReadYesNo(const std::string& what, const std::string& value, bool* out, std::string* reason);

// Text of 1 to maxLength characters without tabs.
bool ReadText(const std::string& what, const std::string& value, size_t maxLength, std::string* out,
              std::string* reason);

// Comma-separated fields, each trimmed; an empty field (a trailing comma, two
// commas in a row) is refused. An empty value gives no fields.
bool SplitList(const std::string& what, const std::string& value, std::vector<std::string>* fields,
               std::string* reason);
