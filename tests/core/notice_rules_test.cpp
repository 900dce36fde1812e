#include "core/notice_rules.h"

#include <gtest/gtest.h>

#include <ctime>
#include <vector>

#include "case_name.h"

namespace {

constexpr StatusLevel U = LevelUnknown, O = LevelOk, W = LevelWarning, D = LevelDanger;
constexpr Notice None = Notice::None, Tell = Notice::Notification, Remind = Notice::Reminder,
                 Window = Notice::OpenWindow;
constexpr int kNoSnooze = 0;

// One poll: its minute, the shown level, the exact reading, whether the shell
// is quiet, a snooze of that many minutes the user chose just before it, and
// what the poll shows.
struct Step {
  int minute;
  StatusLevel level;
  double percent;
  int64_t freeKb;
  bool quiet;
  int snoozeMinutes;
  Notice shows;
};

struct NoticeCase {
  const char* name;
  Thresholds thresholds;
  bool autoShow;
  std::vector<Step> steps;
};

const Thresholds kPercent{75, 95, true};
const Thresholds kMegabytes{50, 10, false};

class CoreNoticeRules : public testing::TestWithParam<NoticeCase> {};

TEST_P(CoreNoticeRules, EachPollShowsWhatItsRowSays) {
  const NoticeCase& run = GetParam();
  NoticeRules rules;
  for (std::size_t i = 0; i < run.steps.size(); ++i) {
    const Step& step = run.steps[i];
    const int64_t now = step.minute * int64_t{60};
    if (step.snoozeMinutes > 0) rules.Snooze(now, now + step.snoozeMinutes * int64_t{60});
    NoticePoll poll;
    poll.now = now;
    poll.level = step.level;
    poll.levelWithMargin =
        LevelWithMargin({step.level != U, step.percent, step.freeKb}, run.thresholds);
    poll.freeKb = step.freeKb;
    poll.quiet = step.quiet;
    poll.autoShow = run.autoShow;
    EXPECT_EQ(static_cast<int>(step.shows), static_cast<int>(rules.Poll(poll)))
        << "poll " << i << " at minute " << step.minute;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Runs, CoreNoticeRules,
    testing::ValuesIn(std::vector<NoticeCase>{
        {"BouncingAroundTheThresholdTellsOnce", kPercent, false,
         {{0, O, 74.9, 25100, false, kNoSnooze, None},
          {5, W, 75.1, 24900, false, kNoSnooze, Tell},
          {10, O, 74.9, 25100, false, kNoSnooze, None},
          {15, W, 75.1, 24900, false, kNoSnooze, None},
          {20, O, 73.1, 26900, false, kNoSnooze, None},  // shown 73 %, not clear by 2 points
          {25, W, 75.1, 24900, false, kNoSnooze, None},
          {30, O, 72.9, 27100, false, kNoSnooze, None},  // clear: the next rise is told
          {35, W, 75.1, 24900, false, kNoSnooze, Tell}}},
        {"UnknownBetweenTwoDangersIsNoFall", kPercent, false,
         {{0, D, 98, 2000, false, kNoSnooze, Tell},
          {5, U, 0, 0, false, kNoSnooze, None},
          {10, D, 98, 2000, false, kNoSnooze, None}}},
        {"AutoShowOpensTheWindowOncePerRealRise", kPercent, true,
         {{0, O, 20, 80000, false, kNoSnooze, None},
          {5, D, 95.2, 4800, false, kNoSnooze, Window},
          {10, W, 94.8, 5200, false, kNoSnooze, None},
          {15, D, 95.2, 4800, false, kNoSnooze, None},
          {20, W, 80, 20000, false, kNoSnooze, None},
          {25, D, 95.2, 4800, false, kNoSnooze, Window}}},
        {"DangerRemindsEveryFourHours", kPercent, false,
         {{0, D, 98, 2000, false, kNoSnooze, Tell},
          {239, D, 98, 2000, false, kNoSnooze, None},
          {240, D, 98, 2000, false, kNoSnooze, Remind},
          {300, D, 98, 2000, false, kNoSnooze, None},
          {480, D, 98, 2000, false, kNoSnooze, Remind}}},
        {"DangerRemindsWhenTheFreeSpaceHalves", kPercent, false,
         {{0, D, 96, 4000, false, kNoSnooze, Tell},
          {5, D, 97.9, 2100, false, kNoSnooze, None},
          {10, D, 98, 2000, false, kNoSnooze, Remind},
          {15, D, 98.5, 1500, false, kNoSnooze, None},
          {20, D, 100, 0, false, kNoSnooze, Remind},
          {25, D, 100, 0, false, kNoSnooze, None}}},
        {"WarningRemindsOnceADayAndNotAtHalving", kPercent, false,
         {{0, W, 80, 20000, false, kNoSnooze, Tell},
          {60, W, 90, 10000, false, kNoSnooze, None},
          {1439, W, 90, 10000, false, kNoSnooze, None},
          {1440, W, 90, 10000, false, kNoSnooze, Remind},
          {1500, W, 90, 10000, false, kNoSnooze, None}}},
        {"ASnoozedDangerIsToldWhenTheSnoozeEnds", kPercent, false,
         {{0, D, 98, 2000, false, kNoSnooze, Tell},
          {5, D, 98, 2000, false, 60, None},
          {60, D, 98, 2000, false, kNoSnooze, None},
          {65, D, 98, 2000, false, kNoSnooze, Remind},
          {70, D, 98, 2000, false, kNoSnooze, None}}},
        {"ASnoozeEndsAtARiseToDanger", kPercent, true,
         {{0, W, 80, 20000, false, kNoSnooze, Tell},
          {5, W, 80, 20000, false, 240, None},
          {10, D, 96, 4000, false, kNoSnooze, Window}}},
        {"ASnoozeEndsWhenTheFreeSpaceHalves", kPercent, false,
         {{0, W, 80, 20000, false, kNoSnooze, Tell},
          {5, W, 85, 15000, false, 240, None},
          {10, W, 90, 10000, false, kNoSnooze, Remind},
          {15, W, 90, 10000, false, kNoSnooze, None}}},
        {"ARiseDuringASnoozeWaitsForItsEnd", kPercent, false,
         {{0, O, 20, 80000, false, 60, None},
          {5, W, 80, 20000, false, kNoSnooze, None},
          {60, W, 80, 20000, false, kNoSnooze, Tell},
          {65, W, 80, 20000, false, kNoSnooze, None}}},
        {"QuietHoldsBackUntilItEnds", kPercent, true,
         {{0, W, 80, 20000, true, kNoSnooze, None},
          {5, D, 98, 2000, true, kNoSnooze, None},
          {10, D, 98, 2000, false, kNoSnooze, Window},
          {15, D, 98, 2000, false, kNoSnooze, None}}},
        {"WhatQuietHeldBackGoesWhenTheLevelReallyFalls", kPercent, false,
         {{0, W, 80, 20000, true, kNoSnooze, None},
          {5, O, 74.9, 25100, false, kNoSnooze, None},  // still within the margin: kept
          {10, W, 75.5, 24500, false, kNoSnooze, Tell},
          {15, W, 80, 20000, true, kNoSnooze, None},
          {20, O, 50, 50000, false, kNoSnooze, None},   // clear: dropped
          {25, O, 50, 50000, false, kNoSnooze, None}}},
        {"QuietHoldsAReminderBack", kPercent, false,
         {{0, D, 98, 2000, false, kNoSnooze, Tell},
          {240, D, 98, 2000, true, kNoSnooze, None},
          {245, D, 98, 2000, false, kNoSnooze, Remind}}},
        {"TheMegabyteMarginIsATenthOfTheThreshold", kMegabytes, false,
         {{0, W, 90, 49900, false, kNoSnooze, Tell},
          {5, O, 89, 50500, false, kNoSnooze, None},
          {10, O, 89, 55000, false, kNoSnooze, None},  // 50 Mb + 5 Mb is not clear yet
          {15, W, 90, 49000, false, kNoSnooze, None},
          {20, O, 88, 55001, false, kNoSnooze, None},
          {25, W, 90, 49000, false, kNoSnooze, Tell},
          {30, D, 99, 9000, false, kNoSnooze, Tell},
          {35, W, 98, 10900, false, kNoSnooze, None},  // 10 Mb + 1 Mb is not clear yet
          {40, D, 99, 9000, false, kNoSnooze, None},
          {45, W, 98, 11100, false, kNoSnooze, None},
          {50, D, 99, 9000, false, kNoSnooze, Tell}}}}),
    CaseName());

// The shown percentage is truncated; the margin judges the reading itself.
TEST(CoreNoticeFigures, TheExactReadingNotTheShownFigure) {
  QuotaReading reading;
  reading.result = DirectoryLimitOnly;
  reading.dirLimitKb = 100000;
  reading.dirFreeKb = 25001;  // shows 74 %
  const ExactFigures figures = ExactFiguresOf(reading);
  EXPECT_NEAR(74.999, figures.percentUsed, 1e-9);
  EXPECT_EQ(25001, figures.freeKb);
  EXPECT_EQ(LevelWarning, LevelWithMargin(figures, kPercent));
  reading.result = BothLimits;
  reading.volLimitKb = 50000;
  reading.volUsedKb = 60000;  // over the volume restriction
  EXPECT_EQ(0, ExactFiguresOf(reading).freeKb);
  EXPECT_EQ(100, ExactFiguresOf(reading).percentUsed);
  reading.result = QueryFailed;
  EXPECT_FALSE(ExactFiguresOf(reading).known);
}

TEST(CoreNoticeSnooze, TomorrowEndsAtTheNextEightOClock) {
  const std::time_t now = std::time(nullptr);
  for (int hours = 0; hours < 24; ++hours) {
    const std::time_t from = now + hours * 3600;
    const std::time_t morning = NextMorning(from);
    ASSERT_GT(morning, from);
    EXPECT_LE(morning - from, 25 * 3600);  // a day, and an hour of daylight saving
    const std::tm local = *std::localtime(&morning);
    EXPECT_EQ(kSnoozeMorningHour, local.tm_hour);
    EXPECT_EQ(0, local.tm_min);
  }
}

}  // namespace
