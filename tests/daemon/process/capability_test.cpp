#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <system_error>
#include <vector>

#include "support/bounded_wait.h"
#include "support/daemon_fixture.h"
#include "support/daemon_process.h"
#include "support/temp_directory.h"

namespace {

constexpr std::chrono::seconds kWait{5};
const char kWaiting[] = "   Now waiting for incoming packets\n";
const std::size_t kStartLines = 5;
constexpr long kAskedBufferBytes = 4 * 1024 * 1024;
const char kNone[] = "0000000000000000";
const char kOnlyNetAdmin[] = "0000000000001000";

using CapabilitySets = std::map<std::string, std::string>;

// The capability sets in a status file of /proc, by name: CapInh, CapPrm,
// CapEff, CapBnd, CapAmb.
CapabilitySets capabilitiesIn(const std::string& statusFile) {
  std::ifstream status(statusFile);
  std::map<std::string, std::string> sets;
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("Cap", 0) != 0) continue;
    std::istringstream fields(line);
    std::string name, value;
    fields >> name >> value;
    sets[name.substr(0, name.size() - 1)] = value;
  }
  return sets;
}

// The process's own sets: those of its main thread.
CapabilitySets capabilities(int pid) {
  return capabilitiesIn("/proc/" + std::to_string(pid) + "/status");
}

// Every thread keeps sets of its own, and /proc/PID/status shows only the
// main thread's: a thread started before the drop keeps what it held.
std::vector<CapabilitySets> capabilitiesOfEveryThread(int pid) {
  std::vector<CapabilitySets> threads;
  std::error_code failed;
  for (const auto& task :
       std::filesystem::directory_iterator("/proc/" + std::to_string(pid) + "/task", failed)) {
    threads.push_back(capabilitiesIn((task.path() / "status").string()));
  }
  return threads;
}

// A serving daemon runs its receiving, writing, console and stop-watching
// threads; the last ones start just after the waiting line.
constexpr std::size_t kServingThreads = 4;

std::vector<CapabilitySets> capabilitiesOfServingThreads(int pid) {
  std::vector<CapabilitySets> threads;
  waitUntil(
      [&] {
        threads = capabilitiesOfEveryThread(pid);
        return threads.size() >= kServingThreads;
      },
      std::chrono::seconds(5));
  return threads;
}

long rmemMax() {
  std::ifstream in("/proc/sys/net/core/rmem_max");
  long value = -1;
  in >> value;
  return value;
}

// Whether ss can read a socket's buffer here: asks about one of the test's own.
bool ssReadsBuffers() {
  const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  const bool bound = ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
                     ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0;
  const bool readable = bound && receiveBufferBytes(ntohs(address.sin_port)) > 0;
  ::close(fd);
  return readable;
}

// The daemon as nobody, with capabilities in its ambient set as the systemd
// unit gives them, started through setpriv (util-linux).
class DaemonCapabilityTest : public DaemonFixture {
 protected:
  void SetUp() override {
    if (::geteuid() != 0)
      GTEST_SKIP() << "needs root to start the daemon as nobody with a capability";
    if (::access(kSetpriv, X_OK) != 0) GTEST_SKIP() << "needs " << kSetpriv << " (util-linux)";
    if (!ssReadsBuffers()) GTEST_SKIP() << "needs ss (iproute2) to read the socket's buffer";
    ASSERT_FALSE(copy_.path().empty()) << copy_.error();
  }

  // Starts the daemon holding `granted` (setpriv's list, as "+net_admin") in
  // every set; the bounding set holds only those, as under the unit.
  std::unique_ptr<DaemonProcess> startWith(const std::string& granted) {
    return std::make_unique<DaemonProcess>(
        directory_.path().string(),
        std::vector<std::string>{"--reuid=nobody", "--regid=nogroup", "--clear-groups",
                                 "--bounding-set=-all," + granted, "--inh-caps=" + granted,
                                 "--ambient-caps=" + granted, copy_.path(), std::to_string(port_),
                                 "N"},
        false, kSetpriv);
  }

  static constexpr const char* kSetpriv = "/usr/bin/setpriv";
  ReachableCopy copy_{BRIMLETD_PATH};
};

TEST_F(DaemonCapabilityTest, NetAdminForcesTheFullBufferAndIsDroppedBeforeReceiving) {
  auto daemon = startWith("+net_admin");
  ASSERT_TRUE(daemon->waitForLines(kStartLines, kWait)) << daemon->console();
  ASSERT_NE(std::string::npos, daemon->console().find(kWaiting)) << daemon->console();
  ASSERT_TRUE(daemon->running()) << daemon->console();

  const auto threads = capabilitiesOfServingThreads(daemon->pid());
  ASSERT_GE(threads.size(), kServingThreads);
  for (std::size_t thread = 0; thread < threads.size(); ++thread) {
    const CapabilitySets& sets = threads[thread];
    for (const char* set : {"CapEff", "CapPrm", "CapInh", "CapAmb"}) {
      EXPECT_EQ(kNone, sets.at(set)) << set << " of thread " << thread;
    }
    // Without CAP_SETPCAP the bounding set cannot shrink; it bounds only
    // what another program could gain, and the daemon runs none.
    EXPECT_EQ(kOnlyNetAdmin, sets.at("CapBnd")) << "thread " << thread;
  }
  // The kernel books twice the size asked for, whatever rmem_max says.
  EXPECT_EQ(2 * kAskedBufferBytes, receiveBufferBytes(port_)) << "rmem_max " << rmemMax();
  // Nothing on the console tells of the capability.
  EXPECT_EQ(kStartLines, static_cast<std::size_t>(
                             std::count(daemon->console().begin(), daemon->console().end(), '\n')))
      << daemon->console();
  daemon->terminate();
}

TEST_F(DaemonCapabilityTest, WithSetpcapTheBoundingSetIsEmptiedToo) {
  auto daemon = startWith("+net_admin,+setpcap");
  ASSERT_TRUE(daemon->waitForLines(kStartLines, kWait)) << daemon->console();
  ASSERT_TRUE(daemon->running()) << daemon->console();

  const auto threads = capabilitiesOfServingThreads(daemon->pid());
  ASSERT_GE(threads.size(), kServingThreads);
  for (std::size_t thread = 0; thread < threads.size(); ++thread) {
    for (const char* set : {"CapEff", "CapPrm", "CapInh", "CapAmb", "CapBnd"}) {
      EXPECT_EQ(kNone, threads[thread].at(set)) << set << " of thread " << thread;
    }
  }
  EXPECT_EQ(2 * kAskedBufferBytes, receiveBufferBytes(port_));
  daemon->terminate();
}

TEST_F(DaemonCapabilityTest, PlainNobodyGetsNoMoreThanRmemMaxAndKeepsItsSets) {
  DaemonProcess daemon(directory_.path().string(), {std::to_string(port_), "N"}, true);
  ASSERT_TRUE(daemon.waitForLines(kStartLines, kWait)) << daemon.console();
  ASSERT_TRUE(daemon.running()) << daemon.console();

  const long limit = rmemMax();
  ASSERT_GT(limit, 0);
  EXPECT_EQ(2 * std::min(limit, kAskedBufferBytes), receiveBufferBytes(port_));
  // Nothing was held, so nothing was touched: the bounding set is root's.
  const auto own = capabilities(::getpid());
  const auto threads = capabilitiesOfServingThreads(daemon.pid());
  ASSERT_GE(threads.size(), kServingThreads);
  for (const CapabilitySets& sets : threads) {
    EXPECT_EQ(kNone, sets.at("CapEff"));
    EXPECT_EQ(own.at("CapBnd"), sets.at("CapBnd"));
  }
  daemon.terminate();
}

}  // namespace
