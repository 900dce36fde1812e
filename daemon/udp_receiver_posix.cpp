#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include "system_error.h"
#include "udp_receiver.h"

namespace {

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

  char data[kDatagrams][kDatagramBytes];
  iovec vectors[kDatagrams];
  mmsghdr messages[kDatagrams];
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

ReceiveResult UdpReceiver::receive(char* buffer, std::size_t capacity) {
  Batch& batch = *batch_;
  for (;;) {
    const bool stopping = stopping_.load();
    if (batch.next < batch.count) {
      const mmsghdr& message = batch.messages[batch.next];
      const std::size_t length = std::min<std::size_t>(message.msg_len, capacity);
      std::memcpy(buffer, batch.data[batch.next], length);
      ++batch.next;
      if (stopping) ++receivedSinceStop_;
      return {true, length, ""};
    }
    if (stopping && receivedSinceStop_ >= kMostAfterStop) return stoppedResult();
    // One call takes what the socket holds, up to a batch: waiting for the
    // first datagram (within the time-out that lets it see a stop), not for
    // the others. Once stopping it only takes what is already there.
    const int received = ::recvmmsg(static_cast<int>(handle_), batch.messages, Batch::kDatagrams,
                                    stopping ? MSG_DONTWAIT : MSG_WAITFORONE, nullptr);
    if (received > 0) {
      batch.count = received;
      batch.next = 0;
      continue;
    }
    if (received == 0 || errno == EINTR) continue;
    if (errno != EAGAIN && errno != EWOULDBLOCK) return {false, 0, describeSystemError(errno)};
    if (stopping) return stoppedResult();
  }
}

void UdpReceiver::stop() { stopping_ = true; }
