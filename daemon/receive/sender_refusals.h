// The count of datagrams the sender check refused, per reason and for the
// busiest senders, and the console lines that tell it: a flood of refused
// datagrams must not become a flood of console lines.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "receive/sender_address.h"
#include "receive/sender_check.h"

// Refusals since the last line about them. The first refusal after a quiet
// spell is told at once; after that at most one line per reason per
// kInterval, each with the count since the line before, so that every
// refused datagram is in exactly one line, the stop's included:
//   "BrimletD : sender not allowed, from 192.0.2.7 (900), 2001:db8::5 (12)
//    and others, datagrams refused: 1000" (one line)
//   "BrimletD : sender over the rate, from 10.1.2.3 (195), datagrams refused: 195"
// The busiest senders are found with bounded memory (the "space saving"
// count of kTracked senders); a sender's figure is a lower bound, exact
// unless more than kTracked senders were refused between two lines.
class SenderRefusals {
 public:
  // One line, with what it counts for the system's log.
  struct Line {
    std::string text;
    const char* reason;
    std::uint64_t count;
  };

  static constexpr std::chrono::seconds kInterval{10};
  static constexpr std::size_t kTracked = 16;
  static constexpr std::size_t kShown = 3;

  void count(SenderVerdict verdict, const SenderAddress& sender);

  // The lines due at `now` (nanoseconds of a steady clock), if any.
  std::vector<Line> dueLines(std::int64_t now);

  // Every count not told yet, at the stop.
  std::vector<Line> remainingLines();

 private:
  struct Tally {
    struct Sender {
      SenderAddress address;
      std::uint64_t count;
      std::uint64_t overcount;  // what it may have inherited from the one it replaced
    };
    std::uint64_t total = 0;
    std::vector<Sender> busiest;

    void count(const SenderAddress& sender);
    Line line(const char* reason);
  };

  void takeLines(std::vector<Line>* lines);

  Tally notAllowed_;
  Tally overRate_;
  bool toldOnce_ = false;
  std::int64_t lastLine_ = 0;
};
