// The rule that a log entry is written whole or not at all.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

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
