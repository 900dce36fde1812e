// The queue between the receiving thread and the writing thread.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>

#include "alerts/log_entry.h"
#include "receive/datagram_source.h"

// One turn of the receiver as it was taken: a datagram's reception time and
// bytes, or a receive that failed; and how many datagrams the system and a
// full queue had to drop just before this one. Fixed-size, so that queueing allocates nothing;
// without member initialisers, so that the queue's slots stay untouched
// memory until they are used.
struct QueuedDatagram {
  // Room for any text formatReceptionTime writes, so no time is ever cut.
  static constexpr std::size_t kTimeBytes = kLongestReceptionTimeBytes;

  bool receiveFailed;
  std::uint8_t timeLength;
  std::uint16_t length;
  std::uint32_t droppedBefore;  // filled in by the queue
  std::uint32_t droppedBySystem;
  SenderAddress sender;
  char receptionTime[kTimeBytes];
  char payload[kDatagramBytes];
};

// Between the thread that receives and the thread that writes: a bounded
// first-in first-out queue for one producer and one consumer. The producer
// never waits: when the queue is full the datagram is dropped and counted,
// and the count travels with the next datagram that finds room.
class DatagramQueue {
 public:
  // Room for `capacity` datagrams, reserved at once; the memory is touched
  // only as far as a burst fills the queue.
  explicit DatagramQueue(std::size_t capacity);
  DatagramQueue(const DatagramQueue&) = delete;
  DatagramQueue& operator=(const DatagramQueue&) = delete;

  // Answers false when the queue was full and the datagram was dropped.
  bool push(const QueuedDatagram& datagram);

  // Takes the oldest datagram, waiting for one; answers false once the queue
  // is closed and everything in it was taken.
  bool pop(QueuedDatagram* datagram);

  // Takes the oldest datagrams, in order, up to `most` of those waiting,
  // waiting for one; answers how many, 0 once the queue is closed and
  // everything in it was taken.
  std::size_t popSome(QueuedDatagram* datagrams, std::size_t most);

  // No more pushes: pop hands out what is left, then answers false.
  void close();

  // Drops that no later datagram carried: the ones after the last push that
  // found room.
  std::uint32_t droppedAtEnd() const;

  std::size_t capacity() const { return capacity_; }

 private:
  const std::size_t capacity_;
  std::unique_ptr<QueuedDatagram[]> slots_;
  mutable std::mutex mutex_;
  std::condition_variable nonEmpty_;
  std::size_t head_ = 0;  // the oldest datagram
  std::size_t count_ = 0;
  std::uint32_t dropped_ = 0;  // since the last push that found room
  bool closed_ = false;
  bool consumerWaiting_ = false;
};
