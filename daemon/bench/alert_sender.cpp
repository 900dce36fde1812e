// Loopback load for the daemon: sends COUNT copies of a monitor's danger alert
// to 127.0.0.1:PORT at RATE datagrams per second (0: as fast as possible),
// then watches the daemon's log file until it stops growing and reports how
// many entries arrived.
//   brimletd_bench_sender free-port
//   brimletd_bench_sender PORT COUNT RATE LOGFILE
// Prints: sent send_seconds logged lost processing_rate
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

constexpr char kAlert[] = "Danger,user1,100%,0.00 Mb free,48.83 Mb max";
// "dd-MM-yyyy HH:mm:ss" "," alert "\n"
constexpr long kEntryBytes = 19 + 1 + sizeof kAlert - 1 + 1;
// The log counts as settled when it has not grown for this long.
constexpr auto kSettleTime = std::chrono::milliseconds(500);
constexpr auto kLongestDrain = std::chrono::seconds(60);

sockaddr_in loopback(int port) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(static_cast<uint16_t>(port));
  return address;
}

long fileSize(const char* path) {
  struct stat info;
  return ::stat(path, &info) == 0 ? static_cast<long>(info.st_size) : 0;
}

int printFreePort() {
  const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
  sockaddr_in address = loopback(0);
  socklen_t length = sizeof address;
  if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    std::perror("free-port");
    return 1;
  }
  std::printf("%d\n", ntohs(address.sin_port));
  ::close(fd);
  return 0;
}

// Sends on a schedule: datagram i is due at start + i / rate; whenever the
// sender is ahead it sleeps briefly, so bursts stay a few datagrams long.
double send(int port, long count, double rate) {
  const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
  const sockaddr_in address = loopback(port);
  ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address);
  const auto start = Clock::now();
  for (long sent = 0; sent < count;) {
    if (rate > 0) {
      const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
      if (sent >= static_cast<long>(elapsed * rate) + 1) {
        std::this_thread::sleep_for(std::chrono::microseconds(100));
        continue;
      }
    }
    if (::send(fd, kAlert, sizeof kAlert - 1, 0) >= 0) ++sent;
  }
  ::close(fd);
  return std::chrono::duration<double>(Clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && std::strcmp(argv[1], "free-port") == 0) return printFreePort();
  if (argc != 5) {
    std::fprintf(stderr, "usage: %s free-port | PORT COUNT RATE LOGFILE\n", argv[0]);
    return 2;
  }
  const int port = std::atoi(argv[1]);
  const long count = std::atol(argv[2]);
  const double rate = std::atof(argv[3]);
  const char* log = argv[4];

  const long sizeBefore = fileSize(log);
  const auto start = Clock::now();
  const double sendSeconds = send(port, count, rate);

  long size = fileSize(log);
  auto lastGrowth = Clock::now();
  while (size - sizeBefore < count * kEntryBytes && Clock::now() - lastGrowth < kSettleTime &&
         Clock::now() - start < kLongestDrain) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    const long now = fileSize(log);
    if (now != size) {
      size = now;
      lastGrowth = Clock::now();
    }
  }
  const long logged = (size - sizeBefore) / kEntryBytes;
  const double busySeconds = std::chrono::duration<double>(lastGrowth - start).count();
  std::printf("%ld %.3f %ld %ld %.0f\n", count, sendSeconds, logged, count - logged,
              logged / busySeconds);
  return 0;
}
