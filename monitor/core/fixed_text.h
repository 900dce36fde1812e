// The fixed-size 8-bit text buffers of the monitor's records and of the
// client's answers: reading one safely and the one way to fill one.
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

// What filling a buffer does with a text that does not fit it with its
// terminator.
enum class Overlong {
  Refuse,  // nothing is written and the copy answers false
  Cut,     // the text's first size - 1 bytes go in
};

// Copies `text` into the `size` bytes at `buffer`, always terminated. Answers
// whether the buffer now holds the text (cut, where that was asked for); a
// null buffer or one of no size takes nothing.
inline bool CopyToBuffer(char* buffer, std::size_t size, std::string_view text,
                         Overlong overlong = Overlong::Refuse) {
  if (buffer == nullptr || size == 0) return false;
  std::size_t length = text.size();
  if (length >= size) {
    if (overlong == Overlong::Refuse) return false;
    length = size - 1;
  }
  std::memcpy(buffer, text.data(), length);
  buffer[length] = '\0';
  return true;
}

template <std::size_t N>
bool CopyToBuffer(char (&buffer)[N], std::string_view text, Overlong overlong = Overlong::Refuse) {
  return CopyToBuffer(buffer, N, text, overlong);
}
