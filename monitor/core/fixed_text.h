// Helpers for the fixed-size 8-bit text buffers that the monitor's records use.
#pragma once

#include <cstddef>
#include <cstring>
#include <string_view>

// The text held in `buffer`, up to its first NUL or its end, whichever comes
// first, so a buffer that somebody filled without a terminator is still safe.
template <std::size_t N>
std::string_view BufferText(const char (&buffer)[N]) {
  const void* nul = std::memchr(buffer, '\0', N);
  return std::string_view(buffer, nul ? static_cast<const char*>(nul) - buffer : N);
}

// Copies `text` into `buffer` with its terminator; answers false, leaving the
// buffer untouched, when the text does not fit.
template <std::size_t N>
bool CopyToBuffer(char (&buffer)[N], std::string_view text) {
  if (text.size() >= N) return false;
  std::memcpy(buffer, text.data(), text.size());
  buffer[text.size()] = '\0';
  return true;
}
