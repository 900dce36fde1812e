// The rules that turn raw block values into kilobyte figures, and the packed
// limit list they come in.
#include "netware/restriction_figures.h"

#include <gtest/gtest.h>

#include "netware/space_limit_list.h"

namespace {

constexpr int32_t kNone = kNoDirLimit;

struct DirectoryCase {
  const char* name;
  std::vector<DirSpaceLimitEntry> entries;  // {level, limit, remaining}
  uint64_t usedKb, limitKb, freeKb;
  bool limited;
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const DirectoryCase& c, std::ostream* os) { *os << c.name; }

class NetWareDirectoryFiguresTest : public testing::TestWithParam<DirectoryCase> {};

TEST_P(NetWareDirectoryFiguresTest, UsedFromFirstEntryLimitFromTightest) {
  const DirectoryCase& c = GetParam();
  DirectoryFigures figures = DirectoryFiguresOf(c.entries);
  EXPECT_EQ(figures.usedKb, c.usedKb);
  EXPECT_EQ(figures.limitKb, c.limitKb);
  EXPECT_EQ(figures.freeKb, c.freeKb);
  EXPECT_EQ(figures.limited, c.limited);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, NetWareDirectoryFiguresTest,
    testing::Values(
        DirectoryCase{"EmptyList", {}, 0, 0, 0, false},
        DirectoryCase{"NoLimitLevelOnly", {{0, kNone, kNone}}, 0, 0, 0x7FFFFFFFull * 4, false},
        DirectoryCase{"LeastRemainingDecides",
                      {{0, 25600, 1000}, {1, 51200, 800}},
                      98400,
                      204800,
                      3200,
                      true},
        DirectoryCase{"TieTakesTheLast", {{0, 100, 50}, {1, 200, 50}}, 200, 800, 200, true},
        DirectoryCase{"LooserLaterLevelIgnored", {{0, 100, 50}, {1, 200, 60}}, 200, 400, 200, true},
        DirectoryCase{"OverTheLimit", {{0, 1000, -20}}, 4080, 4000, 0, true},
        DirectoryCase{"UnlimitedParentThenLimit",
                      {{1, kNone, kNone}, {0, 25600, 6400}},
                      0,
                      102400,
                      25600,
                      true},
        // More remaining than the limit: nothing used.
        DirectoryCase{"NegativeLimitCountsAsZero", {{0, -5, 100}}, 0, 0, 0, true},
        DirectoryCase{"NoLimitWithFiniteRemaining",
                      {{0, kNone, 5000}},
                      (0x7FFFFFFFull - 5000) * 4,
                      0,
                      0,
                      false},
        // No product wraps: 0x40000001 blocks are 4294967300 KB, not 4.
        DirectoryCase{"FiguresDoNotWrap", {{0, 0x40000001, 1}}, 0x100000000ull, 0x100000004ull, 4,
                      true}),
    [](const testing::TestParamInfo<DirectoryCase>& info) { return info.param.name; });

TEST(NetWareVolumeFiguresTest, NoRestrictionMarkerAndZeroRestriction) {
  VolumeFigures none = VolumeFiguresOf(kNoVolumeRestriction, 1000);
  EXPECT_FALSE(none.limited);
  EXPECT_EQ(none.limitKb, 0u);
  EXPECT_EQ(none.usedKb, 4000u);

  VolumeFigures zero = VolumeFiguresOf(0, 12);
  EXPECT_TRUE(zero.limited);  // a restriction of 0 blocks is a real restriction
  EXPECT_EQ(zero.limitKb, 0u);

  VolumeFigures largest = VolumeFiguresOf(0xFFFFFFFF, 0x40000010);
  EXPECT_EQ(largest.limitKb, 0x3FFFFFFFCull);
  EXPECT_EQ(largest.usedKb, 0x100000040ull);
}

TEST(NetWareSpaceLimitListTest, RoundTripsSignedValuesLittleEndian) {
  std::vector<DirSpaceLimitEntry> entries = {{3, kNone, -20}, {0, 25600, 0x01020304}};
  std::vector<uint8_t> bytes = EncodeDirSpaceLimitList(2, entries);
  ASSERT_EQ(bytes.size(), 19u);
  EXPECT_EQ(bytes[10], 0);     // level of the second entry
  EXPECT_EQ(bytes[15], 0x04);  // its remaining, low byte first
  std::vector<DirSpaceLimitEntry> decoded = DecodeDirSpaceLimitList(bytes.data(), bytes.size());
  ASSERT_EQ(decoded.size(), 2u);
  EXPECT_EQ(decoded[0].level, 3);
  EXPECT_EQ(decoded[0].limitBlocks, kNone);
  EXPECT_EQ(decoded[0].remainingBlocks, -20);
  EXPECT_EQ(decoded[1].remainingBlocks, 0x01020304);
}

TEST(NetWareSpaceLimitListTest, ReadsOnlyWhatTheReplyHolds) {
  std::vector<uint8_t> bytes = EncodeDirSpaceLimitList(5, {{0, 100, 50}, {1, 200, 20}});
  EXPECT_EQ(DecodeDirSpaceLimitList(bytes.data(), bytes.size()).size(), 2u);
  // A cut inside the second entry leaves only the first.
  EXPECT_EQ(DecodeDirSpaceLimitList(bytes.data(), bytes.size() - 1).size(), 1u);
  EXPECT_TRUE(DecodeDirSpaceLimitList(bytes.data(), 0).empty());
  // A count smaller than the entries that follow is obeyed.
  bytes[0] = 1;
  EXPECT_EQ(DecodeDirSpaceLimitList(bytes.data(), bytes.size()).size(), 1u);
}

}  // namespace
