#include <winsock2.h>
#include <windows.h>

#include <string>

#include "system_error.h"
#include "udp_receiver.h"

namespace {

SOCKET socketOf(std::intptr_t handle) { return static_cast<SOCKET>(handle); }
WSAEVENT eventOf(std::intptr_t handle) { return reinterpret_cast<WSAEVENT>(handle); }

}  // namespace

// Windows receives one datagram per call.
struct UdpReceiver::Batch {};

UdpReceiver::UdpReceiver() = default;

UdpReceiver::~UdpReceiver() {
  if (handle_ != -1) closesocket(socketOf(handle_));
  for (std::intptr_t event : wakeUp_) {
    if (event != -1) WSACloseEvent(eventOf(event));
  }
}

bool UdpReceiver::open(std::uint16_t port, std::string* error) {
  WSADATA data;
  const int startup = WSAStartup(MAKEWORD(2, 2), &data);
  if (startup != 0) {
    *error = describeSystemError(startup);
    return false;
  }
  // [0]: the socket has a datagram; [1]: stop was asked for.
  for (std::intptr_t& event : wakeUp_) {
    const WSAEVENT created = WSACreateEvent();
    if (created == WSA_INVALID_EVENT) {
      *error = describeSystemError(WSAGetLastError());
      return false;
    }
    event = reinterpret_cast<std::intptr_t>(created);
  }
  const SOCKET socket = ::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
  if (socket == INVALID_SOCKET) {
    *error = describeSystemError(WSAGetLastError());
    return false;
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

  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_ANY);
  address.sin_port = htons(port);
  // The event selection also makes the socket non-blocking: receive waits
  // on the two events instead, so that stop can end the wait.
  if (bind(socket, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
      WSAEventSelect(socket, eventOf(wakeUp_[0]), FD_READ) != 0) {
    *error = describeSystemError(WSAGetLastError());
    closesocket(socket);
    return false;
  }
  handle_ = static_cast<std::intptr_t>(socket);
  return true;
}

ReceiveResult UdpReceiver::receive(char* buffer, std::size_t capacity) {
  for (;;) {
    const bool stopping = stopping_.load();
    if (handle_ == -1) return stoppedResult();
    if (stopping && receivedSinceStop_ >= kMostAfterStop) return stoppedResult();
    const int length = recv(socketOf(handle_), buffer, static_cast<int>(capacity), 0);
    const int code = length == SOCKET_ERROR ? WSAGetLastError() : 0;
    // WSAEMSGSIZE: the buffer holds the datagram's first `capacity` bytes.
    if (length != SOCKET_ERROR || code == WSAEMSGSIZE) {
      if (stopping) ++receivedSinceStop_;
      return {true, length == SOCKET_ERROR ? capacity : static_cast<std::size_t>(length)};
    }
    if (code == WSAEINTR) continue;
    if (code != WSAEWOULDBLOCK) return {false, 0};
    if (stopping) {
      // Closed as soon as reading ends, so that nothing more arrives unread.
      closesocket(socketOf(handle_));
      handle_ = -1;
      return stoppedResult();
    }
    // A failed recv records the next datagram's arrival on the read event, so
    // resetting the event before the next recv loses no wake-up.
    const WSAEVENT events[2] = {eventOf(wakeUp_[0]), eventOf(wakeUp_[1])};
    if (WSAWaitForMultipleEvents(2, events, FALSE, WSA_INFINITE, FALSE) == WSA_WAIT_FAILED) {
      return {false, 0};
    }
    WSAResetEvent(events[0]);
  }
}

void UdpReceiver::stop() {
  stopping_ = true;
  if (wakeUp_[1] != -1) WSASetEvent(eventOf(wakeUp_[1]));
}
