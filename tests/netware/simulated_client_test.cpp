// The simulated client itself: where it finds its network, how it reacts to
// a changed or broken description, and the handles it checks.
#include "netware/simulated/simulated_client.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include "netware/disk_restriction.h"
#include "netware/make_client.h"
#include "netware/simulated/sim_status.h"
#include "test_network.h"

namespace {

RestrictionResult Poll(NetWareClient& client, QuotaReading* reading, const char* path = "H:\\") {
  return QueryDiskRestriction(client, path, reading->serverName, reading->loginName,
                              reading->serverPath, &reading->dirUsedKb, &reading->dirLimitKb,
                              &reading->dirFreeKb, &reading->volUsedKb, &reading->volLimitKb);
}

TEST(NetWareSimulatedClientTest, WithoutTheVariableTheClientDoesNotStart) {
  TestNetwork network(HomeNetwork(""));
  unsetenv(kNetworkVariable);
  std::unique_ptr<NetWareClient> client = MakeNetWareClient();
  EXPECT_EQ(client->StartClient(nullptr, nullptr), simstatus::kNoNetwork);
  EXPECT_NE(TestNetwork::DebugOutput().find("BRIMLET_NETWORK"), std::string::npos);
  QuotaReading reading;
  EXPECT_EQ(Poll(*client, &reading), QueryFailed);
}

TEST(NetWareSimulatedClientTest, EveryStartReadsTheDescriptionAfresh) {
  TestNetwork network(HomeNetwork("entry = 0, 25600, 5000\n"));
  SimulatedNetWareClient client;
  QuotaReading reading;
  ASSERT_EQ(Poll(client, &reading), DirectoryLimitOnly);
  EXPECT_EQ(reading.dirFreeKb, 20000u);

  network.Rewrite(HomeNetwork("entry = 0, 25600, 500\n"));
  ASSERT_EQ(Poll(client, &reading), DirectoryLimitOnly);
  EXPECT_EQ(reading.dirFreeKb, 2000u);

  network.Rewrite(HomeNetwork("", "", "restriction = 100\n"));
  EXPECT_EQ(Poll(client, &reading), VolumeLimitOnly);
}

TEST(NetWareSimulatedClientTest, BrokenDescriptionFailsTheStartAndNamesFileAndLine) {
  TestNetwork network(HomeNetwork("entry = 0, 25600, 5000\n"));
  SimulatedNetWareClient client;
  QuotaReading reading;
  ASSERT_EQ(Poll(client, &reading), DirectoryLimitOnly);

  // Half written: the new limits must not be applied with the old rest.
  network.Rewrite(HomeNetwork("entry = 0, 25600, 100\nentry = 1, 2"));
  reading.dirFreeKb = 1;
  EXPECT_EQ(Poll(client, &reading), QueryFailed);
  EXPECT_EQ(reading.dirFreeKb, 1u);
  EXPECT_NE(TestNetwork::DebugOutput().find(network.Path() + ":13: "), std::string::npos)
      << TestNetwork::DebugOutput();
  EXPECT_EQ(client.ResolvePath("H:\\", nullptr, nullptr, nullptr, 0), simstatus::kNotStarted);
}

TEST(NetWareSimulatedClientTest, UnknownHandlesAreRefused) {
  TestNetwork network(HomeNetwork(""));
  SimulatedNetWareClient client;
  ASSERT_EQ(client.StartClient(nullptr, nullptr), 0u);
  NwConnection connection = 0;
  NwDirHandle drive = 0;
  char path[258];
  ASSERT_EQ(client.ResolvePath("H:\\", &connection, &drive, path, sizeof path), 0u);
  EXPECT_EQ(client.CloseDirHandle(connection, drive + 1), simstatus::kBadDirHandle);
  EXPECT_EQ(client.CloseDirHandle(connection + 1, drive), simstatus::kBadDirHandle);
  EXPECT_EQ(client.FreeDirBuffer(7), simstatus::kDirBadBuffer);
  EXPECT_EQ(client.CloseDirContext(7), simstatus::kDirBadContext);
  EXPECT_EQ(client.EndCharConversion(), simstatus::kNoConversion);
  EXPECT_EQ(client.QueryServerName(connection + 1, path, sizeof path, nullptr),
            simstatus::kInvalidConnection);
  EXPECT_EQ(client.StartCharConversion(kSimulatedCodePage, kSimulatedCountry),
            simstatus::kBadLocale);  // the two numbers swapped
}

TEST(NetWareSimulatedClientTest, PathsMatchAtBackslashBoundariesOnly) {
  TestNetwork network(HomeNetwork(""));
  SimulatedNetWareClient client;
  ASSERT_EQ(client.StartClient(nullptr, nullptr), 0u);
  NwConnection connection = 0;
  NwDirHandle drive = 0;
  char path[258];
  ASSERT_EQ(client.ResolvePath("h:\\user1\\docs\\", &connection, &drive, path, sizeof path), 0u);
  EXPECT_STREQ(path, "SYS:USERS\\USER1\\user1\\docs");
  EXPECT_EQ(client.ResolvePath("HX:\\", &connection, &drive, path, sizeof path),
            simstatus::kInvalidPath);
  EXPECT_EQ(client.ResolvePath("H:\\", &connection, &drive, path, 10), simstatus::kBufferTooSmall);
  char volume[48];
  EXPECT_EQ(client.VolumeNameOfPath("SYS:USERS\\USER1", volume, sizeof volume),
            simstatus::kInvalidPath);  // server paths are not local paths
}

}  // namespace
