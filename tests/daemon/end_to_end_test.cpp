#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "daemon_process.h"
#include "temp_directory.h"

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

// Reception times differ from run to run; the unit tests check their format.
std::string withoutTimes(const std::string& text) {
  static const std::regex time(R"(^\d\d-\d\d-\d{4} \d\d:\d\d:\d\d,)", std::regex::multiline);
  return std::regex_replace(text, time, "<time>,");
}

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

class DaemonEndToEndTest : public testing::Test {
 protected:
  TempDirectory directory_;
  const int port_ = freeUdpPort();
};

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
  EXPECT_EQ(entries, withoutTimes(readFile(directory_.file("brimletlog.txt"))));
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
  EXPECT_EQ("<time>," + std::string(kWarning) + "\n<time>,\n",
            withoutTimes(readFile(directory_.file("brimletlog.txt"))));
}

TEST_F(DaemonEndToEndTest, ReadOnlyLogIsReportedForEveryEntryAndTheDaemonGoesOn) {
  const std::string log = directory_.file("brimletlog.txt");
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
