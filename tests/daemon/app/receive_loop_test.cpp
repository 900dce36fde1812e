#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <deque>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "alerts/log_entry.h"
#include "app/brimletd.h"
#include "output/log_file.h"
#include "support/log_text.h"
#include "support/temp_directory.h"

namespace {

const char kTime[] = "05-03-2001 14:07:09";
const char kDanger[] = "Danger,user1,100%,0.00 Mb free,48.83 Mb max";
const char kWarning[] = "Warning,user2,80%,12.34 Mb free,61.73 Mb max";
const char kFileError[] = "BrimletD : IO Exception during entry file writting ";

// Hands out scripted datagrams, cut to the offered capacity as a socket does;
// an entry without payload stands for a failed receive. At the end of the
// script the source has stopped. A datagram or the end may carry the count
// of datagrams that the system dropped before it.
class ScriptedSource : public DatagramSource {
 public:
  void datagram(const std::string& payload, std::uint32_t droppedBySystem = 0,
                std::int64_t arrivalSecond = 0) {
    script_.push_back({true, payload, droppedBySystem, arrivalSecond});
  }
  void failure() { script_.push_back({false, "", 0, 0}); }
  void endWithDrops(std::uint32_t droppedBySystem) { droppedAtEnd_ = droppedBySystem; }

  ReceiveResult receive(char* buffer, std::size_t capacity) override {
    if (script_.empty()) {
      ReceiveResult end = stoppedResult();
      end.droppedBySystem = droppedAtEnd_;
      droppedAtEnd_ = 0;
      return end;
    }
    const Step step = script_.front();
    script_.pop_front();
    if (!step.ok) return {false, 0};
    const std::size_t length = std::min(step.payload.size(), capacity);
    std::memcpy(buffer, step.payload.data(), length);
    ReceiveResult result{true, length, false, step.droppedBySystem};
    result.arrivalSecond = step.arrivalSecond;
    return result;
  }

 private:
  struct Step {
    bool ok;
    std::string payload;
    std::uint32_t droppedBySystem;
    std::int64_t arrivalSecond;
  };
  std::deque<Step> script_;
  std::uint32_t droppedAtEnd_ = 0;
};

// The daemon on a scripted source, with the clock stopped at kTime unless a
// test sets it.
class TestDaemon : public BrimletD {
 public:
  TestDaemon(const Settings& settings, DatagramSource& source, std::ostream& console,
             std::size_t queueCapacity = kQueueCapacity)
      : BrimletD(settings, source, console, queueCapacity) {}
  std::string getCurrentDateFormated() override {
    return ownClock ? BrimletD::getCurrentDateFormated() : time;
  }
  using BrimletD::receiveOne;
  using BrimletD::ReceiveStep;
  using BrimletD::serve;
  using BrimletD::writeOne;
  using BrimletD::writeWaiting;

  std::string time = kTime;
  bool ownClock = false;
};

std::string fileLines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + kLineSeparator;
  return text;
}

class DaemonReceiveLoopTest : public testing::Test {
 protected:
  void SetUp() override { settings_.logFileName = log_; }

  // Runs the receiving and the writing thread to the end of the script.
  void runAll() {
    TestDaemon daemon(settings_, source_, console_);
    daemon.serve();
  }

  TempDirectory directory_;
  const std::string log_ = directory_.file("brimletlog.txt");
  BrimletD::Settings settings_;
  ScriptedSource source_;
  std::ostringstream console_;
};

// Settings given as the operator would give them, and the expected console.
// Every entry goes to the file as well as to the console, so the expected log
// is the console lines that start with the reception time.
struct Scenario {
  const char* name;
  std::vector<std::string> commandLine;
  std::vector<std::string> datagrams;
  std::vector<std::string> console;
};

void PrintTo(const Scenario& c, std::ostream* out) { *out << c.name; }

class DaemonScenarioTest : public DaemonReceiveLoopTest,
                           public testing::WithParamInterface<Scenario> {};

TEST_P(DaemonScenarioTest, LogsAndPrintsExactly) {
  std::ostringstream parsing;
  settings_ = BrimletD::parseArgs(GetParam().commandLine, parsing, settings_);
  ASSERT_EQ(std::string::npos, parsing.str().find("failed")) << parsing.str();
  for (const std::string& datagram : GetParam().datagrams) source_.datagram(datagram);
  runAll();

  std::string console;
  std::vector<std::string> entries;
  for (const std::string& line : GetParam().console) {
    console += line + "\n";
    if (line.rfind(kTime, 0) == 0) entries.push_back(line);
  }
  EXPECT_EQ(console, console_.str());
  EXPECT_EQ(fileLines(entries), readFile(log_));
}

std::string receivedAt(const std::string& message) { return std::string(kTime) + "," + message; }

const std::string kEntry = receivedAt(kDanger);
const char kDangerInName[] = "Warning,Dangerfield,81%, free, max";
const std::string kLong = "Danger," + std::string(300, 'x');

INSTANTIATE_TEST_SUITE_P(
    Datagrams, DaemonScenarioTest,
    testing::Values(
        Scenario{"LevelSwitch",
                 {"1", "Y"},
                 {kWarning, kDanger, kDangerInName},
                 {kEntry, receivedAt(kDangerInName)}},
        Scenario{"EmptyDatagram", {"1", "N"}, {""}, {receivedAt("")}},
        Scenario{"NegativeFilter",
                 {"1", "N", "-user2"},
                 {kWarning, kDanger},
                 {"Filte negatif :  ignoring !", "Filte negatif :  Accepting ", kEntry}},
        Scenario{
            "PositiveFilter", {"1", "N", "user2"}, {kDanger}, {"Filtre posisif :  ignoring !"}},
        Scenario{"ControlBytes",
                 {"1", "Y"},
                 {"Danger,u\nforged\x1B[31m"},
                 {receivedAt("Danger,u#012forged#033[31m")}},
        Scenario{
            "FirstBytesOfALongDatagram", {"1", "Y"}, {kLong}, {receivedAt(kLong.substr(0, 256))}}),
    [](const testing::TestParamInfo<Scenario>& info) { return info.param.name; });

TEST_F(DaemonReceiveLoopTest, AppendsToAnExistingLogWithoutTouchingIt) {
  { std::ofstream(log_, std::ios::binary) << "earlier entry" << kLineSeparator; }
  source_.datagram(kDanger);
  runAll();
  EXPECT_EQ(fileLines({"earlier entry", kEntry}), readFile(log_));
}

TEST_F(DaemonReceiveLoopTest, ReceiveErrorIsReportedAndTheLoopGoesOn) {
  source_.failure();
  source_.datagram(kDanger);
  runAll();
  EXPECT_EQ("BrimletD : IO Exception during socket operation \n" + kEntry + "\n", console_.str());
}

// Each side one turn at a time: what the writer makes of a datagram depends
// only on what the receiver took, in the order it took it.
TEST_F(DaemonReceiveLoopTest, EntriesKeepTheTimeOfReceptionAndTheirOrder) {
  settings_.showOnlyAlert = false;
  for (const char* alert : {"Danger,first", "Warning,second", "Danger,third"}) {
    source_.datagram(alert);
  }
  TestDaemon daemon(settings_, source_, console_);
  for (const char* time : {"05-03-2001 14:07:09", "05-03-2001 14:07:10", "05-03-2001 14:07:11"}) {
    daemon.time = time;
    ASSERT_EQ(TestDaemon::ReceiveStep::Received, daemon.receiveOne());
  }
  daemon.time = "written later";
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(daemon.writeOne());
  const std::string entries =
      fileLines({"05-03-2001 14:07:09,Danger,first", "05-03-2001 14:07:10,Warning,second",
                 "05-03-2001 14:07:11,Danger,third"});
  EXPECT_EQ(entries, readFile(log_));
  EXPECT_EQ(TestDaemon::ReceiveStep::Stopped, daemon.receiveOne());
}

// The daemon's own clock shows each datagram's arrival as the system
// stamped it, not the time it was taken from the socket.
TEST_F(DaemonReceiveLoopTest, EntriesShowTheArrivalTheSystemStamped) {
  settings_.showOnlyAlert = false;
  const std::int64_t arrivals[] = {983801229, 983801230};  // a second apart, in 2001
  source_.datagram("Danger,first", 0, arrivals[0]);
  source_.datagram("Danger,second", 0, arrivals[1]);
  TestDaemon daemon(settings_, source_, console_);
  daemon.ownClock = true;
  for (int i = 0; i < 2; ++i) ASSERT_EQ(TestDaemon::ReceiveStep::Received, daemon.receiveOne());
  for (int i = 0; i < 2; ++i) ASSERT_TRUE(daemon.writeOne());
  EXPECT_EQ(fileLines({localTimeAt(arrivals[0]) + ",Danger,first",
                       localTimeAt(arrivals[1]) + ",Danger,second"}),
            readFile(log_));
}

// A writer that falls behind a full queue: the receiver drops and counts, and
// the console names the count once the run of drops is over.
TEST_F(DaemonReceiveLoopTest, FullQueueDropsCountsAndSaysSoWithTheNextEntry) {
  for (int i = 1; i <= 6; ++i) source_.datagram("Danger," + std::to_string(i));
  TestDaemon daemon(settings_, source_, console_, 2);
  for (int i = 0; i < 4; ++i) ASSERT_EQ(TestDaemon::ReceiveStep::Received, daemon.receiveOne());
  ASSERT_TRUE(daemon.writeOne());
  ASSERT_EQ(TestDaemon::ReceiveStep::Received, daemon.receiveOne());  // 5 finds room
  ASSERT_EQ(TestDaemon::ReceiveStep::Received, daemon.receiveOne());  // 6 does not
  daemon.serve();  // nothing left to receive: writes the rest and stops

  const char kDropped[] = "BrimletD : receive queue full, datagrams dropped: ";
  EXPECT_EQ(receivedAt("Danger,1") + "\n" + receivedAt("Danger,2") + "\n" + kDropped + "2\n" +
                receivedAt("Danger,5") + "\n" + kDropped + "1\n",
            console_.str());
  EXPECT_EQ(fileLines({receivedAt("Danger,1"), receivedAt("Danger,2"), receivedAt("Danger,5")}),
            readFile(log_));
}

// Datagrams that wait when the writer wakes go to the log with one append,
// and the console shows them as one at a time would.
TEST_F(DaemonReceiveLoopTest, WaitingDatagramsAreWrittenAsOneBatchAndEchoedAsOneAtATime) {
  std::ostringstream parsing;
  settings_ = BrimletD::parseArgs({"1", "N", "-user2"}, parsing, settings_);
  source_.datagram("Danger,first");
  source_.datagram(kWarning);  // user2's: filtered out
  source_.failure();
  source_.datagram("Warning,third");
  TestDaemon daemon(settings_, source_, console_);
  for (int i = 0; i < 4; ++i) daemon.receiveOne();
  ASSERT_TRUE(daemon.writeWaiting());
  daemon.serve();  // nothing left to receive or write: the console's end

  EXPECT_EQ(fileLines({receivedAt("Danger,first"), receivedAt("Warning,third")}), readFile(log_));
  const std::string accepting = "Filte negatif :  Accepting \n";
  EXPECT_EQ(
      accepting + receivedAt("Danger,first") +
          "\nFilte negatif :  ignoring !\nBrimletD : IO Exception during socket operation \n" +
          accepting + receivedAt("Warning,third") + "\n",
      console_.str());
}

// Drops that the system reports come out as one line before the entry of
// the datagram that told of them, or at the end; a count that came with a
// datagram the full queue dropped in turn travels on with the next one.
TEST_F(DaemonReceiveLoopTest, SystemDropsAreSaidOnceEachAndSurviveAFullQueue) {
  const char kSystem[] = "BrimletD : socket buffer full, datagrams dropped: ";
  const char kQueue[] = "BrimletD : receive queue full, datagrams dropped: ";
  source_.datagram("Danger,1", 3);
  source_.datagram("Danger,2");
  source_.datagram("Danger,3", 5);  // the queue is full: dropped, its count kept
  source_.datagram("Danger,4", 2);
  source_.endWithDrops(7);
  TestDaemon daemon(settings_, source_, console_, 2);
  for (int i = 0; i < 3; ++i) ASSERT_EQ(TestDaemon::ReceiveStep::Received, daemon.receiveOne());
  ASSERT_TRUE(daemon.writeOne());
  daemon.serve();

  EXPECT_EQ(std::string(kSystem) + "3\n" + receivedAt("Danger,1") + "\n" + receivedAt("Danger,2") +
                "\n" + kSystem + "7\n" + kQueue + "1\n" + receivedAt("Danger,4") + "\n" + kSystem +
                "7\n",
            console_.str());
  EXPECT_EQ(fileLines({receivedAt("Danger,1"), receivedAt("Danger,2"), receivedAt("Danger,4")}),
            readFile(log_));
}

// In a batch as one at a time, the system's drops come out before the entry
// of the datagram that told of them.
TEST_F(DaemonReceiveLoopTest, SystemDropsInABatchComeBeforeTheirOwnEntries) {
  const char kSystem[] = "BrimletD : socket buffer full, datagrams dropped: ";
  source_.datagram("Danger,1", 3);
  source_.datagram("Danger,2");
  source_.datagram("Danger,3", 4);
  TestDaemon daemon(settings_, source_, console_);
  for (int i = 0; i < 3; ++i) ASSERT_EQ(TestDaemon::ReceiveStep::Received, daemon.receiveOne());
  ASSERT_TRUE(daemon.writeWaiting());
  daemon.serve();

  EXPECT_EQ(std::string(kSystem) + "3\n" + receivedAt("Danger,1") + "\n" + receivedAt("Danger,2") +
                "\n" + kSystem + "4\n" + receivedAt("Danger,3") + "\n",
            console_.str());
  EXPECT_EQ(fileLines({receivedAt("Danger,1"), receivedAt("Danger,2"), receivedAt("Danger,3")}),
            readFile(log_));
}

bool directoryInItsPlace(const std::string& log) { return std::filesystem::create_directory(log); }

bool readOnlyFile(const std::string& log) {
  { std::ofstream(log) << ""; }
  std::filesystem::permissions(log, std::filesystem::perms::owner_read |
                                        std::filesystem::perms::group_read |
                                        std::filesystem::perms::others_read);
  // A privileged user may write a read-only file anyway.
  std::FILE* probe = std::fopen(log.c_str(), "ab");
  if (probe != nullptr) std::fclose(probe);
  return probe == nullptr;
}

// Blocks the log file in one way; block answers false when the user's rights
// make that impossible.
struct LogBlocker {
  const char* name;
  bool (*block)(const std::string& log);
};

void PrintTo(const LogBlocker& c, std::ostream* out) { *out << c.name; }

class DaemonUnwritableLogTest : public DaemonReceiveLoopTest,
                                public testing::WithParamInterface<LogBlocker> {};

TEST_P(DaemonUnwritableLogTest, EachEntryIsReportedEchoedAndTheLoopGoesOn) {
  if (!GetParam().block(log_)) GTEST_SKIP() << "this user can write a read-only file";
  source_.datagram(kDanger);
  source_.datagram(kDanger);
  runAll();

  std::istringstream console(console_.str());
  std::vector<std::string> lines;
  for (std::string line; std::getline(console, line);) lines.push_back(line);
  ASSERT_EQ(4u, lines.size()) << console_.str();
  for (std::size_t i = 0; i < 4; i += 2) {
    EXPECT_EQ(kFileError, lines[i].substr(0, std::strlen(kFileError)));
    EXPECT_GT(lines[i].size(), std::strlen(kFileError)) << "no system description";
    EXPECT_EQ(kEntry, lines[i + 1]);
  }
}

TEST_P(DaemonUnwritableLogTest, EachEntryOfABatchIsReportedAndEchoed) {
  if (!GetParam().block(log_)) GTEST_SKIP() << "this user can write a read-only file";
  for (int i = 0; i < 3; ++i) source_.datagram(kDanger);
  TestDaemon daemon(settings_, source_, console_);
  for (int i = 0; i < 3; ++i) daemon.receiveOne();
  ASSERT_TRUE(daemon.writeWaiting());
  daemon.serve();

  std::istringstream console(console_.str());
  std::vector<std::string> lines;
  for (std::string line; std::getline(console, line);) lines.push_back(line);
  ASSERT_EQ(6u, lines.size()) << console_.str();
  for (std::size_t i = 0; i < 6; i += 2) {
    EXPECT_EQ(kFileError, lines[i].substr(0, std::strlen(kFileError)));
    EXPECT_GT(lines[i].size(), std::strlen(kFileError)) << "no system description";
    EXPECT_EQ(kEntry, lines[i + 1]);
  }
}

INSTANTIATE_TEST_SUITE_P(Blocks, DaemonUnwritableLogTest,
                         testing::Values(LogBlocker{"DirectoryInItsPlace", &directoryInItsPlace},
                                         LogBlocker{"ReadOnlyFile", &readOnlyFile}),
                         [](const testing::TestParamInfo<LogBlocker>& info) {
                           return info.param.name;
                         });

}  // namespace
