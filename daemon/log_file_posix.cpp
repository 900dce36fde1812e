#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "log_file.h"
#include "system_error.h"

bool appendLine(const std::string& fileName, const std::string& text, std::string* error) {
  const std::string record = text + kLineSeparator;
  const int fd = ::open(fileName.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) {
    *error = describeSystemError(errno);
    return false;
  }
  // O_APPEND puts the whole record at the end in one write, even when another
  // process appends to the same file.
  ssize_t written;
  do {
    written = ::write(fd, record.data(), record.size());
  } while (written < 0 && errno == EINTR);
  const int writeError = written < 0 ? errno : ENOSPC;  // a short write means a full disk
  const bool complete = written == static_cast<ssize_t>(record.size());
  // Some file systems (NFS) report a failed write only at close.
  const bool closed = ::close(fd) == 0;
  if (complete && closed) return true;
  *error = describeSystemError(complete ? errno : writeError);
  return false;
}
