// What lies under the lock file's name must be the daemon's own plain file:
// anything else would let another user turn the lock off or hold the log.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <functional>
#include <string>

#include "support/daemon_process.h"
#include "support/log_text.h"
#include "support/temp_directory.h"

namespace {

constexpr std::chrono::seconds kWait{5};
const std::size_t kStartLines = 5;
const char kRefusedAtStart[] = "BrimletD : log lock file refused, exiting: brimletlog.txt.lock: ";
const char kRefusedWhileRunning[] =
    "BrimletD : log lock file refused, entries wait: brimletlog.txt.lock: ";

bool plantFile(const std::string& path, mode_t mode, uid_t owner) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  const bool made = fd >= 0 && ::fchmod(fd, mode) == 0 && ::fchown(fd, owner, owner) == 0;
  if (fd >= 0) ::close(fd);
  return made;
}

struct BadLockFile {
  const char* name;
  std::function<bool(const std::string& lockFile, const std::string& elsewhere)> plant;
  const char* reason;
  bool needsRoot = false;  // to plant another user's file
};

void PrintTo(const BadLockFile& c, std::ostream* out) { *out << c.name; }

class DaemonBadLockFileTest : public testing::TestWithParam<BadLockFile> {};

// The daemon ends at its start, before it receives anything, naming the
// file and the reason; it writes nothing, through a link least of all.
TEST_P(DaemonBadLockFileTest, RefusedAtTheStartWithItsReason) {
  if (GetParam().needsRoot && ::geteuid() != 0) GTEST_SKIP() << "needs root";
  TempDirectory directory;
  const std::string elsewhere = directory.file("elsewhere");
  ASSERT_TRUE(plantFile(elsewhere, 0600, ::geteuid()));
  ASSERT_TRUE(GetParam().plant(directory.file("brimletlog.txt.lock"), elsewhere));
  DaemonProcess daemon(directory.path().string(), {std::to_string(freeUdpPort()), "N"});
  EXPECT_EQ(1, daemon.waitForExit(kWait)) << daemon.console();
  EXPECT_NE(daemon.console().find(kRefusedAtStart + std::string(GetParam().reason) + "\n"),
            std::string::npos)
      << daemon.console();
  EXPECT_EQ(daemon.console().find("Now waiting"), std::string::npos) << daemon.console();
  EXPECT_EQ("", readFile(elsewhere));
}

INSTANTIATE_TEST_SUITE_P(
    LockFiles, DaemonBadLockFileTest,
    testing::Values(BadLockFile{"SymbolicLink",
                                [](const std::string& lock, const std::string& elsewhere) {
                                  return ::symlink(elsewhere.c_str(), lock.c_str()) == 0;
                                },
                                "a symbolic link"},
                    BadLockFile{"Fifo",
                                [](const std::string& lock, const std::string&) {
                                  return ::mkfifo(lock.c_str(), 0600) == 0;
                                },
                                "not a regular file"},
                    BadLockFile{"ForeignOwner",
                                [](const std::string& lock, const std::string&) {
                                  return plantFile(lock, 0600, 65534);  // nobody
                                },
                                "owned by another user", true},
                    BadLockFile{"Mode0666",
                                [](const std::string& lock, const std::string&) {
                                  return plantFile(lock, 0666, ::geteuid());
                                },
                                "writable by other users"}),
    [](const testing::TestParamInfo<BadLockFile>& info) { return info.param.name; });

// A lock file that turns bad while the daemon runs: entries wait in the
// queue, the console says why, and once the file is mended they are logged.
TEST(DaemonBadLockFile, EntriesWaitUntilItIsMended) {
  TempDirectory directory;
  const std::string lock = directory.file("brimletlog.txt.lock");
  const int port = freeUdpPort();
  DaemonProcess daemon(directory.path().string(), {std::to_string(port), "N"});
  ASSERT_TRUE(daemon.waitForLines(kStartLines, kWait)) << daemon.console();
  ASSERT_EQ(0, ::unlink(lock.c_str()));
  ASSERT_EQ(0, ::symlink(directory.file("elsewhere").c_str(), lock.c_str()));
  sendToLoopback(port, "Warning,held");
  ASSERT_TRUE(daemon.waitForLines(kStartLines + 1, kWait)) << daemon.console();
  EXPECT_EQ(kRefusedWhileRunning + std::string("a symbolic link"), lines(daemon.console()).back());
  EXPECT_EQ("", readFile(directory.file("brimletlog.txt")));
  ASSERT_EQ(0, ::unlink(lock.c_str()));
  ASSERT_TRUE(daemon.waitForLines(kStartLines + 3, kWait)) << daemon.console();
  daemon.terminate();
  EXPECT_EQ("<time>,Warning,held\n", withoutTimes(readFile(directory.file("brimletlog.txt"))));
  EXPECT_FALSE(std::ifstream(directory.file("elsewhere")).is_open()) << "written through the link";
}

}  // namespace
