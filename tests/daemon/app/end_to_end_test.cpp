#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "support/bounded_wait.h"
#include "support/daemon_fixture.h"
#include "support/daemon_process.h"
#include "support/log_lock.h"
#include "support/log_text.h"
#include "support/small_file_system.h"
#include "support/temp_directory.h"

namespace {

constexpr std::chrono::seconds kWait{5};
const char kDanger[] = "Danger,user1,100%,0.00 Mb free,48.83 Mb max";
const char kWarning[] = "Warning,user2,80%,12.34 Mb free,61.73 Mb max";
const char kBanner[] =
    "BrimletD V. 1.0  Brimlet alert message logguer\n"
    " Parsing command line arguments ...\n"
    " Following parameters will be used\n";
const char kWaiting[] = "   Now waiting for incoming packets\n";
const std::size_t kStartLines = 5;

std::string settings(int port, const char* level, const char* filter) {
  return " port=" + std::to_string(port) + " showOnlyAlert=" + level +
         " logFile=brimletlog.txt filter=" + filter + "\n";
}

const char kFileError[] = "BrimletD : IO Exception during entry file writting ";

// Sends one alert and waits until the daemon has handled it: its entry on the
// console, after the file error line if the entry could not be written.
// Answers whether it was written, and false as well if nothing came.
bool sendAndWait(DaemonProcess& daemon, int port, const std::string& alert, bool* handled) {
  const std::size_t before = lines(daemon.console()).size();
  sendToLoopback(port, alert);
  *handled = daemon.waitForLines(before + 1, kWait);
  if (!*handled) return false;
  // The first new line tells: both lines of a failed entry may already be
  // there, and the last one is then the entry itself.
  if (lines(daemon.console())[before].rfind(kFileError, 0) != 0) return true;
  *handled = daemon.waitForLines(before + 2, kWait);
  return false;
}

// Every line of a log must be one whole entry of one of the alerts.
void expectWholeEntries(const std::string& log, const std::vector<std::string>& alerts) {
  ASSERT_FALSE(log.empty());
  EXPECT_EQ('\n', log.back()) << "the log ends inside an entry";
  for (const std::string& line : lines(withoutTimes(log))) {
    bool whole = false;
    for (const std::string& alert : alerts) whole = whole || line == "<time>," + alert;
    EXPECT_TRUE(whole) << "not a whole entry: " << line;
  }
}

using DaemonEndToEndTest = DaemonFixture;

TEST_F(DaemonEndToEndTest, KeepsDangerAlertsWithTheirFirstBytesAndEscapesLineBreaks) {
  DaemonProcess daemon(directory_.path().string(), {std::to_string(port_), "Y"});
  ASSERT_TRUE(daemon.waitForLines(kStartLines, kWait)) << daemon.console();

  const std::string longAlert = "Danger," + std::string(300, 'z');
  // Handled in order: once the last entry shows, the warning was dropped.
  for (const std::string& datagram : {std::string(kWarning), std::string(kDanger), longAlert,
                                      std::string("Danger,user3\nforged,line")}) {
    sendToLoopback(port_, datagram);
  }
  ASSERT_TRUE(daemon.waitForLines(kStartLines + 3, kWait)) << daemon.console();
  daemon.terminate();

  const std::string entries = "<time>," + std::string(kDanger) + "\n<time>," +
                              longAlert.substr(0, 256) + "\n<time>,Danger,user3#012forged,line\n";
  EXPECT_EQ(kBanner + settings(port_, "true", "(true)") + kWaiting + entries,
            withoutTimes(daemon.console()));
  EXPECT_EQ(entries, withoutTimes(readFile(log_)));
}

TEST_F(DaemonEndToEndTest, SecondRunAppendsToTheSameLog) {
  {
    DaemonProcess first(directory_.path().string(), {std::to_string(port_), "N"});
    ASSERT_TRUE(first.waitForLines(kStartLines, kWait)) << first.console();
    sendToLoopback(port_, kWarning);
    ASSERT_TRUE(first.waitForLines(kStartLines + 1, kWait)) << first.console();
    first.terminate();
  }
  DaemonProcess second(directory_.path().string(), {std::to_string(port_), "n", "-User2"});
  ASSERT_TRUE(second.waitForLines(kStartLines, kWait)) << second.console();
  sendToLoopback(port_, kWarning);
  sendToLoopback(port_, "");
  ASSERT_TRUE(second.waitForLines(kStartLines + 3, kWait)) << second.console();
  second.terminate();

  EXPECT_EQ(kBanner + settings(port_, "false", "USER2(false)") + kWaiting +
                "Filte negatif :  ignoring !\nFilte negatif :  Accepting \n<time>,\n",
            withoutTimes(second.console()));
  EXPECT_EQ("<time>," + std::string(kWarning) + "\n<time>,\n", withoutTimes(readFile(log_)));
}

TEST_F(DaemonEndToEndTest, ReadOnlyLogIsReportedForEveryEntryAndTheDaemonGoesOn) {
  const std::string& log = log_;
  { std::ofstream(log) << "kept\n"; }
  std::filesystem::permissions(log, std::filesystem::perms::owner_read |
                                        std::filesystem::perms::group_read |
                                        std::filesystem::perms::others_read);
  DaemonProcess daemon(directory_.path().string(), {std::to_string(port_), "N"}, true);
  ASSERT_TRUE(daemon.waitForLines(kStartLines, kWait)) << daemon.console();
  sendToLoopback(port_, kDanger);
  sendToLoopback(port_, kWarning);
  ASSERT_TRUE(daemon.waitForLines(kStartLines + 4, kWait)) << daemon.console();
  daemon.terminate();

  const std::string failure =
      "BrimletD : IO Exception during entry file writting Permission denied\n";
  EXPECT_EQ(kBanner + settings(port_, "false", "(true)") + kWaiting + failure + "<time>," +
                kDanger + "\n" + failure + "<time>," + kWarning + "\n",
            withoutTimes(daemon.console()));
  EXPECT_EQ("kept\n", readFile(log));
}

// A clone in root's home lies in a folder of mode 0700 that nobody cannot
// enter: the unprivileged daemon still starts, from a copy, and a working
// folder nobody cannot reach is named on the console instead of failing
// silently.
TEST_F(DaemonEndToEndTest, UnprivilegedStartCopesWithPrivateFoldersAndNamesWhatItCannotReach) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to run the daemon as nobody";
  namespace fs = std::filesystem;
  const fs::path privateFolder = directory_.path() / "private";
  fs::create_directory(privateFolder);
  fs::permissions(privateFolder, fs::perms::owner_all);
  const fs::path program = privateFolder / "brimletd";
  fs::copy_file(BRIMLETD_PATH, program);

  {
    DaemonProcess daemon(directory_.path().string(), {std::to_string(port_), "N"}, true,
                         program.string());
    EXPECT_TRUE(daemon.waitForLines(kStartLines, kWait)) << daemon.console();
  }
  DaemonProcess unreachable(privateFolder.string(), {std::to_string(port_), "N"}, true);
  EXPECT_EQ(127, unreachable.waitForExit(kWait));
  EXPECT_EQ("test harness: cannot enter the working folder " + privateFolder.string() +
                ": Permission denied\n",
            unreachable.console());
}

TEST_F(DaemonEndToEndTest, FullDiskLeavesOnlyWholeEntriesAndTheNextEntryOnALineOfItsOwn) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to mount a small tmpfs for a full disk";
  const std::string disk = directory_.file("disk");
  std::filesystem::create_directory(disk);
  SmallFileSystem small(disk, "64k");
  ASSERT_TRUE(small.mounted()) << "cannot mount a tmpfs on " << disk << ": " << small.error();

  DaemonProcess daemon(disk, {std::to_string(port_), "N"});
  ASSERT_TRUE(daemon.waitForLines(kStartLines, kWait)) << daemon.console();
  // Entries of 100 bytes: a 4 KiB page is no whole number of them, so the
  // log's last page takes part of an entry once the rest of the disk is full.
  const std::string alert = "Danger," + std::string(72, 'f');
  bool handled = false;
  ASSERT_TRUE(sendAndWait(daemon, port_, alert, &handled)) << daemon.console();
  ASSERT_TRUE(fillUp(disk + "/filler", 1 << 20));

  bool written = true;
  for (int sent = 0; sent < 60 && written; ++sent) {
    written = sendAndWait(daemon, port_, alert, &handled);
    ASSERT_TRUE(handled) << daemon.console();
  }
  ASSERT_FALSE(written) << "the 64 KiB file system never got full within 60 alerts";
  EXPECT_NE(std::string::npos,
            daemon.console().find(std::string(kFileError) + "No space left on device\n"));

  std::filesystem::remove(disk + "/filler");
  const std::string after = "Danger,after the disk was freed";
  ASSERT_TRUE(sendAndWait(daemon, port_, after, &handled)) << daemon.console();
  daemon.terminate();
  const std::string log = readFile(disk + "/brimletlog.txt");
  expectWholeEntries(log, {alert, after});
  EXPECT_EQ("<time>," + after, lines(withoutTimes(log)).back());
}

// Under a file-size limit the write that crosses it fails with "File too
// large" (and the daemon would die of SIGXFSZ at the next one); the daemon
// reports it, keeps the log whole and goes on.
// A link or a FIFO planted under the log's name neither redirects the
// entries nor hangs the daemon: each is a file error, and the daemon goes on.
TEST_F(DaemonEndToEndTest, PlantedLinkOrFifoIsAFileErrorThatRedirectsNothing) {
  const std::string& log = log_;
  const std::string elsewhere = directory_.file("elsewhere.txt");
  { std::ofstream(elsewhere) << "kept\n"; }
  std::filesystem::create_symlink(elsewhere, log);
  {
    DaemonProcess daemon(directory_.path().string(), {std::to_string(port_), "N"});
    ASSERT_TRUE(daemon.waitForLines(kStartLines, kWait)) << daemon.console();
    sendToLoopback(port_, kWarning);
    ASSERT_TRUE(daemon.waitForLines(kStartLines + 2, kWait)) << daemon.console();
    EXPECT_NE(std::string::npos,
              daemon.console().find(std::string(kFileError) + "Too many levels of symbolic links"))
        << daemon.console();
  }
  EXPECT_EQ("kept\n", readFile(elsewhere));

  std::filesystem::remove(log);
  ASSERT_EQ(0, ::mkfifo(log.c_str(), 0644));
  DaemonProcess daemon(directory_.path().string(), {std::to_string(port_), "N"});
  ASSERT_TRUE(daemon.waitForLines(kStartLines, kWait)) << daemon.console();
  sendToLoopback(port_, kWarning);
  sendToLoopback(port_, kWarning);
  ASSERT_TRUE(daemon.waitForLines(kStartLines + 4, kWait)) << daemon.console();
  EXPECT_NE(std::string::npos,
            daemon.console().find(std::string(kFileError) + "No such device or address"))
      << daemon.console();
  EXPECT_TRUE(daemon.running());
}

TEST_F(DaemonEndToEndTest, ClosedConsoleDoesNotStopLogging) {
  DaemonProcess daemon(directory_.path().string(), {std::to_string(port_), "N"});
  ASSERT_TRUE(daemon.waitForLines(kStartLines, kWait)) << daemon.console();
  daemon.closeConsole();
  const std::string& log = log_;
  const std::string entry = "<time>," + std::string(kWarning) + "\n";
  // Bounded: each alert is given a second to reach the log.
  for (int sent = 1; sent <= 3; ++sent) {
    sendToLoopback(port_, kWarning);
    std::string expected;
    for (int i = 0; i < sent; ++i) expected += entry;
    waitUntil([&] { return withoutTimes(readFile(log)) == expected; }, std::chrono::seconds(1),
              std::chrono::milliseconds(10));
    ASSERT_EQ(expected, withoutTimes(readFile(log))) << "after alert " << sent;
  }
  EXPECT_TRUE(daemon.running());
}

TEST_F(DaemonEndToEndTest, FileSizeLimitIsAWriteErrorAndTheDaemonGoesOn) {
  // Entries are 64 bytes: two fit under 150, the third crosses the limit.
  DaemonProcess daemon(directory_.path().string(), {std::to_string(port_), "N"}, false,
                       BRIMLETD_PATH, 150);
  ASSERT_TRUE(daemon.waitForLines(kStartLines, kWait)) << daemon.console();
  bool handled = false;
  const std::vector<bool> written{true, true, false, false};
  for (std::size_t i = 0; i < written.size(); ++i) {
    EXPECT_EQ(written[i], sendAndWait(daemon, port_, kDanger, &handled)) << i;
    ASSERT_TRUE(handled) << "alert " << i << " not handled:\n" << daemon.console();
  }
  EXPECT_TRUE(daemon.running());
  daemon.terminate();
  const std::string failure = std::string(kFileError) + "File too large\n";
  const std::string entry = "<time>," + std::string(kDanger) + "\n";
  EXPECT_EQ(kBanner + settings(port_, "false", "(true)") + kWaiting + entry + entry + failure +
                entry + failure + entry,
            withoutTimes(daemon.console()));
  EXPECT_EQ(entry + entry, withoutTimes(readFile(log_)));
}

// Sends `count` alerts "Danger,burst N" in chunks that fit the daemon's
// socket buffer, each after the last one has left the kernel's queue, so that
// none is lost before the daemon takes it. Bounded: at most kWait per chunk.
bool sendBurst(int port, int count) {
  constexpr int kChunk = 100;
  for (int sent = 0; sent < count;) {
    for (int end = std::min(count, sent + kChunk); sent < end; ++sent) {
      sendToLoopback(port, "Danger,burst " + std::to_string(sent));
    }
    const auto deadline = std::chrono::steady_clock::now() + kWait;
    while (receiveQueueBytes(port) != 0) {
      if (std::chrono::steady_clock::now() >= deadline) return false;
      std::this_thread::yield();
    }
  }
  return true;
}

class DaemonStopTest : public DaemonEndToEndTest, public testing::WithParamInterface<int> {};

// Another appender holds the log's lock during the burst, so that the whole
// burst waits in the daemon's queue when the stop comes (the test reads
// nothing from the console meanwhile either). Every entry must still reach
// the log and the console, in order, before the daemon exits 0.
TEST_P(DaemonStopTest, WritesEveryQueuedEntryThenExitsWithStatusZero) {
  const std::string& log = log_;
  LogLock otherWriter(log);
  ASSERT_TRUE(otherWriter.locked());
  DaemonProcess daemon(directory_.path().string(), {std::to_string(port_), "Y"});
  ASSERT_TRUE(daemon.waitForLines(kStartLines, kWait)) << daemon.console();
  constexpr int kBurst = 20000;
  ASSERT_TRUE(sendBurst(port_, kBurst)) << "the daemon stopped receiving";
  ASSERT_TRUE(readFile(log).empty()) << "written past another writer's lock";
  daemon.sendSignal(GetParam());
  otherWriter.release();

  EXPECT_EQ(0, daemon.waitForExit(std::chrono::seconds(60)));
  std::string entries;
  for (int i = 0; i < kBurst; ++i) entries += "<time>,Danger,burst " + std::to_string(i) + "\n";
  EXPECT_TRUE(withoutTimes(readFile(log)) == entries) << "not every entry, or not in order";
  // The wait for the other writer is told before the entries.
  static const std::regex wait(
      "BrimletD : log file locked by another writer, entries wait\n"
      "BrimletD : log file lock had after [0-9]+\\.[0-9] s\n");
  EXPECT_TRUE(kBanner + settings(port_, "true", "(true)") + kWaiting + entries ==
              std::regex_replace(withoutTimes(daemon.console()), wait, ""))
      << "console not as expected";
}

INSTANTIATE_TEST_SUITE_P(Signals, DaemonStopTest, testing::Values(SIGTERM, SIGINT),
                         [](const testing::TestParamInfo<int>& info) {
                           return info.param == SIGTERM ? "Term" : "Interrupt";
                         });

struct UnopenablePort {
  const char* name;
  const char* port;  // empty: a port another socket holds
  const char* description;
};

void PrintTo(const UnopenablePort& c, std::ostream* out) { *out << c.name; }

class DaemonUnopenableSocketTest : public DaemonEndToEndTest,
                                   public testing::WithParamInterface<UnopenablePort> {};

TEST_P(DaemonUnopenableSocketTest, ExitsWithStatusOneAfterSayingWhy) {
  const int holder = ::socket(AF_INET, SOCK_DGRAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_ANY);
  address.sin_port = htons(static_cast<uint16_t>(port_));
  ASSERT_EQ(0, ::bind(holder, reinterpret_cast<sockaddr*>(&address), sizeof address));

  const std::string port = *GetParam().port ? GetParam().port : std::to_string(port_);
  DaemonProcess daemon(directory_.path().string(), {port, "Y"});
  EXPECT_EQ(1, daemon.waitForExit(kWait));
  ::close(holder);
  EXPECT_EQ(kBanner + std::string(" port=") + port +
                " showOnlyAlert=true logFile=brimletlog.txt filter=(true)\nException " +
                GetParam().description + "\n",
            daemon.console());
}

INSTANTIATE_TEST_SUITE_P(Ports, DaemonUnopenableSocketTest,
                         testing::Values(UnopenablePort{"InUse", "", "Address already in use"},
                                         UnopenablePort{"Zero", "0", "Invalid argument"},
                                         UnopenablePort{"Negative", "-1", "Invalid argument"},
                                         UnopenablePort{"AboveRange", "65536", "Invalid argument"}),
                         [](const testing::TestParamInfo<UnopenablePort>& info) {
                           return info.param.name;
                         });

}  // namespace
