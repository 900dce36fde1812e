#include <windows.h>

#include "output/log_file.h"
#include "output/whole_append.h"
#include "process/system_error.h"

namespace {

bool sameFile(HANDLE one, HANDLE other) {
  BY_HANDLE_FILE_INFORMATION a;
  BY_HANDLE_FILE_INFORMATION b;
  return GetFileInformationByHandle(one, &a) && GetFileInformationByHandle(other, &b) &&
         a.dwVolumeSerialNumber == b.dwVolumeSerialNumber && a.nFileIndexHigh == b.nFileIndexHigh &&
         a.nFileIndexLow == b.nFileIndexLow;
}

class WindowsAppendTarget : public AppendTarget {
 public:
  WindowsAppendTarget(HANDLE file, const std::string& fileName)
      : file_(file), fileName_(fileName) {}

  bool length(std::int64_t* bytes) override {
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file_, &size)) return false;
    *bytes = size.QuadPart;
    return true;
  }

  std::size_t write(const char* data, std::size_t size, int* error) override {
    DWORD written = 0;
    const BOOL ok = WriteFile(file_, data, static_cast<DWORD>(size), &written, nullptr);
    *error = ok ? 0 : static_cast<int>(GetLastError());
    return written;
  }

  // The append-only handle cannot set the end of the file: a second handle
  // with write access does, once it is known to be the same file and not one
  // that took the name since (a rotation).
  void truncate(std::int64_t bytes) override {
    const HANDLE writer = CreateFileA(
        fileName_.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (writer == INVALID_HANDLE_VALUE) return;
    LARGE_INTEGER position;
    position.QuadPart = bytes;
    if (sameFile(file_, writer) && SetFilePointerEx(writer, position, nullptr, FILE_BEGIN)) {
      SetEndOfFile(writer);
    }
    CloseHandle(writer);
  }

 private:
  HANDLE file_;
  const std::string& fileName_;
};

// Locks on Windows keep others from reading and writing the bytes they cover:
// the lock is taken on one byte far beyond any log's end, so that it only
// keeps cooperating appenders (another BrimletD on the same log) from
// writing while an entry is written and a short one is cut back.
constexpr DWORD kLockOffsetHigh = 0x40000000;  // 2^62

LockAttempt tryLockAppending(HANDLE file, OVERLAPPED* where) {
  ZeroMemory(where, sizeof *where);
  where->OffsetHigh = kLockOffsetHigh;
  if (LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, where)) {
    return LockAttempt::Locked;
  }
  return GetLastError() == ERROR_LOCK_VIOLATION ? LockAttempt::Busy : LockAttempt::Unsupported;
}

// The log as opened is a plain file of the disk: a symbolic link or a
// junction planted under its name is opened as itself, never followed, and
// refused, as is anything that is not a file on a disk. Answers 0 or the
// error to report.
DWORD plainFileError(HANDLE file) {
  BY_HANDLE_FILE_INFORMATION information;
  if (!GetFileInformationByHandle(file, &information)) return GetLastError();
  if ((information.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
    return ERROR_CANT_RESOLVE_FILENAME;
  }
  if ((information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ||
      GetFileType(file) != FILE_TYPE_DISK) {
    return ERROR_BAD_FILE_TYPE;
  }
  return 0;
}

}  // namespace

// The lock is on the log itself (above): there is no lock file to refuse.
bool lockFileUsable(const std::string&, std::string*) { return true; }

std::size_t appendJoined(const std::string& fileName, const JoinedLines& lines,
                         std::string* error, LockWait* wait, bool* lockGivenUp) {
  // Append-only access makes every write land at the end as a whole; the
  // share modes let readers and log rotation open, rename or delete the file
  // while an entry is being written. Reading the attributes gives the length;
  // a lock needs read or write access to the data.
  const HANDLE file =
      CreateFileA(fileName.c_str(), FILE_APPEND_DATA | FILE_READ_DATA | FILE_READ_ATTRIBUTES,
                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                  FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    *error = describeSystemError(static_cast<int>(GetLastError()));
    return 0;
  }
  if (const DWORD notPlain = plainFileError(file)) {
    CloseHandle(file);
    *error = describeSystemError(static_cast<int>(notPlain));
    return 0;
  }
  OVERLAPPED lock;
  LockWait patient;
  const LockAttempt attempt =
      takeLock([&] { return tryLockAppending(file, &lock); }, wait ? *wait : patient);
  if (attempt == LockAttempt::Busy) {
    CloseHandle(file);
    if (lockGivenUp != nullptr) *lockGivenUp = true;
    return 0;
  }
  const bool locked = attempt == LockAttempt::Locked;
  WindowsAppendTarget target(file, fileName);
  // The length, taken under the lock: no cooperating writer moves it now.
  // Without it the entries are still written, but a part of one could not
  // be taken back.
  std::int64_t before = -1;
  target.length(&before);
  // A write that succeeds short has hit a full disk.
  std::size_t whole = 0;
  const int writeError =
      appendRecords(target, lines.records, lines.ends, before, ERROR_DISK_FULL, &whole);
  if (locked) UnlockFileEx(file, 0, 1, 0, &lock);
  const bool closed = CloseHandle(file) != FALSE;
  if (writeError == 0 && closed) return lines.ends.size();
  *error = describeSystemError(writeError != 0 ? writeError : static_cast<int>(GetLastError()));
  return writeError != 0 ? whole : 0;
}
