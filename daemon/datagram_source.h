#pragma once

#include <cstddef>
#include <string>

// The outcome of one receive: a datagram of `length` bytes in the caller's
// buffer, a failure with the system's description, or the end: the source
// was stopped and has nothing left.
struct ReceiveResult {
  bool received;
  std::size_t length;
  std::string error;
  bool stopped = false;
};

inline ReceiveResult stoppedResult() { return {false, 0, "", true}; }

// Where the receive loop gets its datagrams: the UDP socket in the daemon, a
// scripted sequence in tests.
class DatagramSource {
 public:
  virtual ~DatagramSource() = default;

  // Waits for one datagram and copies at most `capacity` bytes of it; a longer
  // datagram keeps its first `capacity` bytes.
  virtual ReceiveResult receive(char* buffer, std::size_t capacity) = 0;
};
