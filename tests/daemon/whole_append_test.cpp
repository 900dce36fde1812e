#include "whole_append.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <deque>
#include <string>

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

}  // namespace
