#include "receive/sender_check.h"

#include <random>

namespace {

constexpr std::int64_t kNanosecondsPerSecond = 1000000000;

std::uint64_t half(const SenderAddress& sender, int which) {
  std::uint64_t value = 0;
  std::memcpy(&value, sender.bytes + 8 * which, sizeof value);
  return value;
}

std::uint64_t mix(std::uint64_t value) {
  value ^= value >> 33;
  value *= 0xFF51AFD7ED558CCDull;
  value ^= value >> 33;
  value *= 0xC4CEB9FE1A85EC53ull;
  return value ^ (value >> 33);
}

}  // namespace

SenderRateLimit::SenderRateLimit(SenderRate rate)
    // Rounded up: never more than COUNT per SECONDS.
    : interval_((rate.seconds * kNanosecondsPerSecond + rate.count - 1) / rate.count),
      tolerance_(interval_ * (static_cast<std::int64_t>(rate.count) - 1)),
      slots_(new Slot[kSets * kWays]()) {
  std::random_device random;
  for (std::uint64_t& key : key_) key = static_cast<std::uint64_t>(random()) << 32 ^ random();
}

std::size_t SenderRateLimit::setOf(const SenderAddress& sender) const {
  return mix(mix(half(sender, 0) ^ key_[0]) ^ half(sender, 1) ^ key_[1]) % kSets;
}

bool SenderRateLimit::allows(const SenderAddress& sender, std::int64_t now) {
  Slot* set = &slots_[setOf(sender) * kWays];
  Slot* slot = nullptr;
  Slot* fullest = set;
  for (std::size_t way = 0; way < kWays; ++way) {
    if (set[way].fullAgain != 0 && set[way].sender == sender) {
      slot = &set[way];
      break;
    }
    if (set[way].fullAgain < fullest->fullAgain) fullest = &set[way];
  }
  if (slot == nullptr) {
    slot = fullest;
    slot->sender = sender;
    slot->fullAgain = now;
  }
  const std::int64_t from = slot->fullAgain > now ? slot->fullAgain : now;
  if (from - now > tolerance_) return false;
  slot->fullAgain = from + interval_;
  return true;
}

SenderCheck::SenderCheck(std::vector<SenderPrefix> allowed, SenderRate rate)
    : allowed_(std::move(allowed)) {
  if (rate.count > 0) rateLimit_ = std::make_unique<SenderRateLimit>(rate);
}

SenderVerdict SenderCheck::decide(const SenderAddress& sender, std::int64_t now) {
  if (!allowed_.empty()) {
    bool listed = false;
    for (const SenderPrefix& prefix : allowed_) {
      if (prefix.matches(sender)) {
        listed = true;
        break;
      }
    }
    if (!listed) return SenderVerdict::NotAllowed;
  }
  if (rateLimit_ != nullptr && !rateLimit_->allows(sender, now)) return SenderVerdict::OverRate;
  return SenderVerdict::Kept;
}
