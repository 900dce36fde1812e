#include <arpa/inet.h>
#include <netinet/in.h>
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
#include <memory>

#include "system_error.h"
#include "udp_receiver.h"

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

// The drop count that came with a datagram, if any: the kernel adds it only
// once the socket has dropped something.
bool dropCountOf(msghdr& header, std::uint32_t* total) {
#ifdef SO_RXQ_OVFL
  for (cmsghdr* part = CMSG_FIRSTHDR(&header); part != nullptr; part = CMSG_NXTHDR(&header, part)) {
    if (part->cmsg_level == SOL_SOCKET && part->cmsg_type == SO_RXQ_OVFL &&
        part->cmsg_len >= CMSG_LEN(sizeof *total)) {
      std::memcpy(total, CMSG_DATA(part), sizeof *total);
      return true;
    }
  }
#else
  (void)header;
  (void)total;
#endif
  return false;
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

}  // namespace

// Datagrams taken from the socket in one call, handed out one by one. A
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

  // The kernel shortens msg_controllen to what it wrote: offer the whole
  // control buffer again before every call.
  void offerControl() {
    for (unsigned i = 0; i < kDatagrams; ++i) {
      messages[i].msg_hdr.msg_control = control[i].bytes;
      messages[i].msg_hdr.msg_controllen = sizeof control[i].bytes;
    }
  }

  char data[kDatagrams][kDatagramBytes];
  iovec vectors[kDatagrams];
  mmsghdr messages[kDatagrams];
  // Room for the drop count that comes with a datagram (SO_RXQ_OVFL).
  struct Control {
    alignas(cmsghdr) unsigned char bytes[CMSG_SPACE(sizeof(std::uint32_t))];
  } control[kDatagrams];
  int count = 0;
  int next = 0;
};

UdpReceiver::UdpReceiver() : batch_(std::make_unique<Batch>()) {}

UdpReceiver::~UdpReceiver() {
  if (handle_ >= 0) ::close(static_cast<int>(handle_));
}

bool UdpReceiver::open(std::uint16_t port, std::string* error) {
  const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  if (fd < 0) {
    *error = describeSystemError(errno);
    return false;
  }
  askForReceiveBuffer(fd);
#ifdef SO_RXQ_OVFL
  // Each datagram then comes with the kernel's count of the socket's drops
  // so far; without it (an old kernel) drops stay unreported.
  const int withDropCount = 1;
  ::setsockopt(fd, SOL_SOCKET, SO_RXQ_OVFL, &withDropCount, sizeof withDropCount);
#endif
  // How long a stop may wait for the receive to notice it.
  const timeval stopCheck{0, 100 * 1000};
  ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &stopCheck, sizeof stopCheck);

  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_ANY);
  address.sin_port = htons(port);
  if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
    *error = describeSystemError(errno);
    ::close(fd);
    return false;
  }
  handle_ = fd;
  return true;
}

// The kernel's drop count runs on and wraps at 32 bits; a datagram queued
// before a later reading may still carry an older count, which adds nothing.
std::uint32_t UdpReceiver::newSystemDrops(std::uint32_t total) {
  const std::uint32_t more = total - systemDropsSeen_;
  if (more == 0 || more > 0x7FFFFFFFu) return 0;
  systemDropsSeen_ = total;
  return more;
}

ReceiveResult UdpReceiver::receive(char* buffer, std::size_t capacity) {
  Batch& batch = *batch_;
  for (;;) {
    const bool stopping = stopping_.load();
    if (stopping && !shut_) shutPort();
    if (batch.next < batch.count) {
      mmsghdr& message = batch.messages[batch.next];
      const std::size_t length = std::min<std::size_t>(message.msg_len, capacity);
      std::memcpy(buffer, batch.data[batch.next], length);
      ++batch.next;
      if (stopping) ++receivedSinceStop_;
      ReceiveResult result{true, length};
      std::uint32_t total = 0;
      if (dropCountOf(message.msg_hdr, &total)) result.droppedBySystem = newSystemDrops(total);
      return result;
    }
    if (handle_ < 0) return stoppedResult();
    if (stopping && receivedSinceStop_ >= kMostAfterStop) return stoppedWithDrops();
    // One call takes what the socket holds, up to a batch: waiting for the
    // first datagram (within the time-out that lets it see a stop), not for
    // the others. Once stopping it only takes what is already there.
    batch.offerControl();
    const int received = ::recvmmsg(static_cast<int>(handle_), batch.messages, Batch::kDatagrams,
                                    stopping ? MSG_DONTWAIT : MSG_WAITFORONE, nullptr);
    if (received > 0) {
      batch.count = received;
      batch.next = 0;
      continue;
    }
    if (received == 0 || errno == EINTR) continue;
    if (errno != EAGAIN && errno != EWOULDBLOCK) return {false, 0};
    if (stopping) return stoppedWithDrops();
  }
}

// A stop must account for every datagram that reached the port. Draining
// until the socket is empty and then closing it leaves a gap: what arrives
// between the last read and the close, and what the kernel drops after its
// count was read, vanishes. So the port is shut first: connected to its own
// address, the socket takes datagrams from that address only (which nobody
// sends from, the port being the daemon's), and every other datagram is
// refused as at a closed port, while those already queued stay readable.
// From then on the queue only shrinks, so the drain ends, and the kernel's
// drop count read after it is final. A failed connect (no route to the
// loopback) leaves the drain, then the close, as before.
void UdpReceiver::shutPort() {
  shut_ = true;
  sockaddr_in own{};
  socklen_t length = sizeof own;
  if (::getsockname(static_cast<int>(handle_), reinterpret_cast<sockaddr*>(&own), &length) != 0) {
    return;
  }
  own.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  (void)::connect(static_cast<int>(handle_), reinterpret_cast<const sockaddr*>(&own), sizeof own);
}

ReceiveResult UdpReceiver::stoppedWithDrops() {
  ReceiveResult result = stoppedResult();
  const int fd = static_cast<int>(handle_);
  // Past the bound on what a stop takes: the rest is read out only to be
  // counted, so that the close loses none without a word.
  if (receivedSinceStop_ >= kMostAfterStop) {
    for (int round = 0; round < kMostAfterStop / static_cast<int>(Batch::kDatagrams); ++round) {
      batch_->offerControl();
      const int left = ::recvmmsg(fd, batch_->messages, Batch::kDatagrams, MSG_DONTWAIT, nullptr);
      if (left < 0 && errno == EINTR) continue;
      if (left <= 0) break;
      result.leftInSocket += static_cast<std::uint32_t>(left);
    }
  }
  std::uint32_t total = 0;
  if (currentDropCount(fd, &total)) result.droppedBySystem = newSystemDrops(total);
  // Closed as soon as reading ends: the port is free for a next start.
  ::close(fd);
  handle_ = -1;
  return result;
}

void UdpReceiver::stop() { stopping_ = true; }
