#include <winsock2.h>
#include <windows.h>
#include <ws2tcpip.h>

#include <cstring>
#include <string>

#include "process/system_error.h"
#include "receive/udp_receiver.h"

namespace {

SOCKET socketOf(std::intptr_t handle) { return static_cast<SOCKET>(handle); }
WSAEVENT eventOf(std::intptr_t handle) { return reinterpret_cast<WSAEVENT>(handle); }

// How long a receive waits before it answers idle.
constexpr DWORD kIdleMilliseconds = 100;

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

int socketAddress(const SenderAddress& address, bool ipv6, std::uint16_t port,
                  sockaddr_storage* name) {
  std::memset(name, 0, sizeof *name);
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

// Windows receives one datagram per call.
struct UdpReceiver::Batch {};

UdpReceiver::UdpReceiver() = default;

UdpReceiver::~UdpReceiver() {
  closeAll();
  if (stopEvent_ != -1) WSACloseEvent(eventOf(stopEvent_));
}

void UdpReceiver::closeAll() {
  for (const Socket& socket : sockets_) {
    closesocket(socketOf(socket.handle));
    WSACloseEvent(eventOf(socket.readEvent));
  }
  sockets_.clear();
}

bool UdpReceiver::openOne(const SenderAddress& address, bool ipv6, bool dualStack,
                          std::uint16_t port, int* code) {
  const WSAEVENT readEvent = WSACreateEvent();
  if (readEvent == WSA_INVALID_EVENT) {
    *code = WSAGetLastError();
    return false;
  }
  const SOCKET socket = ::socket(ipv6 ? AF_INET6 : AF_INET, SOCK_DGRAM, IPPROTO_UDP);
  if (socket == INVALID_SOCKET) {
    *code = WSAGetLastError();
    WSACloseEvent(readEvent);
    return false;
  }
  const auto fail = [&] {
    *code = WSAGetLastError();
    closesocket(socket);
    WSACloseEvent(readEvent);
    return false;
  };
  if (ipv6) {
    DWORD v6Only = dualStack ? 0 : 1;
    if (setsockopt(socket, IPPROTO_IPV6, IPV6_V6ONLY, reinterpret_cast<const char*>(&v6Only),
                   sizeof v6Only) != 0) {
      return fail();
    }
  }
  // Windows lets another program bind the same port with SO_REUSEADDR and
  // steal the alerts unless the port is claimed exclusively. Both options are
  // requests; a refusal leaves a working socket.
  BOOL exclusive = TRUE;
  setsockopt(socket, SOL_SOCKET, SO_EXCLUSIVEADDRUSE, reinterpret_cast<const char*>(&exclusive),
             sizeof exclusive);
  int bufferBytes = kSocketReceiveBufferBytes;
  setsockopt(socket, SOL_SOCKET, SO_RCVBUF, reinterpret_cast<const char*>(&bufferBytes),
             sizeof bufferBytes);

  sockaddr_storage name;
  const int length = socketAddress(address, ipv6, port, &name);
  // The event selection also makes the socket non-blocking: receive waits
  // on the events instead, so that stop can end the wait.
  if (bind(socket, reinterpret_cast<const sockaddr*>(&name), length) != 0 ||
      WSAEventSelect(socket, readEvent, FD_READ) != 0) {
    return fail();
  }
  Socket opened;
  opened.handle = static_cast<std::intptr_t>(socket);
  opened.readEvent = reinterpret_cast<std::intptr_t>(readEvent);
  sockets_.push_back(opened);
  return true;
}

bool UdpReceiver::prepare(std::string* error) {
  WSADATA data;
  const int startup = WSAStartup(MAKEWORD(2, 2), &data);
  if (startup != 0) {
    *error = describeSystemError(startup);
    return false;
  }
  const WSAEVENT stopEvent = WSACreateEvent();
  if (stopEvent == WSA_INVALID_EVENT) {
    *error = describeSystemError(WSAGetLastError());
    return false;
  }
  stopEvent_ = reinterpret_cast<std::intptr_t>(stopEvent);
  return true;
}

bool UdpReceiver::lacksIPv6(int code) {
  return code == WSAEAFNOSUPPORT || code == WSAEADDRNOTAVAIL;
}

// Windows gives no drop count.
std::uint32_t UdpReceiver::newSystemDrops(Socket&, std::uint32_t) { return 0; }
void UdpReceiver::shutPorts() { shut_ = true; }
ReceiveResult UdpReceiver::stoppedWithDrops() {
  // Closed as soon as reading ends, so that nothing more arrives unread.
  closeAll();
  return stoppedResult();
}

ReceiveResult UdpReceiver::receive(char* buffer, std::size_t capacity) {
  for (;;) {
    const bool stopping = stopping_.load();
    if (sockets_.empty()) return stoppedResult();
    if (stopping && receivedSinceStop_ >= kMostAfterStop) return stoppedWithDrops();
    // The sockets in turn, one datagram each.
    for (std::size_t turn = 0; turn < sockets_.size(); ++turn) {
      const std::size_t which = (nextSocket_ + turn) % sockets_.size();
      sockaddr_storage sender;
      int senderLength = sizeof sender;
      const int length =
          recvfrom(socketOf(sockets_[which].handle), buffer, static_cast<int>(capacity), 0,
                   reinterpret_cast<sockaddr*>(&sender), &senderLength);
      const int code = length == SOCKET_ERROR ? WSAGetLastError() : 0;
      // WSAEMSGSIZE: the buffer holds the datagram's first `capacity` bytes.
      if (length != SOCKET_ERROR || code == WSAEMSGSIZE) {
        if (stopping) ++receivedSinceStop_;
        nextSocket_ = which + 1;
        ReceiveResult result{true,
                             length == SOCKET_ERROR ? capacity : static_cast<std::size_t>(length)};
        result.sender = senderOf(sender);
        return result;
      }
      if (code != WSAEWOULDBLOCK && code != WSAEINTR) return {false, 0};
    }
    if (stopping) return stoppedWithDrops();
    // A failed recv records the next datagram's arrival on the read event, so
    // resetting the events before the next recv loses no wake-up.
    WSAEVENT events[WSA_MAXIMUM_WAIT_EVENTS];
    DWORD count = 0;
    events[count++] = eventOf(stopEvent_);
    for (const Socket& socket : sockets_) {
      if (count < WSA_MAXIMUM_WAIT_EVENTS) events[count++] = eventOf(socket.readEvent);
    }
    const DWORD woken = WSAWaitForMultipleEvents(count, events, FALSE, kIdleMilliseconds, FALSE);
    if (woken == WSA_WAIT_FAILED) return {false, 0};
    for (const Socket& socket : sockets_) WSAResetEvent(eventOf(socket.readEvent));
    if (woken == WSA_WAIT_TIMEOUT) return idleResult();
  }
}

void UdpReceiver::stop() {
  stopping_ = true;
  if (stopEvent_ != -1) WSASetEvent(eventOf(stopEvent_));
}
