#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "log_file.h"
#include "system_error.h"

namespace {

// Writes the whole record, going on after a short write so that the reason
// the rest does not fit (a full disk, a file-size limit) comes from the
// system. Answers 0 or the errno of the write that failed; *written counts
// the bytes that made it.
int writeAll(int fd, const std::string& record, std::size_t* written) {
  *written = 0;
  while (*written < record.size()) {
    const ssize_t now = ::write(fd, record.data() + *written, record.size() - *written);
    if (now < 0 && errno == EINTR) continue;
    if (now < 0) return errno;
    if (now == 0) return ENOSPC;  // no progress and no reason: a full device in practice
    *written += static_cast<std::size_t>(now);
  }
  return 0;
}

}  // namespace

bool appendLine(const std::string& fileName, const std::string& text, std::string* error) {
  const std::string record = text + kLineSeparator;
  // No-follow: a symbolic link planted under the log's name must not send the
  // entries elsewhere. Non-blocking: a FIFO without a reader fails at once
  // (ENXIO) instead of hanging the daemon in open.
  const int fd = ::open(fileName.c_str(),
                        O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0644);
  if (fd < 0) {
    *error = describeSystemError(errno);
    return false;
  }
  struct stat before;
  const int statError = ::fstat(fd, &before) != 0 ? errno : 0;
  if (statError != 0 || !S_ISREG(before.st_mode)) {
    // A FIFO with a reader, or a device, is not a log file either.
    *error = describeSystemError(statError != 0 ? statError : ENXIO);
    ::close(fd);
    return false;
  }
  // O_APPEND puts each write at the end, even when another process appends
  // to the same file.
  std::size_t written = 0;
  const int writeError = writeAll(fd, record, &written);
  if (writeError != 0 && written > 0) {
    // All or nothing: take back the part of the entry that made it, so that
    // the next entry starts a line of its own. Only if the file still ends
    // with that part, since another writer's entry must not go.
    struct stat after;
    if (::fstat(fd, &after) == 0 &&
        after.st_size == before.st_size + static_cast<off_t>(written)) {
      (void)!::ftruncate(fd, before.st_size);
    }
  }
  // Some file systems (NFS) report a failed write only at close.
  const bool closed = ::close(fd) == 0;
  if (writeError == 0 && closed) return true;
  *error = describeSystemError(writeError != 0 ? writeError : errno);
  return false;
}
