// From the client's block counts to what the monitor shows and sends: the
// query over the simulated network, the evaluation, the details window's six
// figures and the alert datagram, for counts up to 32 bits (volumes past
// 4 TB). The evaluation's kilobyte examples are core/quota_evaluation_test's.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "core/alert.h"
#include "core/details_text.h"
#include "core/fixed_text.h"
#include "core/quota_evaluation.h"
#include "netware/disk_restriction.h"
#include "simulated/simulated_client.h"
#include "test_network.h"

namespace {

const Thresholds kPercent{75, 95, true};
const Thresholds kHalf{50, 95, true};

// The query on H:\ of a network with these limit entries and volume keys.
std::function<QuotaReading()> Blocks(std::string entries, std::string volume = "") {
  return [=] {
    TestNetwork network(HomeNetwork(entries, "", volume));
    SimulatedNetWareClient client;
    client.StartClient(nullptr, nullptr);
    return QueryDiskRestriction(client, "H:\\");
  };
}

struct FiguresCase {
  const char* name;
  std::function<QuotaReading()> reading;
  Thresholds thresholds;
  int32_t percent;
  StatusLevel level;
  const char* figures;  // directory used, limit, free | volume used, limit, free
  const char* alert;    // "" when none is due
};

void PrintTo(const FiguresCase& c, std::ostream* os) { *os << c.name; }

class NetWareQuotaFigures : public testing::TestWithParam<FiguresCase> {};

TEST_P(NetWareQuotaFigures, LevelPercentFiguresAndAlert) {
  const FiguresCase& c = GetParam();
  const QuotaReading reading = c.reading();
  const QuotaEvaluation evaluation = EvaluateQuota(reading, c.thresholds);
  const FigureTexts t = FigureTextsOf(reading);
  EXPECT_EQ(evaluation.percentUsed, c.percent);
  EXPECT_EQ(evaluation.level, c.level);
  EXPECT_EQ(t.dirUsed + ", " + t.dirLimit + ", " + t.dirFree + " | " + t.volUsed + ", " +
                t.volLimit + ", " + t.volFree,
            c.figures);
  EXPECT_EQ(ComposeAlertText({evaluation.level, BufferText(reading.loginName),
                              evaluation.percentUsed, t.freeText, t.maxText}),
            c.alert);
}

INSTANTIATE_TEST_SUITE_P(
    Blocks, NetWareQuotaFigures,
    testing::ValuesIn(std::vector<FiguresCase>{
        // Counts whose kilobytes pass 32 bits.
        {"HalfOf0x40000000Blocks", Blocks("entry = 0, 0x40000000, 0x20000000\n"), kHalf, 50,
         LevelWarning, "2147483.65 Mb, 4294967.30 Mb, 2147483.65 Mb | 0.00 Mb, , ",
         "Warning,user1,50%,2147483.65 Mb free,4294967.30 Mb max"},
        {"OneBlockFreeOf0x40000001", Blocks("entry = 0, 0x40000001, 1\n"), kPercent, 99,
         LevelDanger, "4294967.30 Mb, 4294967.30 Mb, 0.00 Mb | 0.00 Mb, , ",
         "Danger,user1,99%,0.00 Mb free,4294967.30 Mb max"},
        {"VolumeUsedBeyond0x30000000",
         Blocks("", "restriction = 0x30000000\nin use = 0x40000010\n"), kPercent, 100,
         LevelDanger, "0.00 Mb, ,  | 4294967.36 Mb, 3221225.47 Mb, 0.00 Mb",
         "Danger,user1,100%,0.00 Mb free,3221225.47 Mb max"},
        {"FreeAboveTheLimit", Blocks("entry = 0, 25600, 50000\n"), kPercent, 0, LevelOk,
         "0.00 Mb, 102.40 Mb, 102.40 Mb | 0.00 Mb, , ", ""},
        {"LargestVolumeCounts", Blocks("", "restriction = 0xFFFFFFFF\nin use = 0xFFFFFFFF\n"),
         kPercent, 100, LevelDanger, "0.00 Mb, ,  | 17179869.18 Mb, 17179869.18 Mb, 0.00 Mb",
         "Danger,user1,100%,0.00 Mb free,17179869.18 Mb max"},
        {"LargestLimitFarOver", Blocks("entry = 0, 0x7FFFFFFE, 0x80000000\n"), kPercent, 100,
         LevelDanger, "17179869.18 Mb, 8589934.58 Mb, 0.00 Mb | 0.00 Mb, , ",
         "Danger,user1,100%,0.00 Mb free,8589934.58 Mb max"},
        {"BothBeyond4Tb",
         Blocks("entry = 0, 0x50000000, 0x14000000\n",
                "restriction = 0x60000000\nin use = 0x20000000\n"),
         kPercent, 75, LevelWarning,
         "4026531.84 Mb, 5368709.12 Mb, 1342177.28 Mb | 2147483.65 Mb, 6442450.94 Mb, "
         "4294967.30 Mb",
         "Warning,user1,75%, free, max"},
        // The query's own examples, and the walk-through's poll.
        {"WalkthroughWarning", Blocks("entry = 0, 25600, 5000\n"), kPercent, 80, LevelWarning,
         "82.40 Mb, 102.40 Mb, 20.00 Mb | 0.00 Mb, , ",
         "Warning,user1,80%,20.00 Mb free,102.40 Mb max"},
        {"LeastRemainingDecides", Blocks("entry = 0, 25600, 1000\nentry = 1, 51200, 800\n"),
         kPercent, 98, LevelDanger, "98.40 Mb, 204.80 Mb, 3.20 Mb | 0.00 Mb, , ",
         "Danger,user1,98%,3.20 Mb free,204.80 Mb max"},
        {"OverItsLimit", Blocks("entry = 0, 1000, -20\n"), kPercent, 100, LevelDanger,
         "4.08 Mb, 4.00 Mb, 0.00 Mb | 0.00 Mb, , ", "Danger,user1,100%,0.00 Mb free,4.00 Mb max"},
        {"UnlimitedParentAndVolume",
         Blocks("entry = 1, 0x7FFFFFFF, 0x7FFFFFFF\nentry = 0, 25600, 6400\n",
                "restriction = 25000\nin use = 12000\n"),
         kPercent, 75, LevelWarning, "0.00 Mb, 102.40 Mb, 25.60 Mb | 48.00 Mb, 100.00 Mb, 52.00 Mb",
         "Warning,user1,75%, free, max"},
        {"NoLimit", Blocks("", "in use = 1000\n"), kPercent, 0, LevelOk,
         "0.00 Mb, ,  | 4.00 Mb, , ", ""}}),
    [](const testing::TestParamInfo<FiguresCase>& info) { return info.param.name; });

}  // namespace
