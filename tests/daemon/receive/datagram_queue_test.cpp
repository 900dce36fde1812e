#include "receive/datagram_queue.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace {

QueuedDatagram datagram(const std::string& text) {
  QueuedDatagram queued{};
  queued.length = static_cast<std::uint16_t>(text.size());
  std::memcpy(queued.payload, text.data(), text.size());
  return queued;
}

std::string text(const QueuedDatagram& queued) {
  return std::string(queued.payload, queued.length);
}

// Pops everything until the closed queue is empty: "text/droppedBefore" each.
std::vector<std::string> drain(DatagramQueue& queue) {
  std::vector<std::string> taken;
  QueuedDatagram queued;
  while (queue.pop(&queued))
    taken.push_back(text(queued) + "/" + std::to_string(queued.droppedBefore));
  return taken;
}

TEST(DaemonDatagramQueue, HandsOutInOrderAcrossTheEndOfItsRing) {
  DatagramQueue queue(3);
  QueuedDatagram queued;
  ASSERT_TRUE(queue.push(datagram("a")));
  ASSERT_TRUE(queue.push(datagram("b")));
  ASSERT_TRUE(queue.pop(&queued));
  EXPECT_EQ("a", text(queued));
  for (const char* next : {"c", "d"}) ASSERT_TRUE(queue.push(datagram(next)));
  queue.close();
  EXPECT_EQ((std::vector<std::string>{"b/0", "c/0", "d/0"}), drain(queue));
}

TEST(DaemonDatagramQueue, FullQueueDropsAndTheNextDatagramCarriesTheCount) {
  DatagramQueue queue(2);
  EXPECT_TRUE(queue.push(datagram("a")));
  EXPECT_TRUE(queue.push(datagram("b")));
  EXPECT_FALSE(queue.push(datagram("dropped 1")));
  EXPECT_FALSE(queue.push(datagram("dropped 2")));
  QueuedDatagram queued;
  ASSERT_TRUE(queue.pop(&queued));
  EXPECT_TRUE(queue.push(datagram("c")));
  EXPECT_FALSE(queue.push(datagram("dropped 3")));
  queue.close();
  EXPECT_EQ(1u, queue.droppedAtEnd());
  EXPECT_FALSE(queue.push(datagram("after close")));
  EXPECT_EQ((std::vector<std::string>{"b/0", "c/2"}), drain(queue));
  EXPECT_EQ(1u, queue.droppedAtEnd()) << "a push after close is no drop";
}

TEST(DaemonDatagramQueue, CloseHandsOutWhatIsLeftThenEnds) {
  DatagramQueue queue(4);
  queue.push(datagram("a"));
  queue.push(datagram("b"));
  queue.close();
  EXPECT_EQ((std::vector<std::string>{"a/0", "b/0"}), drain(queue));
  QueuedDatagram queued;
  EXPECT_FALSE(queue.pop(&queued)) << "stays ended";
}

// A consumer that waits on an empty queue is woken by close.
TEST(DaemonDatagramQueue, CloseEndsAWaitingPop) {
  DatagramQueue queue(4);
  bool popped = true;
  std::thread consumer([&] {
    QueuedDatagram queued;
    popped = queue.pop(&queued);
  });
  queue.close();
  consumer.join();
  EXPECT_FALSE(popped);
}

// Producer and consumer on two threads, the queue small so that both the
// full and the empty queue are met many times: nothing is reordered, and
// every datagram is either handed out or counted as dropped.
TEST(DaemonDatagramQueue, TwoThreadsLoseNothingUncountedAndKeepTheOrder) {
  constexpr int kCount = 200000;
  DatagramQueue queue(16);
  std::vector<int> taken;
  std::uint64_t droppedSeen = 0;
  std::thread consumer([&] {
    QueuedDatagram queued;
    while (queue.pop(&queued)) {
      taken.push_back(std::stoi(text(queued)));
      droppedSeen += queued.droppedBefore;
    }
  });
  for (int i = 0; i < kCount; ++i) queue.push(datagram(std::to_string(i)));
  queue.close();
  consumer.join();

  ASSERT_FALSE(taken.empty());
  EXPECT_EQ(static_cast<std::uint64_t>(kCount), taken.size() + droppedSeen + queue.droppedAtEnd());
  for (std::size_t i = 1; i < taken.size(); ++i) {
    ASSERT_LT(taken[i - 1], taken[i]) << "out of order at " << i;
  }
}

// The writer takes what waits, up to its batch, oldest first, across the end
// of the ring; the drop count still travels with its datagram.
TEST(DaemonDatagramQueue, PopSomeTakesWhatWaitsUpToItsMostInOrder) {
  DatagramQueue queue(4);
  QueuedDatagram taken[4];
  ASSERT_TRUE(queue.push(datagram("a")));
  ASSERT_TRUE(queue.pop(taken));
  for (const char* next : {"b", "c", "d", "e"}) ASSERT_TRUE(queue.push(datagram(next)));
  EXPECT_FALSE(queue.push(datagram("dropped")));
  ASSERT_EQ(3u, queue.popSome(taken, 3));
  EXPECT_EQ("b c d", text(taken[0]) + " " + text(taken[1]) + " " + text(taken[2]));
  ASSERT_TRUE(queue.push(datagram("f")));
  ASSERT_EQ(2u, queue.popSome(taken, 4));
  EXPECT_EQ("e/0 f/1", text(taken[0]) + "/" + std::to_string(taken[0].droppedBefore) + " " +
                           text(taken[1]) + "/" + std::to_string(taken[1].droppedBefore));
  queue.close();
  EXPECT_EQ(0u, queue.popSome(taken, 4));
}

}  // namespace
