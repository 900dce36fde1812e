// The real daemon as an operator's service manager and console see it: the
// readiness message on a notify socket, and the datagrams that the kernel
// dropped before the daemon could take them.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "support/daemon_fixture.h"
#include "support/daemon_process.h"
#include "support/log_text.h"
#include "support/temp_directory.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr std::chrono::seconds kWait{5};
const std::size_t kStartLines = 5;
const char kWaiting[] = "   Now waiting for incoming packets\n";
const char kSystemDropped[] = "BrimletD : socket buffer full, datagrams dropped: ";

std::size_t lineCount(const std::string& text) {
  return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

// Sets an environment variable for the daemons started meanwhile (they
// inherit the test's environment) and takes it away again.
class ScopedVariable {
 public:
  ScopedVariable(const char* name, const std::string& value) : name_(name) {
    ::setenv(name, value.c_str(), 1);
  }
  ~ScopedVariable() { ::unsetenv(name_); }
  ScopedVariable(const ScopedVariable&) = delete;
  ScopedVariable& operator=(const ScopedVariable&) = delete;

 private:
  const char* name_;
};

// A notify socket of the test's own, as a service manager keeps one: a Unix
// datagram socket with a path, or with a name in the abstract namespace.
class NotifySocket {
 public:
  NotifySocket(const std::string& folder, bool abstract) {
    fd_ = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (abstract) {
      name_ = "@brimletd-test-" + std::to_string(::getpid()) + "-" +
              std::to_string(Clock::now().time_since_epoch().count());
    } else {
      name_ = folder + "/notify";
    }
    std::memcpy(address.sun_path, name_.data(), name_.size());
    if (abstract) address.sun_path[0] = '\0';
    const socklen_t length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) +
                                                    name_.size() + (abstract ? 0 : 1));
    bound_ = ::bind(fd_, reinterpret_cast<const sockaddr*>(&address), length) == 0;
  }
  ~NotifySocket() { ::close(fd_); }
  NotifySocket(const NotifySocket&) = delete;
  NotifySocket& operator=(const NotifySocket&) = delete;

  bool bound() const { return bound_; }
  // $NOTIFY_SOCKET's value for this socket.
  const std::string& name() const { return name_; }

  // The next message, or "" if none came within `timeout`.
  std::string receive(std::chrono::milliseconds timeout) {
    pollfd ready{fd_, POLLIN, 0};
    if (::poll(&ready, 1, static_cast<int>(timeout.count())) <= 0) return "";
    char message[256];
    const ssize_t length = ::recv(fd_, message, sizeof message, 0);
    return length > 0 ? std::string(message, static_cast<std::size_t>(length)) : "";
  }

 private:
  int fd_ = -1;
  bool bound_ = false;
  std::string name_;
};

using DaemonServiceTest = DaemonFixture;

class DaemonReadinessTest : public DaemonServiceTest, public testing::WithParamInterface<bool> {};

// READY=1 comes once, once the port is bound and the daemon is receiving:
// an alert sent right after it is logged, and the console says nothing more
// than a start by hand does.
TEST_P(DaemonReadinessTest, SaysReadyOnceItsPortIsBound) {
  NotifySocket notify(directory_.path().string(), GetParam());
  ASSERT_TRUE(notify.bound()) << notify.name();
  std::unique_ptr<DaemonProcess> daemon;
  {
    ScopedVariable variable("NOTIFY_SOCKET", notify.name());
    daemon = std::make_unique<DaemonProcess>(directory_.path().string(),
                                             std::vector<std::string>{std::to_string(port_), "N"});
  }
  EXPECT_EQ("READY=1", notify.receive(kWait)) << daemon->console();
  EXPECT_GE(receiveQueueBytes(port_), 0) << "ready before its port was bound";
  sendToLoopback(port_, "Warning,ready");
  ASSERT_TRUE(daemon->waitForLines(kStartLines + 1, kWait)) << daemon->console();
  EXPECT_EQ("", notify.receive(std::chrono::milliseconds(200))) << "said more than once";
  daemon->terminate();
  const std::string& console = daemon->console();
  EXPECT_NE(std::string::npos, console.find(kWaiting)) << console;
  EXPECT_EQ(kStartLines + 1, lineCount(console)) << console;
  EXPECT_NE(std::string::npos, console.find(",Warning,ready\n")) << console;
}

INSTANTIATE_TEST_SUITE_P(Sockets, DaemonReadinessTest, testing::Values(false, true),
                         [](const testing::TestParamInfo<bool>& info) {
                           return info.param ? "Abstract" : "Path";
                         });

// A service manager may stop the daemon as soon as it says it is ready: every
// such stop ends it cleanly, never by the signal's default action.
TEST_F(DaemonServiceTest, SigtermRightAfterReadyAlwaysEndsWithStatusZero) {
  constexpr int kStarts = 100;
  NotifySocket notify(directory_.path().string(), true);
  ASSERT_TRUE(notify.bound()) << notify.name();
  ScopedVariable variable("NOTIFY_SOCKET", notify.name());
  int killed = 0;
  for (int start = 0; start < kStarts; ++start) {
    DaemonProcess daemon(directory_.path().string(), {std::to_string(port_), "N"});
    ASSERT_EQ("READY=1", notify.receive(kWait)) << daemon.console();
    daemon.sendSignal(SIGTERM);
    if (daemon.waitForExit(kWait) != 0) ++killed;
  }
  EXPECT_EQ(0, killed) << "of " << kStarts << " starts stopped right after READY=1";
}

// A notify socket that nobody holds: the daemon says it could not tell, in
// one line ending with the system's reason, and works on.
TEST_F(DaemonServiceTest, UnreachableNotifySocketIsSaidAndTheDaemonWorksOn) {
  std::unique_ptr<DaemonProcess> daemon;
  {
    ScopedVariable variable("NOTIFY_SOCKET", directory_.file("nobody-listens"));
    daemon = std::make_unique<DaemonProcess>(directory_.path().string(),
                                             std::vector<std::string>{std::to_string(port_), "N"});
  }
  ASSERT_TRUE(daemon->waitForLines(kStartLines + 1, kWait)) << daemon->console();
  sendToLoopback(port_, "Warning,anyway");
  ASSERT_TRUE(daemon->waitForLines(kStartLines + 2, kWait)) << daemon->console();
  daemon->terminate();
  EXPECT_NE(std::string::npos,
            daemon->console().find("BrimletD : cannot tell the service manager it is ready: " +
                                   directory_.file("nobody-listens") +
                                   ": No such file or directory\n"))
      << daemon->console();
  EXPECT_EQ(kStartLines + 2, lineCount(daemon->console())) << daemon->console();
}

// The count in the line that reports the kernel's drops, or -1 without such a
// line; a second such line counts as a failure too.
long reportedDrops(const std::string& console) {
  const std::size_t at = console.find(kSystemDropped);
  if (at == std::string::npos) return -1;
  if (console.find(kSystemDropped, at + 1) != std::string::npos) return -2;
  return std::strtol(console.c_str() + at + std::strlen(kSystemDropped), nullptr, 10);
}

// How the run of drops ends: with another alert, which tells the daemon of
// them, or with the stop, where the daemon asks the kernel.
enum class DropsEnd { NextAlert, Stop };

const char* nameOf(DropsEnd end) { return end == DropsEnd::NextAlert ? "NextAlert" : "Stop"; }
void PrintTo(DropsEnd end, std::ostream* out) { *out << nameOf(end); }

class DaemonKernelDropTest : public DaemonServiceTest,
                             public testing::WithParamInterface<DropsEnd> {};

// The daemon is stalled (SIGSTOP) while alerts arrive until the kernel drops
// some, then resumed: every alert sent is either in the log or in the count
// that the console reports, and that count is the kernel's own.
TEST_P(DaemonKernelDropTest, ReportedCountPlusLoggedEntriesIsWhatWasSent) {
  DaemonProcess daemon(directory_.path().string(), {std::to_string(port_), "N"});
  ASSERT_TRUE(daemon.waitForLines(kStartLines, kWait)) << daemon.console();
  daemon.sendSignal(SIGSTOP);

  const int sender = ::socket(AF_INET, SOCK_DGRAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(static_cast<uint16_t>(port_));
  ASSERT_EQ(0, ::connect(sender, reinterpret_cast<sockaddr*>(&address), sizeof address));
  // Chunks until the kernel drops, then one more; the daemon asks for 4 MiB,
  // which holds some ten thousand of these.
  constexpr int kChunk = 500;
  constexpr int kMostSent = 200000;
  int sent = 0;
  long queued = 0;
  long drops = 0;
  bool overflowed = false;
  while (sent < kMostSent && !overflowed) {
    overflowed = udpCounters(port_, &queued, &drops) && drops > 0;
    for (int i = 0; i < kChunk; ++i, ++sent) {
      const std::string alert = "Danger,stalled " + std::to_string(sent);
      ASSERT_EQ(static_cast<ssize_t>(alert.size()), ::send(sender, alert.data(), alert.size(), 0));
    }
  }
  daemon.sendSignal(SIGCONT);
  ASSERT_TRUE(overflowed) << "no drop after " << sent << " alerts";
  ASSERT_TRUE(udpCounters(port_, &queued, &drops));
  const std::string& log = log_;

  if (GetParam() == DropsEnd::NextAlert) {
    // Everything the kernel kept is logged first, then the next alert comes.
    const auto deadline = Clock::now() + std::chrono::seconds(30);
    while (lineCount(readFile(log)) < static_cast<std::size_t>(sent - drops) &&
           Clock::now() < deadline) {
      daemon.waitForLines(lineCount(daemon.console()) + 1000, std::chrono::milliseconds(50));
    }
    const std::string next = "Danger,after the drops";
    ASSERT_EQ(static_cast<ssize_t>(next.size()), ::send(sender, next.data(), next.size(), 0));
    ++sent;
    const auto nextDeadline = Clock::now() + std::chrono::seconds(30);
    while (daemon.console().find(next) == std::string::npos && Clock::now() < nextDeadline) {
      daemon.waitForLines(lineCount(daemon.console()) + 1000, std::chrono::milliseconds(50));
    }
    const std::string& console = daemon.console();
    ASSERT_NE(std::string::npos, console.find(next)) << "the next alert was not logged";
    EXPECT_LT(console.find(kSystemDropped), console.find(next)) << "reported after the alert";
  }
  ::close(sender);
  daemon.terminate();

  const std::string& console = daemon.console();
  const std::string tail = console.substr(console.size() - std::min<std::size_t>(console.size(), 400));
  EXPECT_EQ(drops, reportedDrops(console)) << tail;
  EXPECT_EQ(sent, static_cast<long>(lineCount(readFile(log))) + reportedDrops(console)) << tail;
}

INSTANTIATE_TEST_SUITE_P(Ends, DaemonKernelDropTest,
                         testing::Values(DropsEnd::NextAlert, DropsEnd::Stop),
                         [](const testing::TestParamInfo<DropsEnd>& info) {
                           return nameOf(info.param);
                         });

}  // namespace
