#include "output/whole_append.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <chrono>
#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr int kNoSpace = 28;
constexpr int kTooLarge = 27;

// A file in memory whose writes follow a script: each write takes at most
// the scripted number of bytes and then answers the scripted error. Another
// writer can append between two writes.
class ScriptedFile : public AppendTarget {
 public:
  struct Write {
    std::size_t most;
    int error;
  };

  explicit ScriptedFile(const std::string& content) : content(content) {}

  bool length(std::int64_t* bytes) override {
    if (!lengthKnown) return false;
    *bytes = static_cast<std::int64_t>(content.size());
    return true;
  }

  std::size_t write(const char* data, std::size_t size, int* error) override {
    Write next = script.empty() ? Write{size, 0} : script.front();
    if (!script.empty()) script.pop_front();
    ++writes;
    const std::size_t now = std::min(size, next.most);
    content.append(data, now);
    content += otherWriter;
    otherWriter.clear();
    *error = next.error;
    return now;
  }

  void truncate(std::int64_t bytes) override {
    content.resize(static_cast<std::size_t>(bytes));
    ++truncations;
  }

  std::string content;
  std::deque<Write> script;
  std::string otherWriter;  // appended once, after the next write
  bool lengthKnown = true;
  int truncations = 0;
  int writes = 0;
};

const std::string kEarlier = "earlier entry\n";
const std::string kRecord = "05-03-2001 14:07:09,Danger,user1\n";

int append(ScriptedFile& file) {
  return appendWhole(file, kRecord, static_cast<std::int64_t>(file.content.size()), kNoSpace);
}

TEST(DaemonAppendWhole, CompleteWriteAppendsTheRecord) {
  ScriptedFile file(kEarlier);
  EXPECT_EQ(0, append(file));
  EXPECT_EQ(kEarlier + kRecord, file.content);
  EXPECT_EQ(0, file.truncations);
}

TEST(DaemonAppendWhole, ShortWritesGoOnUntilTheRecordIsWhole) {
  ScriptedFile file(kEarlier);
  file.script = {{5, 0}, {1, 0}};
  EXPECT_EQ(0, append(file));
  EXPECT_EQ(kEarlier + kRecord, file.content);
}

// The systems' ways of failing part of the way: a short write then the
// reason, a short write then no progress, a write that fails after taking
// bytes (Windows may answer so).
TEST(DaemonAppendWhole, PartOfARecordIsTakenBackAndTheReasonAnswered) {
  for (const auto& script : {std::deque<ScriptedFile::Write>{{10, 0}, {0, kTooLarge}},
                             std::deque<ScriptedFile::Write>{{10, 0}, {0, 0}},
                             std::deque<ScriptedFile::Write>{{10, kTooLarge}}}) {
    ScriptedFile file(kEarlier);
    file.script = script;
    const int expected = script.back().error != 0 ? kTooLarge : kNoSpace;
    EXPECT_EQ(expected, append(file));
    EXPECT_EQ(kEarlier, file.content);
    EXPECT_EQ(1, file.truncations);
  }
}

TEST(DaemonAppendWhole, NothingWrittenIsNothingToTakeBack) {
  ScriptedFile file(kEarlier);
  file.script = {{0, kNoSpace}};
  EXPECT_EQ(kNoSpace, append(file));
  EXPECT_EQ(kEarlier, file.content);
  EXPECT_EQ(0, file.truncations);
}

// Another process appended its entry after the part: cutting back would take
// that entry too, so the part stays.
TEST(DaemonAppendWhole, AnotherWritersEntryIsNeverCutAway) {
  ScriptedFile file(kEarlier);
  file.script = {{10, 0}, {0, kNoSpace}};
  file.otherWriter = "other process\n";
  EXPECT_EQ(kNoSpace, append(file));
  EXPECT_EQ(kEarlier + kRecord.substr(0, 10) + "other process\n", file.content);
  EXPECT_EQ(0, file.truncations);
}

TEST(DaemonAppendWhole, UnknownLengthsTakeNothingBack) {
  ScriptedFile before(kEarlier);
  before.script = {{10, kNoSpace}};
  EXPECT_EQ(kNoSpace, appendWhole(before, kRecord, -1, kNoSpace));
  EXPECT_EQ(0, before.truncations);

  ScriptedFile after(kEarlier);
  after.script = {{10, kNoSpace}};
  after.lengthKnown = false;
  EXPECT_EQ(kNoSpace, append(after));
  EXPECT_EQ(0, after.truncations);
}

// Several records in one write: those that made it whole stay, and only the
// rest is taken back.
struct BatchCase {
  const char* name;
  std::deque<ScriptedFile::Write> script;
  std::string otherWriter;
  std::size_t whole;      // records whole in the file afterwards
  std::size_t keptBytes;  // of the batch, after the earlier content
  int truncations;
};

void PrintTo(const BatchCase& c, std::ostream* out) { *out << c.name; }

class DaemonAppendRecords : public testing::TestWithParam<BatchCase> {};

const std::vector<std::string> kBatch = {"05-03-2001 14:07:09,first", "05-03-2001 14:07:10,second",
                                         "05-03-2001 14:07:11,third"};
const JoinedLines kJoined = joinLines(kBatch, "\n");

TEST_P(DaemonAppendRecords, KeepsTheWholeRecordsAndTakesBackTheRest) {
  const std::string& records = kJoined.records;
  ScriptedFile file(kEarlier);
  file.script = GetParam().script;
  file.otherWriter = GetParam().otherWriter;
  std::size_t whole = 99;
  const int error = appendRecords(file, records, kJoined.ends,
                                  static_cast<std::int64_t>(kEarlier.size()), kNoSpace, &whole);
  EXPECT_EQ(GetParam().whole == kBatch.size() ? 0 : kNoSpace, error);
  EXPECT_EQ(GetParam().whole, whole);
  if (GetParam().otherWriter.empty()) {
    EXPECT_EQ(kEarlier + records.substr(0, GetParam().keptBytes), file.content);
  }
  EXPECT_EQ(GetParam().truncations, file.truncations);
}

const std::size_t kFirst = kJoined.ends[0];
const std::size_t kTwo = kJoined.ends[1];

INSTANTIATE_TEST_SUITE_P(
    Batches, DaemonAppendRecords,
    testing::Values(
        BatchCase{"Complete", {}, "", 3, kJoined.records.size(), 0},
        BatchCase{"InsideTheSecond", {{kFirst + 5, 0}, {0, kNoSpace}}, "", 1, kFirst, 1},
        BatchCase{"AtTheEndOfTheSecond", {{kTwo, kNoSpace}}, "", 2, kTwo, 0},
        BatchCase{"NothingWritten", {{0, kNoSpace}}, "", 0, 0, 0},
        BatchCase{"InsideTheFirst", {{3, kNoSpace}}, "", 0, 0, 1},
        // Another writer's entry came after the part: the part stays.
        BatchCase{
            "AnotherWriterAfterThePart", {{kFirst + 5, 0}, {0, kNoSpace}}, "other\n", 1, 0, 0}),
    [](const testing::TestParamInfo<BatchCase>& info) { return info.param.name; });

TEST(DaemonAppendRecords, OneWriteForTheWholeBatch) {
  ScriptedFile file(kEarlier);
  std::size_t whole = 0;
  EXPECT_EQ(0, appendRecords(file, kJoined.records, kJoined.ends, 0, kNoSpace, &whole));
  EXPECT_EQ(1, file.writes);
  EXPECT_EQ(3u, whole);
}

TEST(DaemonJoinLines, EachTextEndsWithTheSeparatorAndItsLineEndIsKept) {
  const JoinedLines lines = joinLines({"first", "", "third"}, "\r\n");
  EXPECT_EQ("first\r\n\r\nthird\r\n", lines.records);
  EXPECT_EQ((std::vector<std::size_t>{7, 9, 16}), lines.ends);
  const JoinedLines none = joinLines({}, "\r\n");
  EXPECT_EQ("", none.records);
  EXPECT_TRUE(none.ends.empty());
}

// A lock that answers from a script, then stays as its last answer.
struct ScriptedLock {
  std::deque<LockAttempt> answers;
  int tries = 0;
  LockAttempt operator()() {
    ++tries;
    const LockAttempt answer = answers.front();
    if (answers.size() > 1) answers.pop_front();
    return answer;
  }
};

// A wait that may stop after a number of tries, and what it was told.
struct CountedWait : LockWait {
  int triesAllowed = 1 << 30;
  int began_ = 0;
  int ended_ = 0;
  bool had = false;
  std::vector<std::string> refusals;
  bool mayWait() override { return --triesAllowed > 0; }
  void began() override { ++began_; }
  void refused(const std::string& reason) override { refusals.push_back(reason); }
  void ended(std::chrono::milliseconds, bool lockHad) override {
    ++ended_;
    had = lockHad;
  }
};

TEST(DaemonLockWait, WaitsForAnotherWriterAndTakesTheLock) {
  CountedWait wait;
  ScriptedLock other{{LockAttempt::Busy, LockAttempt::Busy, LockAttempt::Locked}};
  EXPECT_EQ(LockAttempt::Locked, takeLock(std::ref(other), wait));
  EXPECT_EQ(3, other.tries);
  EXPECT_EQ(0, wait.began_) << "a short turn of another writer is not told";
}

TEST(DaemonLockWait, FileSystemWithoutLocksIsAppendedToAtOnce) {
  CountedWait wait;
  ScriptedLock none{{LockAttempt::Unsupported}};
  EXPECT_EQ(LockAttempt::Unsupported, takeLock(std::ref(none), wait));
  EXPECT_EQ(1, none.tries);
}

// A holder that keeps the lock is never passed by: the wait goes on until
// the holder lets go, or until the waiter gives up, and a wait that lasts
// is told once when it begins and once when it ends.
TEST(DaemonLockWait, LongHolderIsWaitedForAndTheWaitIsToldOnce) {
  CountedWait held;
  ScriptedLock slow{std::deque<LockAttempt>(200, LockAttempt::Busy)};
  slow.answers.push_back(LockAttempt::Locked);
  EXPECT_EQ(LockAttempt::Locked, takeLock(std::ref(slow), held));
  EXPECT_EQ(1, held.began_);
  EXPECT_EQ(1, held.ended_);
  EXPECT_TRUE(held.had);

  CountedWait givenUp;
  givenUp.triesAllowed = 100;
  ScriptedLock hung{{LockAttempt::Busy}};
  EXPECT_EQ(LockAttempt::Busy, takeLock(std::ref(hung), givenUp));
  EXPECT_EQ(100, hung.tries);
  EXPECT_EQ(1, givenUp.ended_);
  EXPECT_FALSE(givenUp.had);
}

// A refused lock file is waited out like a holder, but told at once with
// its reason, and again only when the reason changes.
TEST(DaemonLockWait, RefusedLockFileIsToldAtOnceAndWaitedOut) {
  CountedWait wait;
  ScriptedLock refused{{LockAttempt::Refused, LockAttempt::Refused, LockAttempt::Locked}};
  const std::string reason = "x.lock: a symbolic link";
  EXPECT_EQ(LockAttempt::Locked, takeLock(std::ref(refused), wait, &reason));
  EXPECT_EQ(std::vector<std::string>{reason}, wait.refusals);
  EXPECT_EQ(1, wait.ended_);
  EXPECT_TRUE(wait.had);
}

}  // namespace
