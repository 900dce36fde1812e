// Every example network gives the situation it is named after, through both
// queries as the monitor runs them at a poll.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <set>

#include "netware/account_balance.h"
#include "netware/disk_restriction.h"
#include "netware/netware_reading.h"
#include "simulated/description_file.h"
#include "simulated/description_parser.h"
#include "simulated/simulated_client.h"
#include "test_network.h"

namespace {

struct Example {
  const char* file;
  const char* path;
  RestrictionResult result;
  uint64_t dirLimitKb, dirFreeKb, volUsedKb, volLimitKb;
  int32_t balanceResult;
  AccountBalance balance;
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const Example& c, std::ostream* os) { *os << c.file; }

class NetWareExampleTest : public testing::TestWithParam<Example> {};

TEST_P(NetWareExampleTest, GivesItsSituation) {
  const Example& e = GetParam();
  TestNetwork network(ExampleText(e.file));
  SimulatedNetWareClient client;
  const NetWareReading reading = ReadNetWare(client, e.path, nullptr);
  const QuotaReading& r = reading.quota;
  EXPECT_EQ(r.result, e.result);
  if (e.result != QueryFailed) {
    EXPECT_EQ(r.dirLimitKb, e.dirLimitKb);
    EXPECT_EQ(r.dirFreeKb, e.dirFreeKb);
    EXPECT_EQ(r.volUsedKb, e.volUsedKb);
    EXPECT_EQ(r.volLimitKb, e.volLimitKb);
  }
  const AccountBalance& balance = reading.balance.balance;
  EXPECT_EQ(reading.balance.result, e.balanceResult);
  EXPECT_EQ(balance.unlimitedCredit, e.balance.unlimitedCredit);
  EXPECT_EQ(balance.balance, e.balance.balance);
  EXPECT_EQ(balance.lowLimit, e.balance.lowLimit);
  EXPECT_TRUE(TestNetwork::DebugOutput().empty()) << TestNetwork::DebugOutput();
}

const Example kExamples[] = {
    Example{
        "walkthrough.net", "H:\\", DirectoryLimitOnly, 102400, 20000, 82400, 0, 1, {0, 1234, -500}},
    Example{"ok.net", "H:\\", DirectoryLimitOnly, 102400, 90000, 10400, 0, 1, {0, 5000, 0}},
    Example{"danger.net", "H:\\", DirectoryLimitOnly, 102400, 2000, 0, 0, 1, {0, 1234, -500}},
    Example{"volume-exceeded.net", "H:\\", VolumeLimitOnly, 0, 0, 60000, 50000, 1, {0, 250, 0}},
    Example{"both-limits.net", "H:\\", BothLimits, 102400, 25600, 48000, 100000, 1, {0, 800, -200}},
    Example{"no-limit.net", "H:\\", NoLimit, 0, 0, 4000, 0, 1, {1, 0, 0}},
    Example{"failing-client.net", "H:\\", QueryFailed, 0, 0, 0, 0, 1, {1, 1234, 0}},
    Example{"not-authenticated.net",
            "H:\\",
            DirectoryLimitOnly,
            102400,
            80000,
            0,
            0,
            NotAuthenticated,
            {1, 0, 0}},
    Example{
        "print-accounting.net", "H:\\", DirectoryLimitOnly, 20480, 16000, 0, 0, 1, {0, 120, 100}},
    Example{
        "print-unlimited.net", "H:\\", DirectoryLimitOnly, 204800, 160000, 0, 0, 1, {1, -350, 0}},
    Example{"two-drives.net", "H:\\", DirectoryLimitOnly, 102400, 20000, 0, 0, 1, {0, 1234, -500}},
    Example{"two-drives.net",
            "G:\\",
            VolumeLimitOnly,
            0,
            0x7FFFFFFFull * 4,
            40000,
            200000,
            1,
            {0, 1234, -500}},
};

INSTANTIATE_TEST_SUITE_P(Examples, NetWareExampleTest, testing::ValuesIn(kExamples),
                         [](const testing::TestParamInfo<Example>& info) {
                           std::string name = std::string(info.param.file) + "_" + info.param.path;
                           std::string clean;
                           for (char c : name) {
                             if (std::isalnum(static_cast<unsigned char>(c))) clean += c;
                           }
                           return clean;
                         });

// Every file shipped in examples/ reads without a message, and each has its
// situation checked above.
TEST(NetWareExampleFilesTest, EveryShippedExampleReadsAndIsChecked) {
  std::set<std::string> checked;
  for (const Example& e : kExamples) checked.insert(e.file);
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(BRIMLET_EXAMPLES_DIR)) {
    if (entry.path().extension() != ".net") continue;
    ++files;
    NetworkDescription description;
    std::string message;
    EXPECT_TRUE(LoadNetworkDescription(entry.path().string(), &description, &message)) << message;
    EXPECT_EQ(checked.count(entry.path().filename().string()), 1u)
        << entry.path() << " has no case in kExamples";
  }
  EXPECT_EQ(files, static_cast<int>(checked.size()));
}

// The table of status-0 rules in examples/README.md: each operation once,
// "refused" exactly where the parser refuses the rule.
TEST(NetWareExampleFilesTest, StatusZeroTableSaysWhatTheParserDoes) {
  std::ifstream readme(BRIMLET_EXAMPLES_DIR "/README.md");
  std::string line;
  while (std::getline(readme, line) && line != "| Operation | Status 0 means |") {
  }
  ASSERT_TRUE(readme) << "no status-0 table in examples/README.md";
  std::getline(readme, line);  // |---|---|
  std::map<std::string, bool> refusedInTable;
  while (std::getline(readme, line) && line.size() > 1 && line[0] == '|') {
    size_t bar = line.find('|', 1);
    ASSERT_NE(bar, std::string::npos) << line;
    std::string names = line.substr(2, bar - 3) + ",";
    bool refused = line.compare(bar + 2, 7, "refused") == 0;
    for (size_t start = 0, comma; (comma = names.find(',', start)) != std::string::npos;
         start = comma + 2) {
      std::string name = names.substr(start, comma - start);
      EXPECT_TRUE(refusedInTable.emplace(name, refused).second) << name << " is listed twice";
    }
  }
  EXPECT_EQ(refusedInTable.size(), static_cast<size_t>(kClientOperationCount));
  for (int i = 0; i < kClientOperationCount; ++i) {
    std::string name = ClientOperationName(static_cast<ClientOperation>(i));
    auto listed = refusedInTable.find(name);
    if (listed == refusedInTable.end()) {
      ADD_FAILURE() << name << " is missing from the table";
      continue;
    }
    NetworkDescription network;
    DescriptionError error;
    EXPECT_EQ(!ParseNetworkDescription("[failures]\n" + name + " = 0\n", &network, &error),
              listed->second)
        << name << ": " << error.reason;
  }
}

}  // namespace
