#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
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

UdpReceiver::~UdpReceiver() {
  if (handle_ >= 0) ::close(static_cast<int>(handle_));
  for (std::intptr_t end : wakeUp_) {
    if (end >= 0) ::close(static_cast<int>(end));
  }
}

bool UdpReceiver::open(std::uint16_t port, std::string* error) {
  int wakeUp[2];
  if (::pipe2(wakeUp, O_CLOEXEC | O_NONBLOCK) != 0) {
    *error = describeSystemError(errno);
    return false;
  }
  wakeUp_[0] = wakeUp[0];
  wakeUp_[1] = wakeUp[1];
  const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (fd < 0) {
    *error = describeSystemError(errno);
    return false;
  }
  askForReceiveBuffer(fd);

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
  const int fd = static_cast<int>(handle_);
  for (;;) {
    const bool stopping = stopping_.load();
    if (stopping && receivedSinceStop_ >= kMostAfterStop) return stoppedResult();
    // Without MSG_TRUNC, recv answers at most `capacity` and drops the rest of
    // a longer datagram, which is what the daemon keeps. The socket does not
    // block: poll waits, for the socket or for stop.
    const ssize_t length = ::recv(fd, buffer, capacity, 0);
    if (length >= 0) {
      if (stopping) ++receivedSinceStop_;
      return {true, static_cast<std::size_t>(length), ""};
    }
    if (errno == EINTR) continue;
    if (errno != EAGAIN && errno != EWOULDBLOCK) return {false, 0, describeSystemError(errno)};
    if (stopping) return stoppedResult();
    pollfd ready[2] = {{fd, POLLIN, 0}, {static_cast<int>(wakeUp_[0]), POLLIN, 0}};
    if (::poll(ready, 2, -1) < 0 && errno != EINTR) return {false, 0, describeSystemError(errno)};
  }
}

void UdpReceiver::stop() {
  stopping_ = true;
  const char wake = 1;
  // A full pipe is already awake.
  (void)!::write(static_cast<int>(wakeUp_[1]), &wake, 1);
}
