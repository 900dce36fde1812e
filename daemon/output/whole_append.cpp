#include "output/whole_append.h"

#include <algorithm>
#include <thread>

int appendWhole(AppendTarget& file, const std::string& record, std::int64_t lengthBefore,
                int noSpaceError) {
  std::size_t whole = 0;
  return appendRecords(file, record, {record.size()}, lengthBefore, noSpaceError, &whole);
}

int appendRecords(AppendTarget& file, const std::string& records,
                  const std::vector<std::size_t>& ends, std::int64_t lengthBefore, int noSpaceError,
                  std::size_t* whole) {
  std::size_t written = 0;
  int error = 0;
  while (written < records.size() && error == 0) {
    const std::size_t now = file.write(records.data() + written, records.size() - written, &error);
    written += now;
    if (now == 0 && error == 0) error = noSpaceError;
  }
  *whole =
      static_cast<std::size_t>(std::upper_bound(ends.begin(), ends.end(), written) - ends.begin());
  if (error == 0) return 0;
  const std::size_t keep = *whole > 0 ? ends[*whole - 1] : 0;
  if (written == keep || lengthBefore < 0) return error;
  std::int64_t lengthAfter = 0;
  if (file.length(&lengthAfter) &&
      lengthAfter == lengthBefore + static_cast<std::int64_t>(written)) {
    file.truncate(lengthBefore + static_cast<std::int64_t>(keep));
  }
  return error;
}

JoinedLines joinLines(const std::vector<std::string>& texts, const char* separator) {
  JoinedLines lines;
  lines.ends.reserve(texts.size());
  for (const std::string& text : texts) {
    lines.records += text;
    lines.records += separator;
    lines.ends.push_back(lines.records.size());
  }
  return lines;
}

LockAttempt takeLock(const std::function<LockAttempt()>& tryLock, LockWait& wait,
                     const std::string* refusal) {
  using Clock = std::chrono::steady_clock;
  const Clock::time_point started = Clock::now();
  bool told = false;
  std::string toldRefusal;
  for (;;) {
    const LockAttempt attempt = tryLock();
    const bool waits = attempt == LockAttempt::Busy || attempt == LockAttempt::Refused;
    if (attempt == LockAttempt::Refused && refusal != nullptr && *refusal != toldRefusal) {
      told = true;
      toldRefusal = *refusal;
      wait.refused(toldRefusal);
    }
    const auto length =
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - started);
    if (!waits || !wait.mayWait()) {
      if (told) wait.ended(length, !waits);
      return attempt;
    }
    if (!told && length >= LockWait::kNoticeAfter) {
      told = true;
      wait.began();
    }
    std::this_thread::sleep_for(attempt == LockAttempt::Refused ? LockWait::kRefusedPause
                                                                : LockWait::kBusyPause);
  }
}
