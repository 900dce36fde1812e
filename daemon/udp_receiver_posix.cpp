#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include "system_error.h"
#include "udp_receiver.h"

UdpReceiver::~UdpReceiver() {
  if (handle_ >= 0) ::close(static_cast<int>(handle_));
}

bool UdpReceiver::open(std::uint16_t port, std::string* error) {
  const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  if (fd < 0) {
    *error = describeSystemError(errno);
    return false;
  }
  int bufferBytes = kSocketReceiveBufferBytes;
  // Refusal is harmless: the kernel's default buffer still works.
  ::setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &bufferBytes, sizeof bufferBytes);

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
  for (;;) {
    // Without MSG_TRUNC, recv answers at most `capacity` and drops the rest of
    // a longer datagram, which is what the daemon keeps.
    const ssize_t length = ::recv(static_cast<int>(handle_), buffer, capacity, 0);
    if (length >= 0) return {true, static_cast<std::size_t>(length), ""};
    if (errno != EINTR) return {false, 0, describeSystemError(errno)};
  }
}
