#include <unistd.h>

#include <cerrno>

#include "output/standard_output.h"

std::size_t writeStandardOutput(const char* data, std::size_t size) {
  std::size_t done = 0;
  while (done < size) {
    const ssize_t now = ::write(STDOUT_FILENO, data + done, size - done);
    if (now > 0) {
      done += static_cast<std::size_t>(now);
    } else if (now == 0 || errno != EINTR) {
      break;
    }
  }
  return done;
}
