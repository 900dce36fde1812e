// A datagram socket in asynchronous mode: the socket layer reports its
// events to a hidden window of the framework, so the socket never blocks the
// user-interface thread. Owners that need no events simply ignore them.
#pragma once

#include <windows.h>

#include <cstddef>

namespace fw {

class CAsyncSocket {
 public:
  CAsyncSocket() = default;
  ~CAsyncSocket();
  CAsyncSocket(const CAsyncSocket&) = delete;
  CAsyncSocket& operator=(const CAsyncSocket&) = delete;

  // Starts the socket layer for this process (once; later calls do nothing).
  static bool StartSocketLayer();

  // A UDP socket bound to any local address and a port the system chooses,
  // in asynchronous mode with every event requested.
  bool CreateDatagram();
  // Fixes the destination: a dotted IPv4 address or a host name, resolved
  // once here. The unspecified address 0.0.0.0 and port 0 are refused, so a
  // socket given them never sends anything.
  bool Connect(const char* host, int port);
  // One datagram of exactly `length` bytes on the connected socket; the byte
  // count sent, or -1.
  int Send(const void* data, std::size_t length);
  void Close();

 private:
  // A Winsock SOCKET, kept as its underlying type so that this header does
  // not impose the Winsock headers (which must precede windows.h) on users.
  static constexpr UINT_PTR kNoSocket = ~static_cast<UINT_PTR>(0);
  UINT_PTR socket_ = kNoSocket;
};

}  // namespace fw
