// Catches, on loopback, the datagrams a test provokes (the daemon has a UdpReceiver of its own).
#pragma once

#include <winsock2.h>
#include <windows.h>

#include <string>
#include <vector>

class DatagramCatcher {
 public:
  // On the loopback address of `family` (AF_INET: 127.0.0.1, AF_INET6: ::1).
  explicit DatagramCatcher(int family = AF_INET);
  ~DatagramCatcher();
  int Port() const { return port_; }
  // Every datagram that arrives within `ms` (bounded), in order.
  std::vector<std::string> Drain(DWORD ms = 200);

 private:
  SOCKET socket_ = INVALID_SOCKET;
  int port_ = 0;
};
