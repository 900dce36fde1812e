#include "log_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

bool appendLine(const std::string& fileName, const std::string& text, std::string* error) {
  const std::string record = text + kLineSeparator;
  errno = 0;
  std::FILE* file = std::fopen(fileName.c_str(), "ab");
  if (file == nullptr) {
    *error = std::strerror(errno);
    return false;
  }
  // Unbuffered, the whole record goes to the system in a single write.
  std::setvbuf(file, nullptr, _IONBF, 0);
  const bool written = std::fwrite(record.data(), 1, record.size(), file) == record.size();
  const int writeError = errno;
  const bool closed = std::fclose(file) == 0;
  if (written && closed) return true;
  *error = std::strerror(written ? errno : writeError);
  return false;
}
