// Another appender holding the log file's write lock, for the tests.
#pragma once

#include <fcntl.h>
#include <unistd.h>

#include <string>

// Where another writer takes its write lock: on the lock file beside the
// log, as an appender that cooperates with the daemon does, or on the log
// itself, as earlier builds of BrimletD did.
enum class LockOn { LockFile, Log };

// Holds the writers' lock of a log file as another appender does, creating
// the files if missing. An open file description lock, so that the test's
// own reads of the files do not release it (a process's lock conflicts with
// the daemon's alike).
class LogLock {
 public:
  explicit LogLock(const std::string& path, LockOn on = LockOn::LockFile)
      : fd_(::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644)),
        lockFd_(on == LockOn::Log
                    ? ::dup(fd_)
                    : ::open((path + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600)) {
    struct flock whole {};
    whole.l_type = F_WRLCK;
    whole.l_whence = SEEK_SET;
    locked_ = fd_ >= 0 && lockFd_ >= 0 && ::fcntl(lockFd_, F_OFD_SETLK, &whole) == 0;
  }
  ~LogLock() { release(); }
  LogLock(const LogLock&) = delete;
  LogLock& operator=(const LogLock&) = delete;

  bool locked() const { return locked_; }

  // Appends as the lock's holder.
  bool append(const std::string& text) {
    return ::write(fd_, text.data(), text.size()) == static_cast<ssize_t>(text.size());
  }

  void release() {
    if (fd_ >= 0) ::close(fd_);
    if (lockFd_ >= 0) ::close(lockFd_);
    fd_ = -1;
    lockFd_ = -1;
  }

 private:
  int fd_;
  int lockFd_;
  bool locked_ = false;
};
