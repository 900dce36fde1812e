#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "support/bounded_wait.h"
#include "support/daemon_fixture.h"
#include "support/daemon_process.h"
#include "support/log_lock.h"
#include "support/log_text.h"
#include "support/temp_directory.h"

namespace {

constexpr std::chrono::seconds kWait{5};
const std::size_t kStartLines = 5;
const char kFileError[] = "BrimletD : IO Exception during entry file writting ";

// Waits, bounded, until the daemon has taken every datagram out of its
// socket.
bool socketDrained(int port) {
  return waitUntil([&] { return receiveQueueBytes(port) == 0; }, kWait,
                   std::chrono::milliseconds(2));
}

// Alerts of one length, "Danger,batch NN" and padding: entries of 64 bytes
// with their line end.
std::string alert(int i) {
  char number[8];
  std::snprintf(number, sizeof number, "%02d", i);
  return "Danger,batch " + std::string(number) + std::string(28, '.');
}

using DaemonGroupCommitTest = DaemonFixture;

// Another writer holds the log while the alerts come, so that they wait in
// the daemon and go to the log in batches. The batch that crosses the
// file-size limit keeps the entries that fit whole; each of the others is
// cut back and reported as one failed entry is.
TEST_F(DaemonGroupCommitTest, BatchCrossingTheFileSizeLimitKeepsWholeEntriesAndReportsEachOther) {
  constexpr long kLimit = 1000;
  constexpr int kAlerts = 30;
  DaemonProcess daemon(directory_.path().string(), {std::to_string(port_), "N"}, false,
                       BRIMLETD_PATH, kLimit);
  ASSERT_TRUE(daemon.waitForLines(kStartLines, kWait)) << daemon.console();
  LogLock other(log_);
  ASSERT_TRUE(other.locked());
  for (int i = 0; i < kAlerts; ++i) sendToLoopback(port_, alert(i));
  ASSERT_TRUE(socketDrained(port_));
  other.release();

  const std::size_t entryBytes = 20 + alert(0).size() + 1;
  ASSERT_EQ(64u, entryBytes);
  const int fitting = static_cast<int>(kLimit / entryBytes);
  const int failing = kAlerts - fitting;
  ASSERT_TRUE(daemon.waitForLines(kStartLines + kAlerts + failing, kWait)) << daemon.console();
  daemon.terminate();

  std::string log;
  std::string console;
  for (int i = 0; i < kAlerts; ++i) {
    const std::string entry = "<time>," + alert(i) + "\n";
    if (i < fitting) {
      log += entry;
    } else {
      console += std::string(kFileError) + "File too large\n";
    }
    console += entry;
  }
  EXPECT_EQ(log, withoutTimes(readFile(log_)));
  const std::string shown = withoutTimes(daemon.console());
  EXPECT_EQ(console, shown.substr(shown.find("<time>,")));
}

// A rotation renames the log between two batches: the next batch opens a
// new file under the log's name, without any signal.
TEST_F(DaemonGroupCommitTest, NextBatchAfterARenameGoesToTheNewFile) {
  DaemonProcess daemon(directory_.path().string(), {std::to_string(port_), "N"});
  ASSERT_TRUE(daemon.waitForLines(kStartLines, kWait)) << daemon.console();
  sendToLoopback(port_, alert(0));
  ASSERT_TRUE(daemon.waitForLines(kStartLines + 1, kWait)) << daemon.console();
  ASSERT_EQ(0, std::rename(log_.c_str(), (log_ + ".1").c_str()));

  LogLock other(log_);
  ASSERT_TRUE(other.locked());
  for (int i = 1; i <= 3; ++i) sendToLoopback(port_, alert(i));
  ASSERT_TRUE(socketDrained(port_));
  other.release();
  ASSERT_TRUE(daemon.waitForLines(kStartLines + 4, kWait)) << daemon.console();
  daemon.terminate();

  EXPECT_EQ("<time>," + alert(0) + "\n", withoutTimes(readFile(log_ + ".1")));
  EXPECT_EQ("<time>," + alert(1) + "\n<time>," + alert(2) + "\n<time>," + alert(3) + "\n",
            withoutTimes(readFile(log_)));
}

}  // namespace
