// Which senders the daemon hears: the allow-list and the rate limit, checked
// on the receiving thread before a datagram is queued.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "receive/sender_address.h"

// --rate=COUNT/SECONDS: at most COUNT datagrams per SECONDS from one sender
// address, a burst of COUNT allowed. A count of 0: no limit.
struct SenderRate {
  std::uint32_t count = 0;
  std::uint32_t seconds = 0;

  static constexpr std::uint32_t kMostCount = 1000000000;
  static constexpr std::uint32_t kMostSeconds = 1000000;
};

enum class SenderVerdict { Kept, NotAllowed, OverRate };

// The rate limit per sender address: a token bucket of COUNT tokens that
// refills one token per SECONDS/COUNT, kept as the time at which the bucket
// is full again (the generic cell rate algorithm: one number per sender).
//
// Its memory is bounded whatever the senders: 16 384 addresses at once, in
// 2 048 sets of 8 (384 KiB), a set chosen by a hash keyed at random at start,
// so that nobody can aim their addresses at one set. A sender not in its set
// takes the place of the one whose bucket is fullest; a full bucket is the
// state a new sender starts with, so forgetting it changes nothing. Only
// when more than 8 senders of one set are all inside their limit at once
// (someone spraying addresses) does one of them start afresh, with a new
// burst: the limit then holds per address for as many as the table holds.
class SenderRateLimit {
 public:
  explicit SenderRateLimit(SenderRate rate);

  // Whether one more datagram from `sender` at `now` (nanoseconds of a
  // steady clock, above 0) is within the limit; counts it if so.
  bool allows(const SenderAddress& sender, std::int64_t now);

  static constexpr std::size_t kSets = 2048;
  static constexpr std::size_t kWays = 8;

 private:
  struct Slot {
    SenderAddress sender;
    std::int64_t fullAgain;  // 0: free
  };
  std::size_t setOf(const SenderAddress& sender) const;

  std::int64_t interval_;   // nanoseconds per token
  std::int64_t tolerance_;  // (COUNT - 1) tokens: the burst after the first
  std::uint64_t key_[2];
  std::unique_ptr<Slot[]> slots_;
};

// Both checks; without an allow-list every sender is allowed, without a rate
// no sender is limited.
class SenderCheck {
 public:
  SenderCheck(std::vector<SenderPrefix> allowed, SenderRate rate);

  // Whether the check does anything at all.
  bool active() const { return !allowed_.empty() || rateLimit_ != nullptr; }

  SenderVerdict decide(const SenderAddress& sender, std::int64_t now);

 private:
  std::vector<SenderPrefix> allowed_;
  std::unique_ptr<SenderRateLimit> rateLimit_;
};
