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

// The writers' lock is a write lock on a file of its own beside the log
// (the log's name and ".lock", mode 0600), not on the log: whoever may read
// the log may also lock it for reading, and any such lock, however short or
// long, over the whole file or not, conflicts with a writer's lock on the
// log. Nobody but the log's writers (the daemon's own user) can even open
// the lock file, so no reader can stall or pass the writer. It is an open
// file description lock where the system has one, so that it belongs to
// this open only, and closing the file releases it.
int openLockFile(const std::string& logName) {
  return ::open((logName + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK,
                0600);
}

LockAttempt tryLockWriters(int fd) {
  struct flock whole {};
  whole.l_type = F_WRLCK;
  whole.l_whence = SEEK_SET;
  whole.l_start = 0;
  whole.l_len = 0;
#ifdef F_OFD_SETLK
  const int command = F_OFD_SETLK;
#else
  const int command = F_SETLK;
#endif
  if (::fcntl(fd, command, &whole) == 0) return LockAttempt::Locked;
  return errno == EACCES || errno == EAGAIN || errno == EINTR ? LockAttempt::Busy
                                                              : LockAttempt::Unsupported;
}

}  // namespace

std::size_t appendLines(const std::string& fileName, const std::vector<std::string>& texts,
                        std::string* error, LockWait* wait, bool* lockGivenUp) {
  const JoinedLines lines = joinLines(texts, kLineSeparator);
  // A lock file that cannot be made (a folder where only the log is
  // writable) is like a file system without locks: no other writer can take
  // the lock either, and the entries go unguarded.
  const int lockFd = openLockFile(fileName);
  LockWait patient;
  if (lockFd >= 0 && takeLock([lockFd] { return tryLockWriters(lockFd); },
                              wait ? *wait : patient) == LockAttempt::Busy) {
    ::close(lockFd);
    if (lockGivenUp != nullptr) *lockGivenUp = true;
    return 0;
  }
  // Opened once the lock is had: a log renamed during a wait is left alone.
  // No-follow: a symbolic link planted under the log's name must not send the
  // entries elsewhere. Non-blocking: a FIFO without a reader fails at once
  // (ENXIO) instead of hanging the daemon in open.
  const int fd = ::open(fileName.c_str(),
                        O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0644);
  if (fd < 0) {
    *error = describeSystemError(errno);
    if (lockFd >= 0) ::close(lockFd);
    return 0;
  }
  // The length is taken under the lock: no cooperating writer moves it now.
  struct stat before;
  const int statError = ::fstat(fd, &before) != 0 ? errno : 0;
  if (statError != 0 || !S_ISREG(before.st_mode)) {
    // A FIFO with a reader, or a device, is not a log file either.
    *error = describeSystemError(statError != 0 ? statError : ENXIO);
    ::close(fd);
    if (lockFd >= 0) ::close(lockFd);
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
  const int closeError = errno;
  if (lockFd >= 0) ::close(lockFd);  // releases the lock
  if (writeError == 0 && closed) return texts.size();
  *error = describeSystemError(writeError != 0 ? writeError : closeError);
  return writeError != 0 ? whole : 0;
}
