#include "receive/datagram_queue.h"

#include <algorithm>
#include <limits>

// new[] of a type with no constructor work leaves the memory untouched: a
// large block comes straight from the system and stays unbacked until used.
DatagramQueue::DatagramQueue(std::size_t capacity)
    : capacity_(capacity), slots_(new QueuedDatagram[capacity]) {}

bool DatagramQueue::push(const QueuedDatagram& datagram) {
  bool wake = false;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (closed_) return false;
    if (count_ == capacity_) {
      if (dropped_ < std::numeric_limits<std::uint32_t>::max()) ++dropped_;
      return false;
    }
    QueuedDatagram& slot = slots_[(head_ + count_) % capacity_];
    slot = datagram;
    slot.droppedBefore = dropped_;
    dropped_ = 0;
    ++count_;
    wake = consumerWaiting_;
  }
  // Only a consumer that found the queue empty waits; in a burst the producer
  // does not pay for a wake-up per datagram.
  if (wake) nonEmpty_.notify_one();
  return true;
}

bool DatagramQueue::pop(QueuedDatagram* datagram) { return popSome(datagram, 1) == 1; }

std::size_t DatagramQueue::popSome(QueuedDatagram* datagrams, std::size_t most) {
  std::unique_lock<std::mutex> lock(mutex_);
  consumerWaiting_ = true;
  nonEmpty_.wait(lock, [this] { return count_ > 0 || closed_; });
  consumerWaiting_ = false;
  const std::size_t taken = std::min(count_, most);
  for (std::size_t i = 0; i < taken; ++i) {
    datagrams[i] = slots_[head_];
    head_ = (head_ + 1) % capacity_;
  }
  count_ -= taken;
  // Emptied, the queue starts again at its first slot: the slots in use
  // stay the same few, warm in the cache, instead of the ring's whole
  // length passing through it.
  if (count_ == 0) head_ = 0;
  return taken;
}

void DatagramQueue::close() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    closed_ = true;
  }
  nonEmpty_.notify_all();
}

std::uint32_t DatagramQueue::droppedAtEnd() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return dropped_;
}
