// The account balance query against the simulated directory: the attributes
// it takes, the order it releases in, and where it ends the program.
#include "netware/account_balance.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "simulated/sim_status.h"
#include "simulated/simulated_client.h"
#include "test_network.h"

namespace {

int endCalls = 0;
int endStatus = -1;
void RecordEnd(int status) {
  ++endCalls;
  endStatus = status;
}

const OpenObjectCounts kNothingOpen{};

std::string Directory(const std::string& attributes, const char* authenticated = "yes") {
  return std::string("[directory]\nauthenticated = ") + authenticated +
         "\nobject = CN=user1.O=Example\n" + attributes;
}

const char* kAllThree =
    "attribute Account Balance = 1234\n"
    "attribute Minimum Account Balance = -500\n"
    "attribute Allow Unlimited Credit = no\n";

class NetWareAccountBalanceTest : public testing::Test {
 protected:
  void SetUp() override { endCalls = 0, endStatus = -1; }
  int32_t Query(const std::string& description) {
    network_ = std::make_unique<TestNetwork>(description);
    // Started as the poll starts it (ReadNetWare).
    EXPECT_EQ(client_.StartClient(nullptr, nullptr), 0u);
    const BalanceReading reading = QueryAccountBalance(client_, RecordEnd);
    balance_ = reading.balance;
    return reading.result;
  }
  std::unique_ptr<TestNetwork> network_;
  SimulatedNetWareClient client_;
  AccountBalance balance_;
};

TEST_F(NetWareAccountBalanceTest, ReadsAllThreeAndReleasesInOrder) {
  EXPECT_EQ(Query(Directory(kAllThree)), 1);
  EXPECT_EQ(balance_.balance, 1234);
  EXPECT_EQ(balance_.lowLimit, -500);
  EXPECT_EQ(balance_.unlimitedCredit, 0);
  EXPECT_EQ(client_.OpenObjects(), kNothingOpen);
  std::vector<std::string> expected = {
      "StartClient", "LocaleNumbers", "StartCharConversion", "OpenDirContext", "IsDirAuthenticated",
      "AllocDirBuffer", "PrepareDirBuffer 1", "AllocDirBuffer", "AddAttributeName Account Balance",
      "AddAttributeName Allow Unlimited Credit", "AddAttributeName Minimum Account Balance",
      "LoggedInObjectName", "ReadObject", "ReplyAttributeCount", "NextAttributeName",
      "NextAttributeValue", "NextAttributeName", "NextAttributeValue", "NextAttributeName",
      "NextAttributeValue",
      // The reply buffer (2) goes first, the character conversion last.
      "FreeDirBuffer 2", "FreeDirBuffer 1", "CloseDirContext", "EndCharConversion"};
  EXPECT_EQ(client_.CallLog(), expected);
  EXPECT_EQ(endCalls, 0);
}

struct AttributeCase {
  const char* name;
  const char* attributes;
  int32_t result;
  uint8_t unlimitedCredit;
  int32_t balance;
  int32_t lowLimit;
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const AttributeCase& c, std::ostream* os) { *os << c.name; }

class NetWareAttributeSetTest : public NetWareAccountBalanceTest,
                                public testing::WithParamInterface<AttributeCase> {};

TEST_P(NetWareAttributeSetTest, MissingAttributesKeepTheResetValues) {
  const AttributeCase& c = GetParam();
  EXPECT_EQ(Query(Directory(c.attributes)), c.result);
  EXPECT_EQ(balance_.unlimitedCredit, c.unlimitedCredit);
  EXPECT_EQ(balance_.balance, c.balance);
  EXPECT_EQ(balance_.lowLimit, c.lowLimit);
  EXPECT_EQ(client_.OpenObjects(), kNothingOpen);
}

INSTANTIATE_TEST_SUITE_P(
    Attributes, NetWareAttributeSetTest,
    testing::Values(
        AttributeCase{"None", "", 1, 1, 0, 0},
        AttributeCase{"OnlyBalance", "attribute Account Balance = -150\n", 1, 1, -150, 0},
        // The names are compared exactly; a differently spelled one is not ours.
        AttributeCase{"OtherLetterCase", "attribute account balance = 5\n", 1, 1, 0, 0},
        AttributeCase{"FirstOfSeveralValues", "attribute Minimum Account Balance = 7, 8\n", 1, 1, 0,
                      7},
        AttributeCase{"UnlimitedCreditYes",
                      "attribute Allow Unlimited Credit = yes\nattribute Account Balance = 3\n", 1,
                      1, 3, 0},
        // An attribute without a value fails the walk; what was read stays.
        AttributeCase{"AttributeWithoutValue",
                      "attribute Account Balance = 42\nattribute Minimum Account Balance =\n",
                      int32_t(simstatus::kDirNoMoreValues), 1, 42, 0},
        // A value wider than its field is refused, not written past the field.
        AttributeCase{"ValueWiderThanField", "attribute Allow Unlimited Credit = 5\n",
                      int32_t(simstatus::kBufferTooSmall), 1, 0, 0}),
    [](const testing::TestParamInfo<AttributeCase>& info) { return info.param.name; });

TEST_F(NetWareAccountBalanceTest, NotAuthenticatedReleasesContextAndConversion) {
  EXPECT_EQ(Query(Directory(kAllThree, "no")), NotAuthenticated);
  EXPECT_EQ(balance_.unlimitedCredit, 1);
  EXPECT_EQ(balance_.balance, 0);
  EXPECT_EQ(client_.OpenObjects(), kNothingOpen);
  EXPECT_EQ(client_.CallLog().back(), "EndCharConversion");
}

struct FailingOperation {
  const char* name;
  uint32_t injected;
  int32_t result;
  bool endsProgram;
  OpenObjectCounts open;
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const FailingOperation& c, std::ostream* os) { *os << c.name; }

class NetWareFailingOperationTest : public NetWareAccountBalanceTest,
                                    public testing::WithParamInterface<FailingOperation> {};

TEST_P(NetWareFailingOperationTest, ReleasesEverythingAndPassesTheStatusOn) {
  const FailingOperation& op = GetParam();
  std::string failure =
      "[failures]\n" + std::string(op.name) + " = " + std::to_string(op.injected) + "\n";
  EXPECT_EQ(Query(Directory(kAllThree) + failure), op.result);
  EXPECT_EQ(endCalls, op.endsProgram ? 1 : 0);
  if (op.endsProgram) {
    EXPECT_EQ(endStatus, 1);
  }
  EXPECT_EQ(client_.OpenObjects(), op.open);
  if (op.result != 1) {  // failed before any value was taken
    EXPECT_EQ(balance_.unlimitedCredit, 1);
    EXPECT_EQ(balance_.balance, 0);
  }
}

constexpr uint32_t kStatus = 0x8999;
constexpr int32_t kAsResult = int32_t(kStatus);

INSTANTIATE_TEST_SUITE_P(
    EachOperation, NetWareFailingOperationTest,
    testing::Values(// Its answer is ignored; the zeroed record then fails the conversion.
                    FailingOperation{
                        "LocaleNumbers", kStatus, int32_t(simstatus::kBadLocale), false, {}},
                    FailingOperation{"StartCharConversion", kStatus, kAsResult, false, {}},
                    FailingOperation{"OpenDirContext", kStatus, kAsResult, true, {}},
                    FailingOperation{"IsDirAuthenticated", 0, NotAuthenticated, false, {}},
                    FailingOperation{"AllocDirBuffer", kStatus, kAsResult, true, {}},
                    FailingOperation{"PrepareDirBuffer", kStatus, kAsResult, true, {}},
                    FailingOperation{"AddAttributeName", kStatus, kAsResult, true, {}},
                    FailingOperation{"LoggedInObjectName", kStatus, kAsResult, true, {}},
                    FailingOperation{"ReadObject", kStatus, kAsResult, false, {}},
                    FailingOperation{"ReplyAttributeCount", kStatus, kAsResult, false, {}},
                    FailingOperation{"NextAttributeName", kStatus, kAsResult, false, {}},
                    FailingOperation{"NextAttributeValue", kStatus, kAsResult, false, {}},
                    // Release answers are ignored; what the client refused stays with it.
                    FailingOperation{"FreeDirBuffer", kStatus, 1, false, {0, 0, 0, 2, 0}},
                    FailingOperation{"CloseDirContext", kStatus, 1, false, {0, 0, 1, 0, 0}},
                    FailingOperation{"EndCharConversion", kStatus, 1, false, {0, 0, 0, 0, 1}}),
    [](const testing::TestParamInfo<FailingOperation>& info) { return info.param.name; });

TEST(NetWareAccountBalanceDeathTest, SetupFailureEndsTheProgramWithStatusOne) {
  TestNetwork network(Directory(kAllThree) + "[failures]\nOpenDirContext = 1\n");
  SimulatedNetWareClient client;
  ASSERT_EQ(client.StartClient(nullptr, nullptr), 0u);
  // The program's end, as EndProgramNow (app/brimlet_app.h) ends it.
  EXPECT_EXIT(QueryAccountBalance(client, [](int status) { std::exit(status); }),
              testing::ExitedWithCode(1), "");
}

}  // namespace
