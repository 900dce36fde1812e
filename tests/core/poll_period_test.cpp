#include "core/poll_period.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <ostream>
#include <vector>

#include "case_name.h"

namespace {

struct PeriodCase {
  const char* name;
  int32_t pollSeconds;
  uint32_t periodMs;
};

void PrintTo(const PeriodCase& period, std::ostream* out) { *out << period.name; }

class CorePollPeriod : public testing::TestWithParam<PeriodCase> {};

TEST_P(CorePollPeriod, IsTheIntervalInsideTheTimersRange) {
  EXPECT_EQ(GetParam().periodMs, PollPeriodMs(GetParam().pollSeconds));
}

constexpr int32_t kInt32Max = std::numeric_limits<int32_t>::max();
constexpr int32_t kInt32Min = std::numeric_limits<int32_t>::min();

INSTANTIATE_TEST_SUITE_P(Intervals, CorePollPeriod,
                         testing::ValuesIn(std::vector<PeriodCase>{
                             {"Default", 300, 300000},
                             {"OneSecond", 1, 1000},
                             {"ZeroIsTheShortestPeriod", 0, kTimerMinimumMs},
                             {"MinusOneIsTheLongest", -1, kTimerMaximumMs},
                             {"MostNegativeIsTheLongest", kInt32Min, kTimerMaximumMs},
                             {"LongestThatFits", 2147483, 2147483000},
                             {"FirstBeyondTheRange", 2147484, kTimerMaximumMs},
                             // 4294968000 wraps to 704 in 32 bits: a poll every 0.7 s.
                             {"ProductBeyond32BitsDoesNotWrap", 4294968, kTimerMaximumMs},
                             {"LargestInterval", kInt32Max, kTimerMaximumMs}}),
                         CaseName());

}  // namespace
