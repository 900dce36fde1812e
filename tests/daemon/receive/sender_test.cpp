// Which senders the daemon hears, over IPv4 and IPv6: each case starts the
// daemon in a network namespace of its own, with addresses of its own on
// loopback, sends from chosen source addresses and checks what reached the
// log and what the stop's accounting counted as refused.
#include <arpa/inet.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <netinet/in.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <thread>
#include <regex>
#include <string>
#include <vector>

#include "support/daemon_process.h"
#include "support/log_text.h"
#include "support/private_network.h"
#include "support/temp_directory.h"

namespace {

constexpr std::chrono::seconds kWait{5};

// Sends `payload` from `source` to `destination`:`port`; both IPv4 or both
// IPv6 text.
bool sendFrom(const std::string& source, const std::string& destination, int port,
              const std::string& payload) {
  const bool ipv6 = destination.find(':') != std::string::npos;
  sockaddr_storage from{}, to{};
  socklen_t length = 0;
  if (ipv6) {
    auto& f = reinterpret_cast<sockaddr_in6&>(from);
    auto& t = reinterpret_cast<sockaddr_in6&>(to);
    f.sin6_family = t.sin6_family = AF_INET6;
    t.sin6_port = htons(static_cast<std::uint16_t>(port));
    if (::inet_pton(AF_INET6, source.c_str(), &f.sin6_addr) != 1 ||
        ::inet_pton(AF_INET6, destination.c_str(), &t.sin6_addr) != 1) {
      return false;
    }
    length = sizeof f;
  } else {
    auto& f = reinterpret_cast<sockaddr_in&>(from);
    auto& t = reinterpret_cast<sockaddr_in&>(to);
    f.sin_family = t.sin_family = AF_INET;
    t.sin_port = htons(static_cast<std::uint16_t>(port));
    if (::inet_pton(AF_INET, source.c_str(), &f.sin_addr) != 1 ||
        ::inet_pton(AF_INET, destination.c_str(), &t.sin_addr) != 1) {
      return false;
    }
    length = sizeof f;
  }
  const int fd = ::socket(ipv6 ? AF_INET6 : AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  const bool sent =
      fd >= 0 && ::bind(fd, reinterpret_cast<sockaddr*>(&from), length) == 0 &&
      ::sendto(fd, payload.data(), payload.size(), 0, reinterpret_cast<sockaddr*>(&to), length) ==
          static_cast<ssize_t>(payload.size());
  if (fd >= 0) ::close(fd);
  return sent;
}

// From now on socket(AF_INET6, ...) fails in the calling thread and its
// children as on a system built without IPv6; answers false if the filter
// could not be set.
bool withoutIPv6() {
  sock_filter rules[] = {
      BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
      BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, SYS_socket, 0, 3),
      BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, args[0])),
      BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, AF_INET6, 0, 1),
      BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | EAFNOSUPPORT),
      BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
  };
  sock_fprog program{static_cast<unsigned short>(sizeof rules / sizeof rules[0]), rules};
  return ::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) == 0 &&
         ::prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program) == 0;
}

struct Send {
  const char* from;
  const char* to;
  int count;
};

struct SenderCase {
  const char* name;
  std::vector<std::string> options;  // before the port
  std::vector<Send> sends;
  std::map<std::string, int> logged;  // per source address
  int notAllowed;                     // refused, as the console counts them
  int overRate;
  int exitStatus = 0;
  const char* consoleHas = "";
  bool noIPv6 = false;  // the daemon's system has none
};

void PrintTo(const SenderCase& c, std::ostream* out) { *out << c.name; }

// The sum of the counts of the lines that start with `start`.
int counted(const std::string& console, const std::string& start) {
  int total = 0;
  for (const std::string& line : lines(console)) {
    static const std::regex count(R"(, datagrams refused: (\d+)$)");
    std::smatch found;
    if (line.rfind(start, 0) == 0 && std::regex_search(line, found, count)) {
      total += std::stoi(found[1]);
    }
  }
  return total;
}

class DaemonSenderTest : public testing::TestWithParam<SenderCase> {};

TEST_P(DaemonSenderTest, LogsTheSendersItHearsAndCountsTheRest) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root for a network namespace of its own";
  const SenderCase& c = GetParam();
  PrivateNetwork network;
  ASSERT_TRUE(network.ready()) << "no network namespace of its own: " << network.error();
  for (const char* address : {"fd00::10", "fd01::20"}) {
    const std::string add = std::string("ip -6 addr add ") + address + "/128 dev lo nodad";
    ASSERT_EQ(0, std::system(add.c_str())) << add;
  }
  TempDirectory directory;
  const int port = freeUdpPort();
  std::vector<std::string> args = c.options;
  args.push_back(std::to_string(port));
  args.push_back("N");
  std::unique_ptr<DaemonProcess> started;
  // The filter stays with the thread that sets it: a thread of its own
  // starts the daemon, which inherits it.
  std::thread([&] {
    if (!c.noIPv6 || withoutIPv6()) {
      started = std::make_unique<DaemonProcess>(directory.path().string(), args);
    }
  }).join();
  ASSERT_NE(nullptr, started) << "cannot take IPv6 away: " << std::strerror(errno);
  DaemonProcess& daemon = *started;
  const std::size_t startLines = (c.options.empty() ? 5 : 6) + (c.noIPv6 ? 1 : 0);
  if (c.exitStatus != 0) {
    EXPECT_EQ(c.exitStatus, daemon.waitForExit(kWait));
  } else {
    ASSERT_TRUE(daemon.waitForLines(startLines, kWait)) << daemon.console();
    for (const Send& send : c.sends) {
      for (int i = 0; i < send.count; ++i) {
        sendFrom(send.from, send.to, port, std::string("Warning,") + send.from);
      }
    }
    daemon.terminate();
  }
  std::map<std::string, int> logged;
  for (const std::string& entry : lines(withoutTimes(readFile(directory.file("brimletlog.txt"))))) {
    ++logged[entry.substr(entry.rfind(',') + 1)];
  }
  const std::string& console = daemon.console();
  EXPECT_EQ(c.logged, logged) << console;
  EXPECT_EQ(c.notAllowed, counted(console, "BrimletD : sender not allowed, from ")) << console;
  EXPECT_EQ(c.overRate, counted(console, "BrimletD : sender over the rate, from ")) << console;
  EXPECT_NE(std::string::npos, console.find(c.consoleHas)) << console;
}

INSTANTIATE_TEST_SUITE_P(
    Senders, DaemonSenderTest,
    testing::Values(
        SenderCase{"AllowedAndRefusedByIPv4Prefix",
                   {"--allow=127.0.0.0/30", "--allow=fd00::/64"},
                   {{"127.0.0.2", "127.0.0.1", 2}, {"127.0.0.9", "127.0.0.1", 3}},
                   {{"127.0.0.2", 2}},
                   3,
                   0,
                   0,
                   "sender not allowed, from 127.0.0.9 ("},
        SenderCase{"AllowedAndRefusedByIPv6Prefix",
                   {"--allow=fd00::/64"},
                   {{"fd00::10", "::1", 2}, {"fd01::20", "::1", 1}, {"127.0.0.1", "127.0.0.1", 1}},
                   {{"fd00::10", 2}},
                   2,
                   0,
                   0,
                   "sender not allowed, from "},
        // A burst of COUNT from one address, the rest counted; another
        // sender beside it keeps its own allowance.
        SenderCase{"RateLimitedBurstBesideANormalSender",
                   {"--rate=5/3600"},
                   {{"127.0.0.2", "127.0.0.1", 20}, {"fd00::10", "::1", 3}},
                   {{"127.0.0.2", 5}, {"fd00::10", 3}},
                   0,
                   15,
                   0,
                   "sender over the rate, from 127.0.0.2 ("},
        // IPv4 senders reach the dual-stack socket, shown as IPv4.
        SenderCase{"DualStackDeliveryToBothLoopbacks",
                   {},
                   {{"::1", "::1", 1}, {"127.0.0.1", "127.0.0.1", 1}, {"fd01::20", "fd00::10", 1}},
                   {{"::1", 1}, {"127.0.0.1", 1}, {"fd01::20", 1}},
                   0,
                   0},
        SenderCase{
            "IPv4OnlyListener",
            {"--listen=127.0.0.1"},
            {{"127.0.0.1", "127.0.0.1", 2}, {"::1", "::1", 1}, {"127.0.0.3", "127.0.0.3", 1}},
            {{"127.0.0.1", 2}},
            0,
            0,
            0,
            " listen=127.0.0.1\n"},
        SenderCase{"TwoListeners",
                   {"--listen=fd00::10", "--listen=127.0.0.3", "--rate=1/60"},
                   {{"fd00::10", "fd00::10", 2}, {"127.0.0.3", "127.0.0.3", 2}, {"::1", "::1", 1}},
                   {{"fd00::10", 1}, {"127.0.0.3", 1}},
                   0,
                   2},
        SenderCase{"IPv4AloneWithoutIPv6",
                   {},
                   {{"127.0.0.1", "127.0.0.1", 1}, {"::1", "::1", 1}},
                   {{"127.0.0.1", 1}},
                   0,
                   0,
                   0,
                   "\nBrimletD : no IPv6 on this system, listening on IPv4 only: Address family "
                   "not supported by protocol\n   Now waiting",
                   true},
        SenderCase{"BadRate",
                   {"--rate=5"},
                   {},
                   {},
                   0,
                   0,
                   2,
                   "BrimletD : bad option --rate=5: COUNT/SECONDS is expected"},
        SenderCase{"BadPrefix",
                   {"--allow=10.0.0.0/33"},
                   {},
                   {},
                   0,
                   0,
                   2,
                   "BrimletD : bad option --allow=10.0.0.0/33: "}),
    [](const testing::TestParamInfo<SenderCase>& info) { return info.param.name; });

}  // namespace
