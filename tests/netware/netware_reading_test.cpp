// One poll's reading of the NetWare side: one start of the client for both
// queries, and what a client that does not start gives.
#include "netware/netware_reading.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "simulated/simulated_client.h"
#include "test_network.h"

namespace {

void NoEnd(int) {}

const char* kBalance =
    "[directory]\nauthenticated = yes\nobject = CN=user1.O=Example\n"
    "attribute Account Balance = 1234\n";

struct StartCase {
  const char* name;
  const char* failures;  // the [failures] section, or ""
  int quotaResult;
  int32_t balanceResult;
  int32_t balance;
};

class NetWareReadingTest : public testing::TestWithParam<StartCase> {};

TEST_P(NetWareReadingTest, StartsTheClientOnceForBothQueries) {
  const StartCase& c = GetParam();
  TestNetwork network(HomeNetwork("entry = 0, 25600, 5000\n", c.failures) + kBalance);
  SimulatedNetWareClient client;
  const NetWareReading reading = ReadNetWare(client, "H:\\", NoEnd);
  EXPECT_EQ(c.quotaResult, reading.quota.result);
  EXPECT_EQ(c.balanceResult, reading.balance.result);
  EXPECT_EQ(c.balance, reading.balance.balance.balance);
  const std::vector<std::string>& log = client.CallLog();
  EXPECT_EQ(1, std::count(log.begin(), log.end(), "StartClient"));
}

INSTANTIATE_TEST_SUITE_P(
    Starts, NetWareReadingTest,
    testing::Values(StartCase{"Started", "", DirectoryLimitOnly, 1, 1234},
                    StartCase{"StartFails", "[failures]\nStartClient = 0x8999\n", QueryFailed,
                              0x8999, 0}),
    [](const testing::TestParamInfo<StartCase>& info) { return info.param.name; });

}  // namespace
