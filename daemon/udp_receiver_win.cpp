#include <winsock2.h>
#include <windows.h>

#include <string>

#include "udp_receiver.h"

namespace {

std::string describeSocketError(int code) {
  char text[512];
  const DWORD length =
      FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                     static_cast<DWORD>(code), 0, text, sizeof text, nullptr);
  std::string description(text, length);
  while (!description.empty() && (description.back() == '\r' || description.back() == '\n')) {
    description.pop_back();
  }
  if (description.empty()) description = "Windows Sockets error " + std::to_string(code);
  return description;
}

SOCKET socketOf(std::intptr_t handle) { return static_cast<SOCKET>(handle); }

}  // namespace

UdpReceiver::~UdpReceiver() {
  if (handle_ != -1) closesocket(socketOf(handle_));
}

bool UdpReceiver::open(std::uint16_t port, std::string* error) {
  WSADATA data;
  const int startup = WSAStartup(MAKEWORD(2, 2), &data);
  if (startup != 0) {
    *error = describeSocketError(startup);
    return false;
  }
  const SOCKET socket = ::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
  if (socket == INVALID_SOCKET) {
    *error = describeSocketError(WSAGetLastError());
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
  if (bind(socket, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
    *error = describeSocketError(WSAGetLastError());
    closesocket(socket);
    return false;
  }
  handle_ = static_cast<std::intptr_t>(socket);
  return true;
}

ReceiveResult UdpReceiver::receive(char* buffer, std::size_t capacity) {
  for (;;) {
    const int length = recv(socketOf(handle_), buffer, static_cast<int>(capacity), 0);
    if (length != SOCKET_ERROR) return {true, static_cast<std::size_t>(length), ""};
    const int code = WSAGetLastError();
    // The buffer then holds the datagram's first `capacity` bytes.
    if (code == WSAEMSGSIZE) return {true, capacity, ""};
    if (code != WSAEINTR) return {false, 0, describeSocketError(code)};
  }
}
