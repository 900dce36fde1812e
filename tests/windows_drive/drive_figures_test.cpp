// Bytes of a Windows drive to the kilobyte figures of a reading.
#include <gtest/gtest.h>

#include "windows_drive/drive_figures.h"

namespace {

struct FiguresCase {
  const char* name;
  uint64_t totalBytes;
  uint64_t freeBytes;
  uint32_t usedKb;
  uint32_t limitKb;
  uint32_t freeKb;
  RestrictionResult result;
};

constexpr uint64_t kKb = 1024;
constexpr uint64_t kTiB = kKb * kKb * kKb * kKb;

class DriveFiguresTest : public ::testing::TestWithParam<FiguresCase> {};

TEST_P(DriveFiguresTest, GivesTheKilobyteFigures) {
  const FiguresCase& c = GetParam();
  DriveFigures f = DriveFiguresOf(c.totalBytes, c.freeBytes);
  EXPECT_EQ(c.usedKb, f.usedKb);
  EXPECT_EQ(c.limitKb, f.limitKb);
  EXPECT_EQ(c.freeKb, f.freeKb);
  EXPECT_EQ(c.result, f.result);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, DriveFiguresTest,
    ::testing::Values(
        FiguresCase{"HundredMebibytesAtEightyPercent", 100 * kKb * kKb, 20 * kKb * kKb, 81920,
                    102400, 20480, DirectoryLimitOnly},
        FiguresCase{"PartialKilobytesRoundDown", 10 * kKb + 1023, 2 * kKb + 1023, 8, 10, 2,
                    DirectoryLimitOnly},
        FiguresCase{"AFullDrive", 64 * kKb, 0, 64, 64, 0, DirectoryLimitOnly},
        FiguresCase{"AnEmptyDriveOfNoSize", 0, 0, 0, 0, 0, DirectoryLimitOnly},
        FiguresCase{"FreeBeyondTheTotalCountsAsEmpty", 8 * kKb, 9 * kKb, 0, 8, 8,
                    DirectoryLimitOnly},
        FiguresCase{"TheLargestFigureThatFits", 4 * kTiB - kKb, kKb, 0xFFFFFFFEu, 0xFFFFFFFFu, 1,
                    DirectoryLimitOnly},
        FiguresCase{"FourTebibytesClampNotWrap", 4 * kTiB, kKb, 0xFFFFFFFFu, 0xFFFFFFFFu, 1,
                    NoLimit},
        FiguresCase{"TenTebibytesHalfFree", 10 * kTiB, 5 * kTiB, 0xFFFFFFFFu, 0xFFFFFFFFu,
                    0xFFFFFFFFu, NoLimit}),
    [](const ::testing::TestParamInfo<FiguresCase>& info) { return info.param.name; });

}  // namespace
