// Writing to standard output past every buffer, once per platform.
#pragma once

#include <cstddef>

// Writes to the process's standard output with the system's own call, past
// the buffers of the C and C++ libraries, so that a write stuck on a pipe
// nobody reads holds up nothing else at the end of the process. Answers how
// many bytes made it: all of them unless the write failed. On Windows each
// "\n" goes out as "\r\n", as a text-mode stream writes it. Written once per
// platform (posix/standard_output.cpp, win/standard_output.cpp).
std::size_t writeStandardOutput(const char* data, std::size_t size);
