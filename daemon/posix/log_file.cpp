#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "output/log_file.h"
#include "output/whole_append.h"
#include "process/system_error.h"

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
//
// Writers that lock the log itself (earlier builds of BrimletD took a write
// lock on the whole log) are kept out too: while it appends, the daemon
// holds a read lock on the log, which conflicts with a writer's write lock
// but not with a reader's read lock, so a reader never holds the daemon up.
#ifdef F_OFD_SETLK
constexpr int kTryLock = F_OFD_SETLK;
#else
constexpr int kTryLock = F_SETLK;
#endif

LockAttempt tryLockWhole(int fd, short type) {
  struct flock whole {};
  whole.l_type = type;
  whole.l_whence = SEEK_SET;
  whole.l_start = 0;
  whole.l_len = 0;
  if (::fcntl(fd, kTryLock, &whole) == 0) return LockAttempt::Locked;
  return errno == EACCES || errno == EAGAIN || errno == EINTR ? LockAttempt::Busy
                                                              : LockAttempt::Unsupported;
}

// Why a file found under the lock file's name is not one to trust, or
// nullptr. Anyone else who could open it could hold it, and with it the log,
// for as long as they like; a FIFO or a device is no lock file at all; a
// second name (a hard link) may be another file the daemon locks too.
const char* untrustedLockFile(const struct stat& file) {
  if (S_ISLNK(file.st_mode)) return "a symbolic link";
  if (!S_ISREG(file.st_mode)) return "not a regular file";
  if (file.st_uid != ::geteuid()) return "owned by another user";
  if ((file.st_mode & (S_IWGRP | S_IWOTH)) != 0) return "writable by other users";
  if (file.st_nlink != 1) return "a file with other names (hard links)";
  return nullptr;
}

enum class LockFile { Open, Refused, CannotBeMade };

// Opens the lock file, created if missing. No-follow: a link is never
// followed, to a file of the daemon's or anyone's. Non-blocking: a FIFO
// does not hang the open. Refused, with the reason: a file of someone
// else's, or none at all, under the name. A lock file that cannot be made
// (a folder where only the log is writable, a read-only file system) is
// like a file system without locks: no other writer can take it there
// either, and the entries go unguarded.
LockFile openLockFile(const std::string& lockName, int* fd, std::string* refusal) {
  *fd = ::open(lockName.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY,
               0600);
  struct stat file;
  if (*fd < 0) {
    if (::lstat(lockName.c_str(), &file) != 0) return LockFile::CannotBeMade;
  } else if (::fstat(*fd, &file) != 0) {
    file.st_mode = 0;  // not a regular file: refused
  }
  const char* why = untrustedLockFile(file);
  if (why == nullptr) return *fd >= 0 ? LockFile::Open : LockFile::CannotBeMade;
  if (*fd >= 0) ::close(*fd);
  *fd = -1;
  *refusal = lockName + ": " + why;
  return LockFile::Refused;
}

// The files of one append, closed (and so unlocked) when it ends.
class LockedAppend {
 public:
  explicit LockedAppend(const std::string& logName)
      : logName_(logName), lockName_(logName + ".lock") {}
  ~LockedAppend() {
    closeLog();
    if (lockFd_ >= 0) ::close(lockFd_);
  }
  LockedAppend(const LockedAppend&) = delete;
  LockedAppend& operator=(const LockedAppend&) = delete;

  // One try: the lock file's lock first, then the log, opened once the
  // lock is had (a log renamed during a wait is left alone) and read-locked.
  LockAttempt tryLock() {
    if (!writersLocked_) {
      const LockAttempt writers = tryLockWriters();
      if (writers != LockAttempt::Locked) return writers;
      writersLocked_ = true;
    }
    // No-follow: a symbolic link planted under the log's name must not send
    // the entries elsewhere. Non-blocking: a FIFO without a reader fails at
    // once (ENXIO) instead of hanging the daemon in open. Read and write: a
    // read lock needs a file open for reading; a log the daemon may only
    // write to is written without it.
    constexpr int kFlags = O_APPEND | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY;
    logFd_ = ::open(logName_.c_str(), O_RDWR | kFlags, 0644);
    const bool readable = logFd_ >= 0;
    if (logFd_ < 0 && errno == EACCES) logFd_ = ::open(logName_.c_str(), O_WRONLY | kFlags, 0644);
    if (logFd_ < 0) return failed(errno);
    // The length is taken under the lock: no cooperating writer moves it now.
    if (::fstat(logFd_, &log_) != 0) return failed(errno);
    // A FIFO with a reader, or a device, is not a log file either.
    if (!S_ISREG(log_.st_mode)) return failed(ENXIO);
    if (readable && tryLockWhole(logFd_, F_RDLCK) == LockAttempt::Busy) {
      closeLog();
      return LockAttempt::Busy;
    }
    return LockAttempt::Locked;
  }

  int logFd() const { return logFd_; }
  std::int64_t logLength() const { return log_.st_size; }
  int openError() const { return openError_; }
  const std::string& refusal() const { return refusal_; }

  // Closes the log, and answers 0 or the error that the close reports.
  int closeLog() {
    if (logFd_ < 0) return 0;
    const int closed = ::close(logFd_) == 0 ? 0 : errno;
    logFd_ = -1;
    return closed;
  }

 private:
  LockAttempt tryLockWriters() {
    if (lockFd_ < 0 && !unguarded_) {
      switch (openLockFile(lockName_, &lockFd_, &refusal_)) {
        case LockFile::Refused:
          return LockAttempt::Refused;
        case LockFile::CannotBeMade:
          unguarded_ = true;
          break;
        case LockFile::Open:
          break;
      }
    }
    if (unguarded_) return LockAttempt::Locked;
    const LockAttempt attempt = tryLockWhole(lockFd_, F_WRLCK);
    if (attempt == LockAttempt::Unsupported) unguarded_ = true;
    return attempt == LockAttempt::Busy ? attempt : LockAttempt::Locked;
  }

  LockAttempt failed(int error) {
    openError_ = error;
    closeLog();
    return LockAttempt::Failed;
  }

  const std::string& logName_;
  const std::string lockName_;
  int lockFd_ = -1;
  int logFd_ = -1;
  bool writersLocked_ = false;
  bool unguarded_ = false;
  struct stat log_ {};
  int openError_ = 0;
  std::string refusal_;
};

}  // namespace

bool lockFileUsable(const std::string& logName, std::string* reason) {
  int fd = -1;
  const bool usable = openLockFile(logName + ".lock", &fd, reason) != LockFile::Refused;
  if (fd >= 0) ::close(fd);
  return usable;
}

std::size_t appendJoined(const std::string& fileName, const JoinedLines& lines,
                         std::string* error, LockWait* wait, bool* lockGivenUp) {
  LockedAppend files(fileName);
  LockWait patient;
  const LockAttempt attempt =
      takeLock([&files] { return files.tryLock(); }, wait ? *wait : patient, &files.refusal());
  if (attempt == LockAttempt::Busy || attempt == LockAttempt::Refused) {
    if (lockGivenUp != nullptr) *lockGivenUp = true;
    return 0;
  }
  if (attempt == LockAttempt::Failed) {
    *error = describeSystemError(files.openError());
    return 0;
  }
  // O_APPEND puts each write at the end, even when another process appends
  // to the same file. A write without progress and without a reason is a
  // full device in practice.
  PosixAppendTarget file(files.logFd());
  std::size_t whole = 0;
  const int writeError =
      appendRecords(file, lines.records, lines.ends, files.logLength(), ENOSPC, &whole);
  // Some file systems (NFS) report a failed write only at close, and then
  // for any of the lines. The lock file is closed after the log: the lock
  // is released once the entries are complete.
  const int closeError = files.closeLog();
  if (writeError == 0 && closeError == 0) return lines.ends.size();
  *error = describeSystemError(writeError != 0 ? writeError : closeError);
  return writeError != 0 ? whole : 0;
}
