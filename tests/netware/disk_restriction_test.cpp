// The disk restriction query against the simulated network: the order of its
// steps, what it leaves open and what it writes when a step fails.
#include "netware/disk_restriction.h"

#include <gtest/gtest.h>

#include "simulated/simulated_client.h"
#include "test_network.h"

namespace {

const OpenObjectCounts kDriveOnly{1, 1, 0, 0, 0};  // the mapping's connection and handle

// The query on a client started as the poll starts it (ReadNetWare).
struct Reading {
  QuotaReading quota;
  RestrictionResult result = QueryFailed;

  void Query(NetWareClient& client, const char* path = "H:\\") {
    quota = QuotaReading{};
    if (client.StartClient(nullptr, nullptr) == 0) quota = QueryDiskRestriction(client, path);
    result = static_cast<RestrictionResult>(quota.result);
  }
  bool FiguresZero() const {
    return quota.dirUsedKb == 0 && quota.dirLimitKb == 0 && quota.dirFreeKb == 0 &&
           quota.volUsedKb == 0 && quota.volLimitKb == 0;
  }
};

TEST(NetWareDiskRestrictionTest, WalkthroughStepsInOrderAndOnlyTheDriveStaysOpen) {
  TestNetwork network(HomeNetwork("entry = 0, 25600, 5000\n", "", "in use = 20600\n"));
  SimulatedNetWareClient client;
  Reading reading;
  reading.Query(client);
  EXPECT_EQ(reading.result, DirectoryLimitOnly);
  EXPECT_STREQ(reading.quota.serverName, "FS1");
  EXPECT_STREQ(reading.quota.loginName, "user1");
  EXPECT_STREQ(reading.quota.serverPath, "SYS:USERS\\USER1");
  EXPECT_EQ(reading.quota.dirUsedKb, 82400u);   // used
  EXPECT_EQ(reading.quota.dirLimitKb, 102400u);  // limit
  EXPECT_EQ(reading.quota.dirFreeKb, 20000u);   // free
  EXPECT_EQ(reading.quota.volUsedKb, 82400u);   // volume used
  EXPECT_EQ(reading.quota.volLimitKb, 0u);       // no volume restriction
  EXPECT_EQ(client.OpenObjects(), kDriveOnly);
  std::vector<std::string> expected = {
      "StartClient",           "ResolvePath",      "ConvertNameSpace 0>4",  "VolumeNameOfPath",
      "VolumeNumber",          "ConnectionItem 5", "LoginNameOfConnection", "ConnectionItem 6",
      "UserVolumeRestriction", "QueryServerName",  "OpenTempDirHandle",     "ReadDirSpaceLimits",
      "CloseDirHandle"};
  EXPECT_EQ(client.CallLog(), expected);

  // The next poll on the same client reuses the drive's connection and handle.
  reading.Query(client);
  EXPECT_EQ(reading.result, DirectoryLimitOnly);
  EXPECT_EQ(client.OpenObjects(), kDriveOnly);
}

TEST(NetWareDiskRestrictionTest, LongNamesFailTheFirstConversionAndPassTheSecond) {
  TestNetwork network(ExampleText("two-drives.net"));
  SimulatedNetWareClient client;
  Reading reading;
  reading.Query(client, "G:\\");
  EXPECT_EQ(reading.result, VolumeLimitOnly);  // its only level has no limit
  EXPECT_STREQ(reading.quota.serverPath, "PROJECTS:Shared Work\\Team Alpha");
  EXPECT_EQ(reading.quota.dirFreeKb, 0x7FFFFFFFull * 4);  // the unlimited level, times 4
  EXPECT_EQ(reading.quota.volLimitKb, 200000u);
  EXPECT_EQ(client.CallLog()[2], "ConvertNameSpace 0>4");
  EXPECT_EQ(client.CallLog()[3], "ConvertNameSpace 4>4");
}

TEST(NetWareDiskRestrictionTest, InjectedFirstConversionFailureRetriesWithTheSecondText) {
  TestNetwork network(
      HomeNetwork("entry = 0, 100, 50\n", "[failures]\nConvertNameSpace source 0 = 0x89FF\n"));
  SimulatedNetWareClient client;
  Reading reading;
  reading.Query(client, "h:\\docs");  // below the drive root, in any letter case
  EXPECT_EQ(reading.result, DirectoryLimitOnly);
  EXPECT_STREQ(reading.quota.serverPath, "SYS:USERS\\USER1\\docs");
  EXPECT_EQ(reading.quota.dirLimitKb, 400u);  // the parent's list applies
}

struct FailingStep {
  const char* name;
  const char* failure;  // the [failures] line
  RestrictionResult result;
  OpenObjectCounts open;
  const char* loginName;  // what the steps before the failure wrote
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const FailingStep& c, std::ostream* os) { *os << c.name; }

class NetWareFailingStepTest : public testing::TestWithParam<FailingStep> {};

TEST_P(NetWareFailingStepTest, FailsWithoutFiguresAndLeavesOnlyTheDriveOpen) {
  const FailingStep& step = GetParam();
  TestNetwork network(
      HomeNetwork("entry = 0, 100, 50\n", std::string("[failures]\n") + step.failure + "\n"));
  SimulatedNetWareClient client;
  Reading reading;
  reading.Query(client);
  EXPECT_EQ(reading.result, step.result);
  if (step.result == QueryFailed) {
    EXPECT_TRUE(reading.FiguresZero());
  }
  EXPECT_EQ(client.OpenObjects(), step.open) << "dir handles " << client.OpenObjects().dirHandles;
  EXPECT_STREQ(reading.quota.loginName, step.loginName);
}

INSTANTIATE_TEST_SUITE_P(
    EachOperation, NetWareFailingStepTest,
    testing::Values(
        FailingStep{"ResolvePath", "ResolvePath = 0x8801", QueryFailed, {}, ""},
        FailingStep{"BothConversions", "ConvertNameSpace = 0x89FF", QueryFailed, kDriveOnly, ""},
        FailingStep{"VolumeNameOfPath", "VolumeNameOfPath = 0x899C", QueryFailed, kDriveOnly, ""},
        FailingStep{"VolumeNumber", "VolumeNumber = 0x8998", QueryFailed, kDriveOnly, ""},
        FailingStep{"ConnectionNumber", "ConnectionItem selector 5 = 0x88FD", QueryFailed,
                    kDriveOnly, ""},
        FailingStep{"LoginName", "LoginNameOfConnection = 0x88FC", QueryFailed, kDriveOnly, ""},
        FailingStep{"UserObjectId", "ConnectionItem selector 6 = 0x88FD", QueryFailed, kDriveOnly,
                    "user1"},
        // Must not read as a volume restriction of 0 KB (a full volume).
        FailingStep{"UserVolumeRestriction", "UserVolumeRestriction = 0x8998", QueryFailed,
                    kDriveOnly, "user1"},
        FailingStep{"QueryServerName", "QueryServerName = 0x8801", QueryFailed, kDriveOnly,
                    "user1"},
        FailingStep{"OpenTempDirHandle", "OpenTempDirHandle = 0x899C", QueryFailed, kDriveOnly,
                    "user1"},
        // The temporary handle is closed although the read failed.
        FailingStep{"ReadDirSpaceLimits", "ReadDirSpaceLimits = 0x899B", QueryFailed, kDriveOnly,
                    "user1"},
        // The close's answer is ignored; the handle it refused stays with the client.
        FailingStep{"CloseDirHandle",
                    "CloseDirHandle = 0x899B",
                    DirectoryLimitOnly,
                    {1, 2, 0, 0, 0},
                    "user1"}),
    [](const testing::TestParamInfo<FailingStep>& info) { return info.param.name; });

TEST(NetWareDiskRestrictionTest, UsesTheLowBitsOfConnectionAndVolumeNumbers) {
  TestNetwork network(
      "[server FS1]\nconnection number = 0x00050007\nlogin name = u\nuser id = 9\n"
      "[volume FS1 VOL1]\nnumber = 0x0102\nrestriction = 0\nin use = 3\n"
      "[volume FS1 SYS]\nnumber = 1\n"
      "[drive H:\\]\nserver = FS1\nvolume = VOL1\npath = VOL1:HOME\n");
  SimulatedNetWareClient client;
  Reading reading;
  reading.Query(client);
  EXPECT_EQ(reading.result, VolumeLimitOnly);  // a restriction of 0 blocks is a restriction
  EXPECT_EQ(reading.quota.volLimitKb, 0u);
  EXPECT_EQ(reading.quota.volUsedKb, 12u);
  EXPECT_EQ(reading.quota.dirFreeKb, 0u);  // no list: empty
}

TEST(NetWareDiskRestrictionTest, ReplyShorterThanItsCountIsReadOnlyAsFarAsItReaches) {
  TestNetwork network(HomeNetwork("entry = 0, 100, 50\nannounced count = 3\n"));
  SimulatedNetWareClient client;
  Reading reading;
  reading.Query(client);
  EXPECT_EQ(reading.result, DirectoryLimitOnly);
  EXPECT_EQ(reading.quota.dirLimitKb, 400u);
  EXPECT_EQ(reading.quota.dirFreeKb, 200u);
}

}  // namespace
