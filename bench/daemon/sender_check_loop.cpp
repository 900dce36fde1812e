// The sender check alone: the processor time of one allow-list and rate
// decision, as the receiving thread makes it for every datagram (the steady
// clock read included), over many datagrams from one sender and from 10 000
// senders in turn (the rate table then misses its cache more often).
//   brimletd_bench_sender_check COUNT
// prints: ns_one_sender ns_many_senders
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <vector>

#include "receive/sender_check.h"

namespace {

double cpuSeconds() {
  timespec now{};
  ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

std::vector<SenderPrefix> prefixes() {
  std::vector<SenderPrefix> list(4);
  const char* texts[] = {"192.0.2.0/24", "2001:db8::/32", "10.0.0.0/8", "127.0.0.0/8"};
  for (int i = 0; i < 4; ++i) SenderPrefix::parse(texts[i], &list[static_cast<std::size_t>(i)]);
  return list;
}

double nanosecondsPerDecision(long count, int senders) {
  SenderCheck check(prefixes(), SenderRate{1000000000, 1});
  std::vector<SenderAddress> addresses;
  for (int i = 0; i < senders; ++i) {
    const std::uint8_t four[4] = {127, static_cast<std::uint8_t>(i >> 8),
                                  static_cast<std::uint8_t>(i & 0xFF), 1};
    addresses.push_back(SenderAddress::fromIPv4(four));
  }
  long kept = 0;
  const double start = cpuSeconds();
  for (long i = 0; i < count; ++i) {
    const auto now = std::chrono::steady_clock::now().time_since_epoch().count() | 1;
    if (check.decide(addresses[static_cast<std::size_t>(i % senders)], now) ==
        SenderVerdict::Kept) {
      ++kept;
    }
  }
  const double seconds = cpuSeconds() - start;
  if (kept != count)
    std::fprintf(stderr, "sender check: %ld of %ld refused\n", count - kept, count);
  return seconds * 1e9 / static_cast<double>(count);
}

}  // namespace

int main(int argc, char** argv) {
  const long count = argc == 2 ? std::atol(argv[1]) : 0;
  if (count <= 0) {
    std::fprintf(stderr, "usage: %s COUNT\n", argv[0]);
    return 2;
  }
  std::printf("%.1f %.1f\n", nanosecondsPerDecision(count, 1),
              nanosecondsPerDecision(count, 10000));
  return 0;
}
