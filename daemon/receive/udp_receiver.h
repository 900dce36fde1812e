// The daemon's UDP socket, written once per platform.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "receive/datagram_source.h"
#include "receive/sender_address.h"

// The daemon's UDP sockets on one port: one dual-stack IPv6 socket that
// hears every local IPv6 and IPv4 address, IPv4 alone where the system has
// no IPv6, or one socket per address it is told to listen on. Which sockets
// a port takes is decided here (udp_receiver.cpp); the rest is written once
// per platform (posix/udp_receiver.cpp, win/udp_receiver.cpp).
class UdpReceiver : public DatagramSource {
 public:
  UdpReceiver();
  ~UdpReceiver() override;
  UdpReceiver(const UdpReceiver&) = delete;
  UdpReceiver& operator=(const UdpReceiver&) = delete;

  // Binds to `port` (1 to 65535, checked by the caller), on each of
  // `addresses` (an IPv6 one for IPv6 alone), or with none on every local
  // address: dual-stack, or, where the system has no IPv6 (no such socket,
  // or :: not available), IPv4 alone, and *ipv4Only then says why. Asks
  // for a large receive buffer so that a burst waits in the kernel. On
  // failure answers false and sets *error to the system's description
  // (after the address, when there are several).
  bool open(std::uint16_t port, const std::vector<SenderAddress>& addresses, std::string* error,
            std::string* ipv4Only);

  // Waits for a datagram, or for stop; keeps at most kDatagramBytes of one, and its sender. After
  // a while without one it answers idle. Once stopped it shuts the port to new datagrams, still
  // hands out those that the system already holds (at most kMostAfterStop of them), closes the
  // sockets and answers stopped, with the count of any it had to leave. On Linux the results also
  // carry the datagrams that the kernel dropped, its buffer for a socket full; the stopped result
  // the last of them. On POSIX, having emptied its only socket, it lets the
  // next datagrams gather there for up to a millisecond before it takes
  // them, and each comes with its arrival second as the system stamped it.
  ReceiveResult receive(char* buffer, std::size_t capacity) override;

  // Ends the wait of receive (on POSIX within a tenth of a second); may be
  // called from any thread.
  void stop();

  static constexpr int kMostAfterStop = 100000;

 private:
  struct Socket {
    // POSIX: the descriptor. Windows: the SOCKET, and its read event.
    std::intptr_t handle = -1;
    std::intptr_t readEvent = -1;
    // Linux: the kernel's running count of the socket's drops, as last seen.
    std::uint32_t systemDropsSeen = 0;
  };
  // What the platform needs before its first socket (Windows: Winsock and
  // the stop event); false with the system's description.
  bool prepare(std::string* error);
  // Whether a dual-stack socket's error code means the system has no IPv6.
  static bool lacksIPv6(int code);
  // One socket bound to `address` (unspecified: every address of its
  // family; IPv6 and dualStack: IPv4 as well); false with the system's
  // error code.
  bool openOne(const SenderAddress& address, bool ipv6, bool dualStack, std::uint16_t port,
               int* code);
  void closeAll();
  // Linux: of the kernel's running drop count, what was not reported yet;
  // the end of the receiving, with the drops since the last datagram.
  static std::uint32_t newSystemDrops(Socket& socket, std::uint32_t total);
  void shutPorts();
  ReceiveResult stoppedWithDrops();

  std::vector<Socket> sockets_;
  std::size_t nextSocket_ = 0;  // the one to read first, in turn
  // Windows: the stop event that a receive waits for too.
  std::intptr_t stopEvent_ = -1;
  std::atomic<bool> stopping_{false};
  int receivedSinceStop_ = 0;
  bool shut_ = false;
  // POSIX: datagrams taken in one call and not handed out yet.
  struct Batch;
  std::unique_ptr<Batch> batch_;
};

// Asked for, not required: the system may grant less.
inline constexpr int kSocketReceiveBufferBytes = 4 * 1024 * 1024;
