#include <signal.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "support/bounded_wait.h"
#include "support/daemon_fixture.h"
#include "support/daemon_process.h"
#include "support/log_text.h"
#include "support/small_file_system.h"
#include "support/temp_directory.h"

namespace {

constexpr std::chrono::seconds kWait{5};
const std::size_t kStartLines = 5;
const char kWaiting[] = "   Now waiting for incoming packets";
const char kSkipped[] = "BrimletD : console not writable, lines skipped: ";

// Waits, bounded, until the file holds at least `count` lines.
bool waitForFileLines(const std::string& path, std::size_t count) {
  return waitUntil([&] { return lines(readFile(path)).size() >= count; }, kWait);
}

using DaemonConsoleTest = DaemonFixture;

// Whatever takes the waiting line for "ready" may stop the daemon at once:
// every such stop ends it cleanly.
TEST_F(DaemonConsoleTest, SigtermRightAfterTheWaitingLineAlwaysEndsWithStatusZero) {
  constexpr int kStarts = 100;
  int killed = 0;
  for (int start = 0; start < kStarts; ++start) {
    DaemonProcess daemon(directory_.path().string(), {std::to_string(port_), "N"});
    ASSERT_TRUE(daemon.waitForLines(kStartLines, kWait)) << daemon.console();
    ASSERT_NE(std::string::npos, daemon.console().find(kWaiting)) << daemon.console();
    daemon.sendSignal(SIGTERM);
    if (daemon.waitForExit(kWait) != 0) ++killed;
  }
  EXPECT_EQ(0, killed) << "of " << kStarts << " starts stopped right after the waiting line";
}

// Standard output on a file system that fills up and is freed again: the
// lines that could not be written are counted, and once there is room the
// console goes on, starting with the count.
TEST_F(DaemonConsoleTest, ConsoleOnAFullDiskIsWrittenAgainOnceThereIsRoom) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to mount a small tmpfs for a full disk";
  const std::string disk = directory_.file("disk");
  std::filesystem::create_directory(disk);
  SmallFileSystem small(disk, "64k");
  ASSERT_TRUE(small.mounted()) << "cannot mount a tmpfs on " << disk << ": " << small.error();
  const std::string console = disk + "/console.txt";

  DaemonProcess daemon(
      directory_.path().string(),
      {"-c", "exec \"$0\" \"$1\" N > \"$2\"", BRIMLETD_PATH, std::to_string(port_), console}, false,
      "/bin/sh");
  ASSERT_TRUE(waitForFileLines(console, kStartLines)) << readFile(console) << daemon.console();
  ASSERT_TRUE(fillUp(disk + "/filler", 1 << 20));

  // More than the console file's last page holds.
  constexpr int kWhileFull = 40;
  const std::string padding(200, 'p');
  for (int i = 0; i < kWhileFull; ++i) {
    sendToLoopback(port_, "Warning,full " + std::to_string(i) + padding);
    ASSERT_TRUE(waitForFileLines(log_, i + 1)) << "alert " << i << " not logged";
  }
  std::filesystem::remove(disk + "/filler");
  sendToLoopback(port_, "Warning,after");
  waitUntil([&] { return readFile(console).find("Warning,after\n") != std::string::npos; }, kWait);
  daemon.terminate();

  const std::vector<std::string> shown = lines(withoutTimes(readFile(console)));
  ASSERT_GE(shown.size(), kStartLines + 2) << readFile(console);
  EXPECT_EQ("<time>,Warning,after", shown.back()) << readFile(console);
  const std::string& report = shown[shown.size() - 2];
  ASSERT_EQ(0u, report.rfind(kSkipped, 0)) << readFile(console);
  // Every alert is either shown whole or counted as skipped.
  std::size_t whole = 0;
  for (int i = 0; i < kWhileFull; ++i) {
    whole += std::count(shown.begin(), shown.end(),
                        "<time>,Warning,full " + std::to_string(i) + padding);
  }
  EXPECT_GT(std::stoul(report.substr(sizeof kSkipped - 1)), 0u);
  EXPECT_EQ(static_cast<std::size_t>(kWhileFull),
            whole + std::stoul(report.substr(sizeof kSkipped - 1)))
      << readFile(console);
  EXPECT_EQ(static_cast<std::size_t>(kWhileFull + 1), lines(readFile(log_)).size());
}

// A console pipe that nobody reads fills up; the log goes on, and a stop ends
// the daemon while the pipe is still full.
TEST_F(DaemonConsoleTest, PipeNobodyReadsHoldsUpNeitherTheLogNorTheStop) {
  DaemonProcess daemon(directory_.path().string(), {std::to_string(port_), "N"});
  ASSERT_TRUE(daemon.waitForLines(kStartLines, kWait)) << daemon.console();
  // Control bytes are echoed four bytes each: some 1 KiB a line, three times
  // what a pipe holds.
  constexpr int kAlerts = 200;
  const std::string controls(240, '\x01');
  for (int i = 0; i < kAlerts; ++i) {
    sendToLoopback(port_, "Warning," + std::to_string(i) + controls);
    ASSERT_TRUE(waitForFileLines(log_, i + 1)) << "alert " << i << " not logged";
  }
  daemon.sendSignal(SIGTERM);
  EXPECT_EQ(0, daemon.waitForExit(kWait, false)) << "the stop waited for the console";
  EXPECT_EQ(static_cast<std::size_t>(kAlerts), lines(readFile(log_)).size());
}

}  // namespace
