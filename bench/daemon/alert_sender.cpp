// Loopback load for the daemon, with COUNT copies of a monitor's danger alert
// sent to 127.0.0.1:PORT; the daemon's log file tells how many arrived.
//   brimletd_bench_sender free-port
//   brimletd_bench_sender rate PORT COUNT RATE LOGFILE [ENTRY_BYTES]
//     sends at RATE datagrams per second (0: as fast as possible), waits until
//     the log stops growing; prints: sent send_seconds logged lost pace.
//     ENTRY_BYTES is the size of one logged line (default: a daemon entry;
//     another receiver may write the alert alone)
//   brimletd_bench_sender flood PORT COUNT SOURCE...
//     sends COUNT alerts to 127.0.0.1:PORT as fast as possible, in turn from
//     each IPv4 SOURCE address (127.x.y.z: all on loopback); prints: sent
//   brimletd_bench_sender drain PID PORT COUNT BATCH LOGFILE
//     stops the daemon, queues BATCH datagrams in its socket buffer, lets it
//     go and times it until the batch is logged, so that the daemon works
//     alone like the append loop; prints: sent busy_seconds logged lost pace
//     entries_per_cpu_second (the daemon's processor time, which another
//     load on the machine hardly changes)
#include <arpa/inet.h>
#include <signal.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

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

int connectedSocket(int port) {
  const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
  const sockaddr_in address = loopback(port);
  ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address);
  return fd;
}

// Waits until the log reaches `target` bytes or stops growing; answers the
// time of its last growth.
Clock::time_point waitForLog(const char* log, long target, Clock::time_point since) {
  long size = fileSize(log);
  auto lastGrowth = since;
  auto lastChange = Clock::now();
  while (size < target && Clock::now() - lastChange < kSettleTime &&
         Clock::now() - since < kLongestDrain) {
    std::this_thread::sleep_for(std::chrono::microseconds(200));
    const long now = fileSize(log);
    if (now != size) {
      size = now;
      lastGrowth = lastChange = Clock::now();
    }
  }
  return lastGrowth;
}

// The processor time a process has used so far, from /proc/PID/stat.
double cpuSeconds(pid_t pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
  std::string stat((std::istreambuf_iterator<char>(in)), {});
  // Fields after the command name in parentheses; utime and stime are the
  // 12th and 13th of them, in clock ticks.
  std::istringstream fields(stat.substr(stat.rfind(')') + 2));
  std::string field;
  double ticks = 0;
  for (int i = 1; i <= 13 && fields >> field; ++i) {
    if (i >= 12) ticks += std::atof(field.c_str());
  }
  return ticks / static_cast<double>(::sysconf(_SC_CLK_TCK));
}

int drain(pid_t daemon, int port, long count, long batch, const char* log) {
  const int fd = connectedSocket(port);
  const long sizeBefore = fileSize(log);
  const double cpuBefore = cpuSeconds(daemon);
  double busySeconds = 0;
  for (long sent = 0; sent < count;) {
    const long now = std::min(batch, count - sent);
    ::kill(daemon, SIGSTOP);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));  // let it stop
    for (long i = 0; i < now; ++i) ::send(fd, kAlert, sizeof kAlert - 1, 0);
    sent += now;
    const long logSize = fileSize(log);
    const auto start = Clock::now();
    ::kill(daemon, SIGCONT);
    const auto end = waitForLog(log, logSize + now * kEntryBytes, start);
    busySeconds += std::chrono::duration<double>(end - start).count();
  }
  ::close(fd);
  const long logged = (fileSize(log) - sizeBefore) / kEntryBytes;
  const double cpu = cpuSeconds(daemon) - cpuBefore;
  std::printf("%ld %.3f %ld %ld %.0f %.0f\n", count, busySeconds, logged, count - logged,
              logged / busySeconds, logged / cpu);
  return 0;
}

// Sends on a schedule: datagram i is due at start + i / rate; whenever the
// sender is ahead it sleeps briefly, so bursts stay a few datagrams long.
double send(int port, long count, double rate) {
  const int fd = connectedSocket(port);
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

int sendAtRate(int port, long count, double rate, const char* log, long entryBytes) {
  const long sizeBefore = fileSize(log);
  const auto start = Clock::now();
  const double sendSeconds = send(port, count, rate);
  const auto lastGrowth = waitForLog(log, sizeBefore + count * entryBytes, Clock::now());
  const long logged = (fileSize(log) - sizeBefore) / entryBytes;
  const double busySeconds = std::chrono::duration<double>(lastGrowth - start).count();
  std::printf("%ld %.3f %ld %ld %.0f\n", count, sendSeconds, logged, count - logged,
              logged / busySeconds);
  return 0;
}

int flood(int port, long count, char** sources, int sourceCount) {
  std::vector<int> sockets;
  for (int i = 0; i < sourceCount; ++i) {
    sockaddr_in from = loopback(0);
    if (::inet_pton(AF_INET, sources[i], &from.sin_addr) != 1) {
      std::fprintf(stderr, "flood: not an IPv4 address: %s\n", sources[i]);
      return 2;
    }
    const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    const sockaddr_in to = loopback(port);
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&from), sizeof from) != 0 ||
        ::connect(fd, reinterpret_cast<const sockaddr*>(&to), sizeof to) != 0) {
      std::perror(sources[i]);
      return 1;
    }
    sockets.push_back(fd);
  }
  long sent = 0;
  for (long i = 0; i < count; ++i) {
    if (::send(sockets[static_cast<std::size_t>(i) % sockets.size()], kAlert, sizeof kAlert - 1,
               0) >= 0) {
      ++sent;
    }
  }
  for (int fd : sockets) ::close(fd);
  std::printf("%ld\n", sent);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && std::strcmp(argv[1], "free-port") == 0) return printFreePort();
  if ((argc == 6 || argc == 7) && std::strcmp(argv[1], "rate") == 0) {
    return sendAtRate(std::atoi(argv[2]), std::atol(argv[3]), std::atof(argv[4]), argv[5],
                      argc == 7 ? std::atol(argv[6]) : kEntryBytes);
  }
  if (argc >= 5 && std::strcmp(argv[1], "flood") == 0) {
    return flood(std::atoi(argv[2]), std::atol(argv[3]), argv + 4, argc - 4);
  }
  if (argc == 7 && std::strcmp(argv[1], "drain") == 0) {
    return drain(std::atoi(argv[2]), std::atoi(argv[3]), std::atol(argv[4]), std::atol(argv[5]),
                 argv[6]);
  }
  std::fprintf(stderr,
               "usage: %s free-port | rate PORT COUNT RATE LOG [ENTRY_BYTES] | "
               "flood PORT COUNT SOURCE... | drain PID PORT COUNT BATCH LOG\n",
               argv[0]);
  return 2;
}
