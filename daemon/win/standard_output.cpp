#include <windows.h>

#include <algorithm>
#include <string>

#include "output/standard_output.h"

std::size_t writeStandardOutput(const char* data, std::size_t size) {
  std::string text;
  text.reserve(size + size / 32);
  for (std::size_t i = 0; i < size; ++i) {
    if (data[i] == '\n') text += '\r';
    text += data[i];
  }
  const HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
  std::size_t done = 0;
  while (done < text.size()) {
    DWORD written = 0;
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(text.size() - done, 1u << 20));
    if (!WriteFile(output, text.data() + done, chunk, &written, nullptr) || written == 0) break;
    done += written;
  }
  // Back to the caller's bytes: a "\r" without its "\n" counts for nothing.
  std::size_t original = 0;
  for (std::size_t out = 0; original < size; ++original) {
    out += data[original] == '\n' ? 2 : 1;
    if (out > done) break;
  }
  return original;
}
