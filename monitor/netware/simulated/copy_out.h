// Writing the client's text answers into the caller's buffers.
#pragma once

#include <cstring>
#include <string>

// Writes text with its NUL if it fits; false (and nothing written) if not.
inline bool CopyOut(const std::string& text, char* out, size_t size) {
  if (out == nullptr || text.size() + 1 > size) return false;
  std::memcpy(out, text.c_str(), text.size() + 1);
  return true;
}
