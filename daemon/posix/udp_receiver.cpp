#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <sys/uio.h>
#include <unistd.h>
#ifdef __linux__
#include <linux/sock_diag.h>
#endif

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <memory>

#include "receive/udp_receiver.h"

namespace {

#ifdef __linux__
// The layout of SO_MEMINFO's answer: the socket's drop count at this index.
constexpr int kMemInfoDrops = SK_MEMINFO_DROPS;
constexpr int kMemInfoValues = SK_MEMINFO_VARS;
#endif

void askForReceiveBuffer(int fd) {
  int bufferBytes = kSocketReceiveBufferBytes;
#ifdef SO_RCVBUFFORCE
  // Past net.core.rmem_max, for a daemon that has CAP_NET_ADMIN.
  if (::setsockopt(fd, SOL_SOCKET, SO_RCVBUFFORCE, &bufferBytes, sizeof bufferBytes) == 0) return;
#endif
  // Refusal is harmless: the kernel's default buffer still works, and the
  // receiving thread keeps it nearly empty.
  ::setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &bufferBytes, sizeof bufferBytes);
}

// What came with a datagram: the kernel's drop count, which it adds only
// once the socket has dropped something (*hasDrops), and its arrival stamp
// (*arrivalSecond, left as it is without one).
void readControl(msghdr& header, std::uint32_t* total, bool* hasDrops,
                 std::int64_t* arrivalSecond) {
  *hasDrops = false;
  for (cmsghdr* part = CMSG_FIRSTHDR(&header); part != nullptr; part = CMSG_NXTHDR(&header, part)) {
    if (part->cmsg_level != SOL_SOCKET) continue;
#ifdef SO_RXQ_OVFL
    if (part->cmsg_type == SO_RXQ_OVFL && part->cmsg_len >= CMSG_LEN(sizeof *total)) {
      std::memcpy(total, CMSG_DATA(part), sizeof *total);
      *hasDrops = true;
    }
#endif
    if (part->cmsg_type == SCM_TIMESTAMP && part->cmsg_len >= CMSG_LEN(sizeof(timeval))) {
      timeval stamp;
      std::memcpy(&stamp, CMSG_DATA(part), sizeof stamp);
      *arrivalSecond = static_cast<std::int64_t>(stamp.tv_sec);
    }
  }
}

// How long the receiving thread lets datagrams gather in the socket after it
// emptied it, instead of being woken for each one: its wake-ups, not the
// datagrams, are most of a receive's cost. Short enough that, even at a
// million datagrams a second, a quarter of the buffer the socket got holds
// what arrives meanwhile (a small datagram takes at most some 2 KiB of it),
// and at most a millisecond. Each datagram keeps its own arrival time: the
// kernel stamps it.
timespec gatherPause(int fd) {
  constexpr long kMostMicroseconds = 1000;
  constexpr long kBytesPerDatagram = 2048;
  int booked = 0;
  socklen_t length = sizeof booked;
  if (::getsockopt(fd, SOL_SOCKET, SO_RCVBUF, &booked, &length) != 0) booked = 0;
  const long microseconds = std::min(kMostMicroseconds, booked / kBytesPerDatagram / 4);
  return timespec{0, microseconds * 1000};
}

// The socket's drop count now. The count that comes with a datagram was
// taken when the datagram was queued, so drops after the last one queued
// show only here.
bool currentDropCount(int fd, std::uint32_t* total) {
#if defined(__linux__) && defined(SO_MEMINFO)
  std::uint32_t values[kMemInfoValues] = {};
  socklen_t length = sizeof values;
  if (::getsockopt(fd, SOL_SOCKET, SO_MEMINFO, values, &length) != 0 ||
      length < (kMemInfoDrops + 1) * sizeof values[0]) {
    return false;
  }
  *total = values[kMemInfoDrops];
  return true;
#else
  (void)fd;
  (void)total;
  return false;
#endif
}

// The sender of a datagram as the system gave it.
SenderAddress senderOf(const sockaddr_storage& name) {
  if (name.ss_family == AF_INET) {
    const auto& v4 = reinterpret_cast<const sockaddr_in&>(name);
    return SenderAddress::fromIPv4(reinterpret_cast<const std::uint8_t*>(&v4.sin_addr));
  }
  if (name.ss_family == AF_INET6) {
    return SenderAddress::fromIPv6(reinterpret_cast<const sockaddr_in6&>(name).sin6_addr.s6_addr);
  }
  return SenderAddress{};
}

// `address`:`port` as the system takes it; its length.
socklen_t socketAddress(const SenderAddress& address, bool ipv6, std::uint16_t port,
                        sockaddr_storage* name) {
  *name = {};
  if (ipv6) {
    auto& v6 = reinterpret_cast<sockaddr_in6&>(*name);
    v6.sin6_family = AF_INET6;
    std::memcpy(v6.sin6_addr.s6_addr, address.bytes, 16);
    v6.sin6_port = htons(port);
    return sizeof v6;
  }
  auto& v4 = reinterpret_cast<sockaddr_in&>(*name);
  v4.sin_family = AF_INET;
  std::memcpy(&v4.sin_addr, address.ipv4(), 4);
  v4.sin_port = htons(port);
  return sizeof v4;
}

}  // namespace

// Datagrams taken from one socket in one call, handed out one by one. A
// longer datagram is cut to its first kDatagramBytes by the system.
struct UdpReceiver::Batch {
  static constexpr unsigned kDatagrams = 64;

  Batch() {
    for (unsigned i = 0; i < kDatagrams; ++i) {
      vectors[i] = {data[i], kDatagramBytes};
      messages[i] = {};
      messages[i].msg_hdr.msg_iov = &vectors[i];
      messages[i].msg_hdr.msg_iovlen = 1;
    }
  }

  // The kernel shortens msg_controllen and msg_namelen to what it wrote:
  // offer the whole buffers again before every call.
  void offerRoom() {
    for (unsigned i = 0; i < kDatagrams; ++i) {
      messages[i].msg_hdr.msg_control = control[i].bytes;
      messages[i].msg_hdr.msg_controllen = sizeof control[i].bytes;
      messages[i].msg_hdr.msg_name = &senders[i];
      messages[i].msg_hdr.msg_namelen = sizeof senders[i];
    }
  }

  char data[kDatagrams][kDatagramBytes];
  iovec vectors[kDatagrams];
  mmsghdr messages[kDatagrams];
  sockaddr_storage senders[kDatagrams];
  // Room for the drop count (SO_RXQ_OVFL) and the arrival stamp
  // (SO_TIMESTAMP) that come with a datagram.
  struct Control {
    alignas(cmsghdr) unsigned char bytes[CMSG_SPACE(sizeof(std::uint32_t)) +
                                         CMSG_SPACE(sizeof(timeval))];
  } control[kDatagrams];
  int count = 0;
  int next = 0;
  std::size_t socket = 0;  // the one they came from
  bool drained = false;    // the call that took them emptied the socket
  timespec pause{0, 0};    // gatherPause of the only socket
};

UdpReceiver::UdpReceiver() : batch_(std::make_unique<Batch>()) {}

UdpReceiver::~UdpReceiver() { closeAll(); }

void UdpReceiver::closeAll() {
  for (const Socket& socket : sockets_) ::close(static_cast<int>(socket.handle));
  sockets_.clear();
}

bool UdpReceiver::openOne(const SenderAddress& address, bool ipv6, bool dualStack,
                          std::uint16_t port, int* code) {
  const int fd = ::socket(ipv6 ? AF_INET6 : AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  if (fd < 0) {
    *code = errno;
    return false;
  }
  if (ipv6) {
    // Not left to net.ipv6.bindv6only: dual-stack only where asked for, so
    // that --listen=:: beside --listen=0.0.0.0 takes each family once.
    const int v6Only = dualStack ? 0 : 1;
    if (::setsockopt(fd, IPPROTO_IPV6, IPV6_V6ONLY, &v6Only, sizeof v6Only) != 0) {
      *code = errno;
      ::close(fd);
      return false;
    }
  }
  askForReceiveBuffer(fd);
#ifdef SO_RXQ_OVFL
  // Each datagram then comes with the kernel's count of the socket's drops
  // so far; without it (an old kernel) drops stay unreported.
  const int withDropCount = 1;
  ::setsockopt(fd, SOL_SOCKET, SO_RXQ_OVFL, &withDropCount, sizeof withDropCount);
#endif
  // Each datagram comes with the time it arrived, so that its entry shows
  // that time however long it waited in the buffer.
  const int withArrivalTime = 1;
  ::setsockopt(fd, SOL_SOCKET, SO_TIMESTAMP, &withArrivalTime, sizeof withArrivalTime);
  // How long a receive waits before it answers idle, and a stop may wait
  // for the receive to notice it.
  const timeval stopCheck{0, 100 * 1000};
  ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &stopCheck, sizeof stopCheck);

  sockaddr_storage name;
  const socklen_t length = socketAddress(address, ipv6, port, &name);
  if (::bind(fd, reinterpret_cast<const sockaddr*>(&name), length) != 0) {
    *code = errno;
    ::close(fd);
    return false;
  }
  Socket socket;
  socket.handle = fd;
  sockets_.push_back(socket);
  batch_->pause = gatherPause(fd);
  return true;
}

bool UdpReceiver::prepare(std::string*) { return true; }

bool UdpReceiver::lacksIPv6(int code) { return code == EAFNOSUPPORT || code == EADDRNOTAVAIL; }

// The kernel's drop count runs on and wraps at 32 bits; a datagram queued
// before a later reading may still carry an older count, which adds nothing.
std::uint32_t UdpReceiver::newSystemDrops(Socket& socket, std::uint32_t total) {
  const std::uint32_t more = total - socket.systemDropsSeen;
  if (more == 0 || more > 0x7FFFFFFFu) return 0;
  socket.systemDropsSeen = total;
  return more;
}

ReceiveResult UdpReceiver::receive(char* buffer, std::size_t capacity) {
  Batch& batch = *batch_;
  for (;;) {
    const bool stopping = stopping_.load();
    if (stopping && !shut_) shutPorts();
    if (batch.next < batch.count) {
      mmsghdr& message = batch.messages[batch.next];
      const std::size_t length = std::min<std::size_t>(message.msg_len, capacity);
      std::memcpy(buffer, batch.data[batch.next], length);
      ReceiveResult result{true, length};
      result.sender = senderOf(batch.senders[batch.next]);
      ++batch.next;
      if (stopping) ++receivedSinceStop_;
      std::uint32_t total = 0;
      bool hasDrops = false;
      readControl(message.msg_hdr, &total, &hasDrops, &result.arrivalSecond);
      if (hasDrops) result.droppedBySystem = newSystemDrops(sockets_[batch.socket], total);
      return result;
    }
    if (sockets_.empty()) return stoppedResult();
    if (stopping && receivedSinceStop_ >= kMostAfterStop) return stoppedWithDrops();
    // One call takes what a socket holds, up to a batch, the sockets in
    // turn. A single socket is waited on in the call itself (for the first
    // datagram, within the time-out that lets it see a stop), several with
    // poll. Once stopping it only takes what is already there.
    const bool waitInCall = sockets_.size() == 1 && !stopping;
    if (waitInCall && batch.drained && batch.pause.tv_nsec > 0) {
      batch.drained = false;
      ::nanosleep(&batch.pause, nullptr);
      continue;  // a stop may have come meanwhile
    }
    int received = 0;
    for (std::size_t turn = 0; turn < sockets_.size() && received == 0; ++turn) {
      const std::size_t which = (nextSocket_ + turn) % sockets_.size();
      batch.offerRoom();
      received = ::recvmmsg(static_cast<int>(sockets_[which].handle), batch.messages,
                            Batch::kDatagrams, waitInCall ? MSG_WAITFORONE : MSG_DONTWAIT, nullptr);
      if (received > 0) {
        batch.count = received;
        batch.next = 0;
        batch.socket = which;
        batch.drained = received < static_cast<int>(Batch::kDatagrams);
        nextSocket_ = which + 1;
      } else if (received < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
        if (errno != EINTR) return {false, 0};
        received = 0;
      } else {
        received = 0;
      }
    }
    if (received > 0) continue;
    if (stopping) return stoppedWithDrops();
    if (!waitInCall) {
      std::vector<pollfd> ready;
      for (const Socket& socket : sockets_)
        ready.push_back({static_cast<int>(socket.handle), POLLIN, 0});
      if (::poll(ready.data(), ready.size(), 100) != 0) continue;
    }
    return idleResult();
  }
}

// A stop must account for every datagram that reached the port. Draining
// until the socket is empty and then closing it leaves a gap: what arrives
// between the last read and the close, and what the kernel drops after its
// count was read, vanishes. So the port is shut first: connected to its own
// address, a socket takes datagrams from that address only (which nobody
// sends from, the port being the daemon's), and every other datagram is
// refused as at a closed port, while those already queued stay readable.
// From then on the queue only shrinks, so the drain ends, and the kernel's
// drop count read after it is final. A failed connect (no route to the
// loopback) leaves the drain, then the close, as before.
void UdpReceiver::shutPorts() {
  shut_ = true;
  for (const Socket& socket : sockets_) {
    const int fd = static_cast<int>(socket.handle);
    sockaddr_storage own{};
    socklen_t length = sizeof own;
    if (::getsockname(fd, reinterpret_cast<sockaddr*>(&own), &length) != 0) continue;
    // A socket on every address connects to its loopback address.
    if (own.ss_family == AF_INET) {
      auto& v4 = reinterpret_cast<sockaddr_in&>(own);
      if (v4.sin_addr.s_addr == htonl(INADDR_ANY)) v4.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    } else if (own.ss_family == AF_INET6) {
      auto& v6 = reinterpret_cast<sockaddr_in6&>(own);
      if (IN6_IS_ADDR_UNSPECIFIED(&v6.sin6_addr)) v6.sin6_addr = in6addr_loopback;
    }
    (void)::connect(fd, reinterpret_cast<const sockaddr*>(&own), length);
  }
}

ReceiveResult UdpReceiver::stoppedWithDrops() {
  ReceiveResult result = stoppedResult();
  for (Socket& socket : sockets_) {
    const int fd = static_cast<int>(socket.handle);
    // Past the bound on what a stop takes: the rest is read out only to be
    // counted, so that the close loses none without a word.
    if (receivedSinceStop_ >= kMostAfterStop) {
      for (int round = 0; round < kMostAfterStop / static_cast<int>(Batch::kDatagrams); ++round) {
        batch_->offerRoom();
        const int left = ::recvmmsg(fd, batch_->messages, Batch::kDatagrams, MSG_DONTWAIT, nullptr);
        if (left < 0 && errno == EINTR) continue;
        if (left <= 0) break;
        result.leftInSocket += static_cast<std::uint32_t>(left);
      }
    }
    std::uint32_t total = 0;
    if (currentDropCount(fd, &total)) result.droppedBySystem += newSystemDrops(socket, total);
  }
  // Closed as soon as reading ends: the port is free for a next start.
  closeAll();
  return result;
}

void UdpReceiver::stop() { stopping_ = true; }
