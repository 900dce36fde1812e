// A stop while alerts keep coming: every alert that reached the port is in
// the log or in a count the console gives. The daemon and the sender share a
// network namespace of their own, so that the kernel's count of datagrams
// that found no port (sent after the daemon shut it) is theirs alone.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <fstream>
#include <memory>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <thread>

#include "support/bounded_wait.h"
#include "support/daemon_process.h"
#include "support/log_lock.h"
#include "support/log_text.h"
#include "support/private_network.h"
#include "support/temp_directory.h"

namespace {

using std::chrono::milliseconds;
constexpr std::chrono::seconds kWait{5};
const std::size_t kStartLines = 5;

// Datagrams this namespace's UDP found no socket for: sent after the port
// was shut, they never reached it.
long refusedAtClosedPorts() {
  std::ifstream snmp("/proc/thread-self/net/snmp");
  std::string names, values;
  while (std::getline(snmp, names) && names.rfind("Udp: ", 0) != 0) {
  }
  std::getline(snmp, values);
  std::istringstream n(names), v(values);
  for (std::string name, value; n >> name && v >> value;) {
    if (name == "NoPorts") return std::stol(value);
  }
  return 0;
}

// Every count of alerts that the console gives: drops, and what the stop
// could not log or left in the socket.
long countsOnConsole(const std::string& console) {
  static const std::regex count(R"(^BrimletD : [^\n]*datagrams[^\n:]*: (\d+)$)",
                                std::regex::multiline);
  long total = 0;
  for (std::sregex_iterator it(console.begin(), console.end(), count), end; it != end; ++it) {
    total += std::stol((*it)[1]);
  }
  return total;
}

struct StopScenario {
  const char* name;
  int signal;
  int sentBeforeSignal;
  int most;               // the sender's bound
  milliseconds pause;     // between two alerts
  milliseconds lockHeld;  // by another writer, from just before the stop
};

void PrintTo(const StopScenario& c, std::ostream* out) { *out << c.name; }

class DaemonStopAccountingTest : public testing::TestWithParam<StopScenario> {};

TEST_P(DaemonStopAccountingTest, EveryAlertIsLoggedOrCounted) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root for a network namespace of its own";
  const StopScenario& scenario = GetParam();
  PrivateNetwork network;
  ASSERT_TRUE(network.ready()) << "no network namespace of its own: " << network.error();
  TempDirectory directory;
  const int port = freeUdpPort();
  DaemonProcess daemon(directory.path().string(), {std::to_string(port), "N"});
  ASSERT_TRUE(daemon.waitForLines(kStartLines, kWait)) << daemon.console();
  const long refusedBefore = refusedAtClosedPorts();

  std::atomic<int> sent{0};
  std::atomic<bool> enough{false};
  std::thread sender([&] {
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    to.sin_port = htons(static_cast<uint16_t>(port));
    for (int i = 0; i < scenario.most && !enough; ++i) {
      const std::string alert = "Warning,stop " + std::to_string(i);
      if (::sendto(fd, alert.data(), alert.size(), 0, reinterpret_cast<sockaddr*>(&to),
                   sizeof to) == static_cast<ssize_t>(alert.size())) {
        ++sent;
      }
      if (scenario.pause.count() > 0) std::this_thread::sleep_for(scenario.pause);
    }
    ::close(fd);
  });
  // The console is read all along, so that none of its counts is skipped.
  const auto readConsoleUntil = [&](auto done) {
    return waitUntil([&] { return daemon.waitForLines(SIZE_MAX, milliseconds(2)) || done(); },
                     std::chrono::seconds(20), milliseconds(0));
  };
  EXPECT_TRUE(readConsoleUntil([&] { return sent >= scenario.sentBeforeSignal; }));
  auto otherWriter = std::make_unique<LogLock>(directory.file("brimletlog.txt"));
  if (scenario.lockHeld.count() == 0) otherWriter->release();
  daemon.sendSignal(scenario.signal);
  const auto signalled = std::chrono::steady_clock::now();
  readConsoleUntil(
      [&] { return std::chrono::steady_clock::now() - signalled >= scenario.lockHeld; });
  otherWriter->release();
  const int status = daemon.waitForExit(std::chrono::seconds(20));
  // A slow sender goes on after the daemon has ended, for a few more.
  std::this_thread::sleep_for(scenario.pause * 10);
  enough = true;
  sender.join();
  EXPECT_EQ(0, status);

  const long refused = refusedAtClosedPorts() - refusedBefore;
  std::set<std::string> logged;
  for (const std::string& entry : lines(withoutTimes(readFile(directory.file("brimletlog.txt"))))) {
    EXPECT_TRUE(logged.insert(entry).second) << "logged twice: " << entry;
  }
  const long counted = countsOnConsole(daemon.console());
  std::cout << scenario.name << ": sent " << sent << ", refused after the stop " << refused
            << ", logged " << logged.size() << ", counted " << counted << "\n";
  EXPECT_EQ(sent - refused, static_cast<long>(logged.size()) + counted)
      << "alerts lost without a count; console tail:\n"
      << daemon.console().substr(daemon.console().size() > 2000 ? daemon.console().size() - 2000
                                                                : 0);
}

INSTANTIATE_TEST_SUITE_P(
    Senders, DaemonStopAccountingTest,
    testing::Values(
        StopScenario{"TermDuringBurst", SIGTERM, 5000, 20000, milliseconds(0), milliseconds(0)},
        StopScenario{"HangUpDuringBurst", SIGHUP, 5000, 20000, milliseconds(0), milliseconds(0)},
        StopScenario{"TermWithSlowSender", SIGTERM, 100, 5000, milliseconds(2), milliseconds(1500)},
        StopScenario{"HangUpWithSlowSender", SIGHUP, 100, 5000, milliseconds(2),
                     milliseconds(1500)},
        // Past what the stop waits for the lock: the rest is counted.
        StopScenario{"TermWithTheLockHeldPastThePatience", SIGTERM, 100, 5000, milliseconds(2),
                     milliseconds(7000)}),
    [](const testing::TestParamInfo<StopScenario>& info) { return info.param.name; });

}  // namespace
