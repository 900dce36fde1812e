// The rule that a log entry is written whole or not at all, and the log's lock.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// The operations on an open log file that one entry needs, written once per
// platform (posix/log_file.cpp, win/log_file.cpp), so that the rule that an
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

// One try at the log file's lock, without waiting: had; held by another
// writer; refused, since what lies under the lock file's name is not a lock
// file the daemon may trust (the reason says what); not to be had on this
// file system (the append goes unguarded); or failed, since the log itself
// could not be opened (nothing is written).
enum class LockAttempt { Locked, Busy, Refused, Unsupported, Failed };

// What the writer of a log does while another writer holds the log's lock,
// or while the lock file is refused. It never appends without the lock once
// another writer may be writing: a writer that holds it for long (a hung
// one) is waited for, and the waiting writer's entries stay queued
// meanwhile. A wait that lasts is told: when it began, and when it ended,
// with its length; a refused lock file is told at once, with its reason.
class LockWait {
 public:
  virtual ~LockWait() = default;
  // Asked between two tries: false gives the lock up (the stop cannot wait
  // for ever), and the append then writes nothing.
  virtual bool mayWait() { return true; }
  virtual void began() {}
  virtual void refused(const std::string& reason) { (void)reason; }
  virtual void ended(std::chrono::milliseconds length, bool had) {
    (void)length;
    (void)had;
  }

  // A wait shorter than this is the ordinary turn-taking of two writers and
  // is not told.
  static constexpr std::chrono::milliseconds kNoticeAfter{100};
  // Between two tries while another writer holds the lock, and while the
  // lock file is refused (someone must mend it first).
  static constexpr std::chrono::milliseconds kBusyPause{2};
  static constexpr std::chrono::milliseconds kRefusedPause{100};
};

// Tries the lock until it is had, the file system turns out to have no locks
// (Unsupported: the append goes unguarded, no other writer can lock either),
// the log cannot be opened (Failed), or `wait` gives it up (Busy or
// Refused). A refused try finds its reason in *refusal, told once for each
// new reason.
LockAttempt takeLock(const std::function<LockAttempt()>& tryLock, LockWait& wait,
                     const std::string* refusal = nullptr);
