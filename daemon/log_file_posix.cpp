#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "log_file.h"
#include "system_error.h"
#include "whole_append.h"

namespace {

class PosixAppendTarget : public AppendTarget {
 public:
  explicit PosixAppendTarget(int fd) : fd_(fd) {}

  bool length(std::int64_t* bytes) override {
    struct stat now;
    if (::fstat(fd_, &now) != 0) return false;
    *bytes = now.st_size;
    return true;
  }

  std::size_t write(const char* data, std::size_t size, int* error) override {
    for (;;) {
      const ssize_t now = ::write(fd_, data, size);
      if (now >= 0) {
        *error = 0;
        return static_cast<std::size_t>(now);
      }
      if (errno != EINTR) {
        *error = errno;
        return 0;
      }
    }
  }

  void truncate(std::int64_t bytes) override { (void)!::ftruncate(fd_, bytes); }

 private:
  int fd_;
};

// A write lock on the whole file, the one cooperating appenders (another
// BrimletD on the same log) take too, so that none of them writes while
// another one cuts a short entry back.
LockAttempt tryLockWholeFile(int fd) {
  struct flock whole {};
  whole.l_type = F_WRLCK;
  whole.l_whence = SEEK_SET;
  whole.l_start = 0;
  whole.l_len = 0;
  if (::fcntl(fd, F_SETLK, &whole) == 0) return LockAttempt::Locked;
  return errno == EACCES || errno == EAGAIN || errno == EINTR ? LockAttempt::Busy
                                                              : LockAttempt::Unsupported;
}

PatientLock logLock(PatientLock::kPatience);

}  // namespace

std::size_t appendLines(const std::string& fileName, const std::vector<std::string>& texts,
                        std::string* error) {
  const JoinedLines lines = joinLines(texts, kLineSeparator);
  // No-follow: a symbolic link planted under the log's name must not send the
  // entries elsewhere. Non-blocking: a FIFO without a reader fails at once
  // (ENXIO) instead of hanging the daemon in open.
  const int fd = ::open(fileName.c_str(),
                        O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0644);
  if (fd < 0) {
    *error = describeSystemError(errno);
    return 0;
  }
  logLock.take([fd] { return tryLockWholeFile(fd); });  // closing the file releases it
  // The length is taken under the lock: no cooperating writer moves it now.
  struct stat before;
  const int statError = ::fstat(fd, &before) != 0 ? errno : 0;
  if (statError != 0 || !S_ISREG(before.st_mode)) {
    // A FIFO with a reader, or a device, is not a log file either.
    *error = describeSystemError(statError != 0 ? statError : ENXIO);
    ::close(fd);
    return 0;
  }
  // O_APPEND puts each write at the end, even when another process appends
  // to the same file. A write without progress and without a reason is a
  // full device in practice.
  PosixAppendTarget file(fd);
  std::size_t whole = 0;
  const int writeError =
      appendRecords(file, lines.records, lines.ends, before.st_size, ENOSPC, &whole);
  // Some file systems (NFS) report a failed write only at close, and then
  // for any of the lines.
  const bool closed = ::close(fd) == 0;
  if (writeError == 0 && closed) return texts.size();
  *error = describeSystemError(writeError != 0 ? writeError : errno);
  return writeError != 0 ? whole : 0;
}
