#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <regex>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "support/bounded_wait.h"
#include "support/daemon_process.h"
#include "support/log_lock.h"
#include "support/log_text.h"
#include "support/temp_directory.h"

namespace {

constexpr std::chrono::seconds kWait{5};
const std::size_t kStartLines = 5;
const char kFileError[] = "BrimletD : IO Exception during entry file writting ";

// Reads the console, bounded, until it shows `text`.
bool waitForText(DaemonProcess& daemon, const std::string& text,
                 std::chrono::milliseconds timeout = kWait) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
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
  // The entry is echoed only once it is appended (a wait is told before).
  EXPECT_FALSE(waitForText(daemon, ",Warning,daemon\n", std::chrono::milliseconds(300)))
      << "appended while another writer held the lock";
  ASSERT_TRUE(other.append(", second half\n"));
  other.release();
  ASSERT_TRUE(waitForText(daemon, ",Warning,daemon\n")) << daemon.console();
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

// Someone else holds a lock while alerts come: another writer, in the middle
// of its line, longer than any patience, whether it locks the lock file or
// the log itself; or a reader, the way one locks the whole log for reading.
// Entries wait for the writer and never cut its line, and the console says
// when the wait began and how long it took; a reader holds up nothing.
struct LockHolder {
  const char* name;
  bool writes;
  std::chrono::seconds hold;
  LockOn on;
};

void PrintTo(const LockHolder& c, std::ostream* out) { *out << c.name; }

class DaemonLockHolderTest : public DaemonLogLockTest,
                             public testing::WithParamInterface<LockHolder> {};

TEST_P(DaemonLockHolderTest, EntriesAreNeverCutAndOnlyAWriterHoldsThemUp) {
  const LockHolder& holder = GetParam();
  const int port = freeUdpPort();
  DaemonProcess daemon(directory_.path().string(), {std::to_string(port), "N"});
  ASSERT_TRUE(daemon.waitForLines(kStartLines, kWait)) << daemon.console();
  std::unique_ptr<LogLock> writer;
  const int reader = ::open(log_.c_str(), O_RDONLY | O_CREAT | O_CLOEXEC, 0644);
  if (holder.writes) {
    writer = std::make_unique<LogLock>(log_, holder.on);
    ASSERT_TRUE(writer->locked());
    ASSERT_TRUE(writer->append("other writer's first half"));
  } else {
    struct flock whole {};
    whole.l_type = F_RDLCK;
    ASSERT_EQ(0, ::fcntl(reader, F_OFD_SETLK, &whole));
    ASSERT_EQ(0, ::flock(reader, LOCK_SH));
  }
  constexpr int kAlerts = 3;
  std::string entries;
  for (int i = 0; i < kAlerts; ++i) {
    sendToLoopback(port, "Warning,held " + std::to_string(i));
    entries += "<time>,Warning,held " + std::to_string(i) + "\n";
  }
  const auto started = std::chrono::steady_clock::now();
  const auto logged = [&] { return lines(readFile(log_)).size() >= kAlerts; };
  EXPECT_EQ(!holder.writes, waitUntil(logged, holder.hold, std::chrono::milliseconds(20)))
      << "entries " << (holder.writes ? "appended past the writer's lock" : "held up by a reader");
  std::this_thread::sleep_for(holder.hold - (std::chrono::steady_clock::now() - started));
  if (writer) {
    ASSERT_TRUE(writer->append(", second half\n"));
    writer->release();
  }
  ::close(reader);
  EXPECT_TRUE(waitUntil(logged, kWait));
  daemon.terminate();
  EXPECT_EQ((holder.writes ? "other writer's first half, second half\n" : "") + entries,
            withoutTimes(readFile(log_)));
  static const std::regex waitLines(
      R"(BrimletD : log file locked by another writer, entries wait\n(.*\n)*)"
      R"(BrimletD : log file lock had after (\d+)\.\d s\n)");
  std::smatch wait;
  const bool reported = std::regex_search(daemon.console(), wait, waitLines);
  EXPECT_EQ(holder.writes, reported) << daemon.console();
  if (reported) {
    EXPECT_GE(std::stol(wait[2]), holder.hold.count() - 1) << daemon.console();
  }
}

INSTANTIATE_TEST_SUITE_P(
    Holders, DaemonLockHolderTest,
    testing::Values(LockHolder{"WriterMidLine", true, std::chrono::seconds(15), LockOn::LockFile},
                    LockHolder{"LogLockingWriterMidLine", true, std::chrono::seconds(3),
                               LockOn::Log},
                    LockHolder{"Reader", false, std::chrono::seconds(3), LockOn::LockFile}),
    [](const testing::TestParamInfo<LockHolder>& info) { return info.param.name; });

}  // namespace
