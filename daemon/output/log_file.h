// Appending entries to the log file under its lock, written once per platform.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "output/whole_append.h"

// The platform's line separator, which ends every log entry.
#ifdef _WIN32
inline constexpr char kLineSeparator[] = "\r\n";
#else
inline constexpr char kLineSeparator[] = "\n";
#endif

// Appends text and the line separator to the file, created if missing, with
// one write call so that an entry is never split, then closes the file again.
// Holding the file open only for one entry lets a rotated log be picked up at
// the next entry. On failure answers false and sets *error to the system's
// description.
//
// Written once per platform (posix/log_file.cpp, win/log_file.cpp):
// appendLines appends several texts, each as its own line, with one open, one
// write and one close. When the write fails part of the way, the lines that
// made it whole stay, the rest is taken back, and it answers how many of the
// texts, from the first, are in the file; the system's description of the
// failure goes to *error. Every text in the file: answers their number.
// Under the lock that only the log's writers take (see the README), so that
// cooperating appenders never cut each other's entries; while another writer
// holds it, or while the lock file is refused (see lockFileUsable), the
// append waits as `wait` allows (without one: as long as it takes). When the
// wait gives the lock up nothing is written, *error is left alone and
// *lockGivenUp is set.
//
// appendJoined is the same for lines already joined (joinLines, or a
// writer's own buffer kept from one append to the next).
std::size_t appendJoined(const std::string& fileName, const JoinedLines& lines, std::string* error,
                         LockWait* wait = nullptr, bool* lockGivenUp = nullptr);
inline std::size_t appendLines(const std::string& fileName, const std::vector<std::string>& texts,
                               std::string* error, LockWait* wait = nullptr,
                               bool* lockGivenUp = nullptr) {
  return appendJoined(fileName, joinLines(texts, kLineSeparator), error, wait, lockGivenUp);
}

// Whether the writers' lock file beside the log (Linux: the log's name and
// ".lock") is one the daemon may trust, created if missing; when it is not,
// *reason names the file and says why: a symbolic link, not a regular file
// (a FIFO, a device), owned by another user or writable by other users, or
// a file with other names. Windows has no lock file: always true.
bool lockFileUsable(const std::string& logName, std::string* reason);

inline bool appendLine(const std::string& fileName, const std::string& text, std::string* error) {
  return appendLines(fileName, {text}, error) == 1;
}
