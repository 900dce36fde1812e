#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "daemon_process.h"
#include "log_lock.h"
#include "log_text.h"
#include "temp_directory.h"

namespace {

constexpr std::chrono::seconds kWait{5};
const std::size_t kStartLines = 5;
const char kFileError[] = "BrimletD : IO Exception during entry file writting ";

// Reads the console, bounded, until it shows `text`.
bool waitForText(DaemonProcess& daemon, const std::string& text) {
  const auto deadline = std::chrono::steady_clock::now() + kWait;
  while (daemon.console().find(text) == std::string::npos) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    daemon.waitForLines(lines(daemon.console()).size() + 1, std::chrono::milliseconds(50));
  }
  return true;
}

class DaemonLogLockTest : public testing::Test {
 protected:
  TempDirectory directory_;
  const std::string log_ = directory_.file("brimletlog.txt");
};

// Another appender holds the lock while it writes: the daemon's entry waits
// for it and comes after the other entry, never inside or before it.
TEST_F(DaemonLogLockTest, EntryWaitsForAnotherWritersLock) {
  const int port = freeUdpPort();
  DaemonProcess daemon(directory_.path().string(), {std::to_string(port), "N"});
  ASSERT_TRUE(daemon.waitForLines(kStartLines, kWait)) << daemon.console();
  LogLock other(log_);
  ASSERT_TRUE(other.locked());
  ASSERT_TRUE(other.append("other writer's first half"));
  sendToLoopback(port, "Warning,daemon");
  // The entry is echoed only once it is appended.
  EXPECT_FALSE(daemon.waitForLines(kStartLines + 1, std::chrono::milliseconds(300)))
      << "appended while another writer held the lock";
  ASSERT_TRUE(other.append(", second half\n"));
  other.release();
  ASSERT_TRUE(daemon.waitForLines(kStartLines + 1, kWait)) << daemon.console();
  daemon.terminate();
  EXPECT_EQ("other writer's first half, second half\n<time>,Warning,daemon\n",
            withoutTimes(readFile(log_)));
}

// Two daemons on one file, one of them under a file-size limit: its entry
// that crosses the limit is cut back, and that never takes the other
// daemon's entry with it. Every line is whole, and every entry of the daemon
// without a limit is there.
TEST_F(DaemonLogLockTest, TwoDaemonsOnOneFileNeverCutEachOthersEntries) {
  const int limitedPort = freeUdpPort();
  DaemonProcess limited(directory_.path().string(), {std::to_string(limitedPort), "N"}, false,
                        BRIMLETD_PATH, 4000);
  ASSERT_TRUE(limited.waitForLines(kStartLines, kWait)) << limited.console();
  const int freePort = freeUdpPort();
  DaemonProcess free(directory_.path().string(), {std::to_string(freePort), "N"});
  ASSERT_TRUE(free.waitForLines(kStartLines, kWait)) << free.console();

  constexpr int kEach = 200;
  const std::string padding(40, 'p');
  for (int i = 0; i < kEach; ++i) {
    sendToLoopback(limitedPort, "Warning,limited " + std::to_string(i) + padding);
    sendToLoopback(freePort, "Warning,free " + std::to_string(i) + padding);
  }
  const std::string last = std::to_string(kEach - 1) + padding + "\n";
  EXPECT_TRUE(waitForText(limited, "Warning,limited " + last)) << limited.console();
  EXPECT_TRUE(waitForText(free, "Warning,free " + last)) << free.console();
  limited.terminate();
  free.terminate();

  const std::string log = readFile(log_);
  ASSERT_FALSE(log.empty());
  EXPECT_EQ('\n', log.back());
  std::vector<std::string> entries = lines(withoutTimes(log));
  std::size_t limitedEntries = 0;
  for (const std::string& entry : entries) {
    const bool fromLimited = entry.rfind("<time>,Warning,limited ", 0) == 0;
    const bool fromFree = entry.rfind("<time>,Warning,free ", 0) == 0;
    EXPECT_TRUE((fromLimited || fromFree) && entry.size() > padding.size() &&
                entry.compare(entry.size() - padding.size(), padding.size(), padding) == 0 &&
                entry.find("<time>", 1) == std::string::npos)
        << "not a whole entry: " << entry;
    if (fromLimited) ++limitedEntries;
  }
  for (int i = 0; i < kEach; ++i) {
    const std::string entry = "<time>,Warning,free " + std::to_string(i) + padding;
    EXPECT_EQ(1, std::count(entries.begin(), entries.end(), entry)) << entry;
  }
  // The limited daemon reported each entry it could not write.
  const std::vector<std::string> console = lines(limited.console());
  const auto failures = static_cast<std::size_t>(
      std::count(console.begin(), console.end(), std::string(kFileError) + "File too large"));
  EXPECT_GT(failures, 0u);
  EXPECT_EQ(static_cast<std::size_t>(kEach), limitedEntries + failures);
}

}  // namespace
