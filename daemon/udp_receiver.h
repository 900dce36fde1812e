// The daemon's UDP socket, written once per platform.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "datagram_source.h"

// A UDP socket bound to one port on all local IPv4 addresses. Its operations
// are written once per platform (udp_receiver_posix.cpp,
// udp_receiver_win.cpp).
class UdpReceiver : public DatagramSource {
 public:
  UdpReceiver();
  ~UdpReceiver() override;
  UdpReceiver(const UdpReceiver&) = delete;
  UdpReceiver& operator=(const UdpReceiver&) = delete;

  // Binds to `port` (1 to 65535, checked by the caller) and asks for a large
  // receive buffer so that a burst waits in the kernel. On failure answers
  // false and sets *error to the system's description.
  bool open(std::uint16_t port, std::string* error);

  // Waits for a datagram, or for stop; keeps at most kDatagramBytes of one. Once stopped it shuts
  // the port to new datagrams, still hands out those that the system already holds (at most
  // kMostAfterStop of them), closes the socket and answers stopped, with the count of any it had
  // to leave. On Linux the results also carry the datagrams that the kernel dropped, its buffer
  // for the socket full; the stopped result the last of them.
  ReceiveResult receive(char* buffer, std::size_t capacity) override;

  // Ends the wait of receive (on POSIX within a tenth of a second); may be
  // called from any thread.
  void stop();

  static constexpr int kMostAfterStop = 100000;

 private:
  // Linux: of the kernel's running drop count, what was not reported yet;
  // the end of the receiving, with the drops since the last datagram.
  std::uint32_t newSystemDrops(std::uint32_t total);
  void shutPort();
  ReceiveResult stoppedWithDrops();

  // POSIX: the socket's descriptor. Windows: the SOCKET, and the socket's
  // read event and the stop event that a receive waits for.
  std::intptr_t handle_ = -1;
  std::intptr_t wakeUp_[2] = {-1, -1};
  std::atomic<bool> stopping_{false};
  int receivedSinceStop_ = 0;
  bool shut_ = false;
  // Linux: the kernel's running count of the socket's drops, as last seen.
  std::uint32_t systemDropsSeen_ = 0;
  // POSIX: datagrams taken in one call and not handed out yet.
  struct Batch;
  std::unique_ptr<Batch> batch_;
};

// Asked for, not required: the system may grant less.
inline constexpr int kSocketReceiveBufferBytes = 4 * 1024 * 1024;
