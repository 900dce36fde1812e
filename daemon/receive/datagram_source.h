// Where datagrams come from, and the size of the part of one that is kept.
#pragma once

#include <cstddef>
#include <cstdint>

#include "receive/sender_address.h"

// A datagram is kept up to its first 256 bytes: the receive buffer's size
// and a queued datagram's room (the monitor sends at most 127 bytes).
inline constexpr std::size_t kDatagramBytes = 256;

// The outcome of one receive: a datagram of `length` bytes in the caller's
// buffer, a failure, or the end: the source was stopped and has nothing
// left. A failure carries no description: its console line is a fixed text. A datagram or the end
// may also tell how many datagrams the system dropped, its socket buffer full, since the last
// result that told so: before this datagram, or after the last one. The end
// also tells how many datagrams were still in the source when it closed, not
// handed out. A datagram comes with its sender's address, and, where the
// system stamps datagrams as they arrive, the second of its arrival (seconds
// since 1970, UTC; 0: not stamped). An idle result
// carries nothing: a while passed without a datagram (so that the receiving
// side can tell what is due).
struct ReceiveResult {
  bool received;
  std::size_t length;
  bool stopped = false;
  std::uint32_t droppedBySystem = 0;
  std::uint32_t leftInSocket = 0;
  SenderAddress sender{};
  bool idle = false;
  std::int64_t arrivalSecond = 0;
};

inline ReceiveResult stoppedResult() { return {false, 0, true}; }
inline ReceiveResult idleResult() {
  ReceiveResult result{false, 0};
  result.idle = true;
  return result;
}

// Where the receive loop gets its datagrams: the UDP socket in the daemon, a
// scripted sequence in tests.
class DatagramSource {
 public:
  virtual ~DatagramSource() = default;

  // Waits for one datagram and copies at most `capacity` bytes of it; a longer
  // datagram keeps its first `capacity` bytes.
  virtual ReceiveResult receive(char* buffer, std::size_t capacity) = 0;
};
