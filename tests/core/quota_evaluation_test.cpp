#include "core/quota_evaluation.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "case_name.h"
#include "core/fixed_text.h"

namespace {

const Thresholds kPercent{75, 95, true};
const Thresholds kMegabytes{50, 10, false};

QuotaReading Directory(uint32_t limitKb, uint32_t freeKb) {
  QuotaReading reading;
  reading.result = DirectoryLimitOnly;
  reading.dirLimitKb = limitKb;
  reading.dirFreeKb = freeKb;
  return reading;
}

QuotaReading Volume(uint32_t limitKb, uint32_t usedKb) {
  QuotaReading reading;
  reading.result = VolumeLimitOnly;
  reading.volLimitKb = limitKb;
  reading.volUsedKb = usedKb;
  return reading;
}

QuotaReading Both(uint32_t dirLimitKb, uint32_t dirFreeKb, uint32_t volLimitKb,
                  uint32_t volUsedKb) {
  QuotaReading reading = Directory(dirLimitKb, dirFreeKb);
  reading.result = BothLimits;
  reading.volLimitKb = volLimitKb;
  reading.volUsedKb = volUsedKb;
  return reading;
}

QuotaReading Result(int result) {
  QuotaReading reading = Both(100, 10, 100, 90);  // figures a failed query may leave behind
  reading.result = result;
  return reading;
}

struct EvaluationCase {
  const char* name;
  QuotaReading reading;
  Thresholds thresholds;
  int32_t percentUsed;
  int32_t freeMb;
  StatusLevel level;
};

class CoreEvaluateQuota : public testing::TestWithParam<EvaluationCase> {};

TEST_P(CoreEvaluateQuota, GivesPercentFreeAndLevel) {
  const EvaluationCase& c = GetParam();
  const QuotaEvaluation evaluation = EvaluateQuota(c.reading, c.thresholds);
  EXPECT_EQ(evaluation.percentUsed, c.percentUsed);
  EXPECT_EQ(evaluation.freeMb, c.freeMb);
  EXPECT_EQ(evaluation.level, c.level);
}

INSTANTIATE_TEST_SUITE_P(
    Results, CoreEvaluateQuota,
    testing::ValuesIn(std::vector<EvaluationCase>{
        {"Failed", Result(QueryFailed), kPercent, 0, 0, LevelUnknown},
        {"MissingOutput", Result(MissingOutput), kMegabytes, 0, 0, LevelUnknown},
        {"ResultZero", Result(0), kPercent, 0, 0, LevelUnknown},
        {"ResultSeven", Result(7), kPercent, 0, 0, LevelUnknown},
        {"ResultNegative", Result(-1), kPercent, 0, 0, LevelUnknown},
        {"NoLimit", Result(NoLimit), kPercent, 0, 0, LevelOk},
        {"NoLimitInMegabytes", Result(NoLimit), kMegabytes, 0, 0, LevelOk},
        {"DirectoryLimitZero", Directory(0, 0), kPercent, 100, 0, LevelDanger},
        {"VolumeLimitZero", Volume(0, 0), kMegabytes, 100, 0, LevelDanger},
        {"BothVolumeLimitZero", Both(1000, 1000, 0, 0), kPercent, 100, 0, LevelDanger},
        {"BothDirectoryLimitZero", Both(0, 0, 100000, 0), kMegabytes, 100, 0, LevelDanger}}),
    CaseName());

INSTANTIATE_TEST_SUITE_P(
    Figures, CoreEvaluateQuota,
    testing::ValuesIn(std::vector<EvaluationCase>{
        {"Directory74Truncated", Directory(100000, 25001), kPercent, 74, 25, LevelOk},
        {"Directory80", Directory(102400, 20000), kPercent, 80, 20, LevelWarning},
        {"Directory34FreeGives65", Directory(100, 34), kPercent, 65, 0, LevelOk},
        {"Directory30FreeGives70", Directory(100, 30), kPercent, 70, 0, LevelOk},
        // More free than the limit: nothing used, and no more free than the limit.
        {"DirectoryFreeAboveLimit", Directory(100, 150), kPercent, 0, 0, LevelOk},
        {"DirectoryFreeFarAboveLimit", Directory(1000, 0xFFFFFFFF), kMegabytes, 0, 1, LevelDanger},
        {"Volume29Gives28", Volume(100, 29), kPercent, 28, 0, LevelOk},
        {"Volume58Gives57", Volume(100, 58), kPercent, 57, 0, LevelOk},
        {"Volume70Gives70", Volume(100, 70), kPercent, 70, 0, LevelOk},
        {"VolumeExceededPercent", Volume(50000, 60000), kPercent, 100, 0, LevelDanger},
        {"VolumeExceededMegabytes", Volume(50000, 60000), kMegabytes, 100, 0, LevelDanger},
        {"VolumeFullyUsed", Volume(50000, 50000), kPercent, 100, 0, LevelDanger},
        // A restriction above 2^31 KB with nothing used is all free.
        {"VolumeAbove2GbAllFree", Volume(0xC0000000, 0), kMegabytes, 0, 3221225, LevelOk},
        {"BothTakesLargerPercentage", Both(100000, 60000, 100000, 80000), kPercent, 80, 20,
         LevelWarning},
        {"BothTakesSmallerFreeDirectory", Both(100000, 12000, 100000, 50000), kMegabytes, 88, 12,
         LevelWarning},
        {"BothVolumeExceeded", Both(100000, 60000, 1000, 2000), kMegabytes, 100, 0, LevelDanger},
        {"MegabytesWarningAt50", Directory(1000000, 50999), kMegabytes, 94, 50, LevelWarning},
        {"MegabytesOkAt51", Directory(1000000, 51000), kMegabytes, 94, 51, LevelOk},
        {"MegabytesDangerAt10", Directory(1000000, 10999), kMegabytes, 98, 10, LevelDanger},
        {"MegabytesWarningAt11", Directory(1000000, 11000), kMegabytes, 98, 11, LevelWarning}}),
    CaseName());

struct LevelCase {
  const char* name;
  int32_t percentUsed;
  int32_t freeMb;
  Thresholds thresholds;
  StatusLevel level;
};

class CoreLevelFromThresholds : public testing::TestWithParam<LevelCase> {};

TEST_P(CoreLevelFromThresholds, PicksTheBand) {
  const LevelCase& c = GetParam();
  EXPECT_EQ(LevelFromThresholds(c.percentUsed, c.freeMb, c.thresholds), c.level);
}

INSTANTIATE_TEST_SUITE_P(
    Bands, CoreLevelFromThresholds,
    testing::ValuesIn(std::vector<LevelCase>{
        {"Percent74Ok", 74, 0, kPercent, LevelOk},
        {"Percent75Warning", 75, 0, kPercent, LevelWarning},
        {"Percent94Warning", 94, 0, kPercent, LevelWarning},
        {"Percent95Danger", 95, 0, kPercent, LevelDanger},
        {"PercentIgnoresFree", 10, 0, kPercent, LevelOk},
        {"Megabytes51Ok", 100, 51, kMegabytes, LevelOk},
        {"Megabytes50Warning", 0, 50, kMegabytes, LevelWarning},
        {"Megabytes11Warning", 0, 11, kMegabytes, LevelWarning},
        {"Megabytes10Danger", 0, 10, kMegabytes, LevelDanger},
        {"NegativeThresholdsCompareSigned", 0, 0, Thresholds{-5, -1, true}, LevelDanger},
        {"NegativeMegabytesCompareSigned", 0, 0, Thresholds{-1, -2, false}, LevelOk},
        {"ReversedPercentOkBelowWarning", 94, 0, Thresholds{95, 75, true}, LevelOk},
        {"ReversedPercentDangerAtWarning", 95, 0, Thresholds{95, 75, true}, LevelDanger},
        {"ReversedMegabytesOkAboveWarning", 0, 11, Thresholds{10, 50, false}, LevelOk},
        {"ReversedMegabytesDangerAtWarning", 0, 10, Thresholds{10, 50, false}, LevelDanger}}),
    CaseName());

TEST(CoreMarkFailedReading, WritesQuestionMarksOnlyIntoFailedReadings) {
  for (int result : {int{QueryFailed}, int{MissingOutput}, 0, 7}) {
    QuotaReading reading = Result(result);
    CopyToBuffer(reading.loginName, "user1");
    CopyToBuffer(reading.serverName, "FS1");
    MarkFailedReading(reading);
    EXPECT_EQ(BufferText(reading.loginName), "??") << result;
    EXPECT_EQ(BufferText(reading.serverName), "??") << result;
  }
  for (int result : {DirectoryLimitOnly, VolumeLimitOnly, BothLimits, NoLimit}) {
    QuotaReading reading = Result(result);
    CopyToBuffer(reading.loginName, "user1");
    MarkFailedReading(reading);
    EXPECT_EQ(BufferText(reading.loginName), "user1") << result;
  }
}

}  // namespace
