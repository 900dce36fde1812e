// A datagram socket in asynchronous mode: the socket layer reports its
// events to a hidden window of the framework, so the socket never blocks the
// user-interface thread. Owners that need no events simply ignore them.
#pragma once

#include <windows.h>

#include <cstddef>

#include "framework/socket_address.h"

namespace fw {

class CAsyncSocket {
 public:
  CAsyncSocket() = default;
  ~CAsyncSocket();
  CAsyncSocket(const CAsyncSocket&) = delete;
  CAsyncSocket& operator=(const CAsyncSocket&) = delete;

  // Starts the socket layer for this process (once; later calls do nothing).
  static bool StartSocketLayer();

  // A UDP socket of the destination's family (IPv4 or IPv6), bound to any
  // local address and a port the system chooses, in asynchronous mode with
  // every event requested, and connected to `destination`: that fixes where
  // its datagrams go, nothing is sent. An open socket is closed first. The
  // unspecified address (0.0.0.0, ::) and port 0 are refused, so a socket
  // given them never sends anything.
  bool Open(const SocketAddress& destination);
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
