#pragma once

#include <cstdint>
#include <string>

#include "datagram_source.h"

// A UDP socket bound to one port on all local IPv4 addresses. Its two
// operations are written once per platform (udp_receiver_posix.cpp,
// udp_receiver_win.cpp).
class UdpReceiver : public DatagramSource {
 public:
  UdpReceiver() = default;
  ~UdpReceiver() override;
  UdpReceiver(const UdpReceiver&) = delete;
  UdpReceiver& operator=(const UdpReceiver&) = delete;

  // Binds to `port` (1 to 65535, checked by the caller) and asks for a large
  // receive buffer so that a burst waits in the kernel. On failure answers
  // false and sets *error to the system's description.
  bool open(std::uint16_t port, std::string* error);

  ReceiveResult receive(char* buffer, std::size_t capacity) override;

 private:
  // Holds an int on POSIX and a SOCKET on Windows; -1 is no socket on both.
  std::intptr_t handle_ = -1;
};

// Asked for, not required: the system may grant less.
inline constexpr int kSocketReceiveBufferBytes = 4 * 1024 * 1024;
