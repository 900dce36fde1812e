// The rule that a log entry is written whole or not at all, and the log's lock.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// The operations on an open log file that one entry needs, written once per
// platform (log_file_posix.cpp, log_file_win.cpp), so that the rule that an
// entry is all or nothing is written once.
class AppendTarget {
 public:
  virtual ~AppendTarget() = default;

  // The file's length now; false if the system cannot tell.
  virtual bool length(std::int64_t* bytes) = 0;

  // One write at the end of the file: answers the bytes that made it, and
  // sets *error to 0 or to the system's code for why not all of them did.
  virtual std::size_t write(const char* data, std::size_t size, int* error) = 0;

  // Cuts the file back to `bytes`; a failure leaves it as it is.
  virtual void truncate(std::int64_t bytes) = 0;
};

// Writes the whole record to a file that was `lengthBefore` bytes long. After
// a short write it writes on, so that the reason the rest does not fit (a
// full disk, a file-size limit) comes from the system; a write that makes no
// progress and gives no reason counts as `noSpaceError`. When the record
// fails after part of it made it, that part is taken back so that the next
// entry starts a line of its own: only if the file is exactly that part
// longer, since another writer's entry appended meanwhile must not go; and
// not at all when the length before is unknown (negative). Answers 0, or the
// code of the failure.
int appendWhole(AppendTarget& file, const std::string& record, std::int64_t lengthBefore,
                int noSpaceError);

// The same for several records written with one write: `ends` gives where
// each record ends in `records`, ascending, the last one at its size. When
// the write fails part of the way, the records that made it whole stay and
// only the rest is taken back, under the same rule. Answers 0 or the code of
// the failure, and in *whole the number of records, from the first, that
// are whole in the file.
int appendRecords(AppendTarget& file, const std::string& records,
                  const std::vector<std::size_t>& ends, std::int64_t lengthBefore, int noSpaceError,
                  std::size_t* whole);

// Texts as one run of lines for appendRecords: each text followed by
// `separator`, and where each line ends.
struct JoinedLines {
  std::string records;
  std::vector<std::size_t> ends;
};
JoinedLines joinLines(const std::vector<std::string>& texts, const char* separator);

// One try at the log file's lock, without waiting.
enum class LockAttempt { Locked, Busy, Unsupported };

// Takes the lock that cooperating appenders of one log share, for one
// append. Another appender holds it only while it writes, so a busy lock is
// tried again for up to `patience`; a holder that keeps it longer (a hung
// process) is passed by, and from then on each append tries once and goes
// without the lock while it is busy, until the lock is had again. A file
// system without locks is appended to without one. One per process and log
// writer; not for several threads.
class PatientLock {
 public:
  explicit PatientLock(std::chrono::milliseconds patience) : patience_(patience) {}

  // Answers whether the lock is held now.
  bool take(const std::function<LockAttempt()>& tryLock);

  static constexpr std::chrono::milliseconds kPatience{10000};

 private:
  const std::chrono::milliseconds patience_;
  bool passedBy_ = false;
};
