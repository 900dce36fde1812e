// The simulated client itself: where it finds its network, how it reacts to
// a changed or broken description, and the handles it checks.
#include "simulated/simulated_client.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <memory>

#include "netware/account_balance.h"
#include "netware/disk_restriction.h"
#include "netware/netware_reading.h"
#include "netware/make_client.h"
#include "simulated/description_file.h"
#include "simulated/sim_status.h"
#include "test_network.h"

namespace {

// The disk restriction part of one poll's reading.
RestrictionResult Poll(NetWareClient& client, QuotaReading* reading, const char* path = "H:\\") {
  *reading = ReadNetWare(client, path, nullptr).quota;
  return static_cast<RestrictionResult>(reading->result);
}

TEST(NetWareSimulatedClientTest, WithoutTheVariableTheClientDoesNotStart) {
  TestNetwork network(HomeNetwork(""));
  unsetenv(kNetworkVariable);
  std::unique_ptr<NetWareClient> client = MakeNetWareClient(MakeNamedSimulatedClient);
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

  // A broken description: nothing of it is applied, and the network read
  // before is not used either.
  network.Rewrite(HomeNetwork("entry = 0, 25600, 100\nentry = 1, 2"));
  EXPECT_EQ(Poll(client, &reading), QueryFailed);
  EXPECT_EQ(reading.dirFreeKb, 0u);  // no figures, not those of the last poll
  EXPECT_NE(TestNetwork::DebugOutput().find(network.Path() + ":13: "), std::string::npos)
      << TestNetwork::DebugOutput();
  EXPECT_EQ(client.ResolvePath("H:\\", nullptr, nullptr, nullptr, 0), simstatus::kNotStarted);
}

// Padded with one comment line to the given size.
std::string HomeNetworkOfSize(size_t size) {
  std::string text = HomeNetwork("entry = 0, 25600, 5000\n") + "#";
  text.append(size - text.size() - 1, 'x');
  return text + "\n";
}

TEST(NetWareDescriptionFileTest, ReadsUpTo1MiBAndRefusesMore) {
  TestNetwork network(HomeNetworkOfSize(kMaxDescriptionFileSize));
  NetworkDescription description;
  std::string message;
  EXPECT_TRUE(LoadNetworkDescription(network.Path(), &description, &message)) << message;

  network.Rewrite(HomeNetworkOfSize(kMaxDescriptionFileSize + 1));
  description = NetworkDescription{};
  EXPECT_FALSE(LoadNetworkDescription(network.Path(), &description, &message));
  EXPECT_EQ(message, network.Path() + ": larger than 1048576 bytes");
  EXPECT_TRUE(description.servers.empty());
}

// The whole message reaches the debug output, the NUL written out.
TEST(NetWareSimulatedClientTest, ControlBytesReachTheDebugOutputEscaped) {
  TestNetwork network("[server FS1]\nconnection number = 1\nlogin name = u" + std::string(1, '\0') +
                      "\x1Bx\nuser id = 2\n");
  SimulatedNetWareClient client;
  EXPECT_EQ(client.StartClient(nullptr, nullptr), simstatus::kNoNetwork);
  EXPECT_EQ(TestNetwork::DebugOutput(),
            network.Path() + ":3: control byte \\x00 in column 15: a description is plain text\n");
}

TEST(NetWareSimulatedClientTest, UnknownHandlesAreRefused) {
  TestNetwork network(HomeNetwork(""));
  SimulatedNetWareClient client;
  ASSERT_EQ(client.StartClient(nullptr, nullptr), 0u);
  NwConnection connection = 0;
  NwDirHandle drive = 0;
  char path[kServerPathSize];
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
  char path[kServerPathSize];
  ASSERT_EQ(client.ResolvePath("h:\\user1\\docs\\", &connection, &drive, path, sizeof path), 0u);
  EXPECT_STREQ(path, "SYS:USERS\\USER1\\user1\\docs");
  EXPECT_EQ(client.ResolvePath("HX:\\", &connection, &drive, path, sizeof path),
            simstatus::kInvalidPath);
  EXPECT_EQ(client.ResolvePath("H:\\", &connection, &drive, path, 10), simstatus::kBufferTooSmall);
  char volume[48];
  EXPECT_EQ(client.VolumeNameOfPath("SYS:USERS\\USER1", volume, sizeof volume),
            simstatus::kInvalidPath);  // server paths are not local paths
}

// A started client with H:\ resolved, and the directory of user1 when
// directoryKeys are given.
class NetWareSimulatedCallTest : public testing::Test {
 protected:
  void Start(const std::string& extra = "") {
    network_ = std::make_unique<TestNetwork>(HomeNetwork("entry = 0, 25600, 5000\n", extra));
    ASSERT_EQ(client_.StartClient(nullptr, nullptr), 0u) << TestNetwork::DebugOutput();
    ASSERT_EQ(client_.ResolvePath("H:\\", &connection_, &drive_, path_, sizeof path_), 0u);
  }

  // A context, a request buffer naming the balance, a reply buffer.
  void OpenDirectory() {
    ASSERT_EQ(client_.OpenDirContext(&context_), 0u);
    ASSERT_EQ(client_.AllocDirBuffer(4096, &request_), 0u);
    ASSERT_EQ(client_.PrepareDirBuffer(context_, kDirOperationRead, request_), 0u);
    ASSERT_EQ(client_.AddAttributeName(context_, request_, "Account Balance"), 0u);
    ASSERT_EQ(client_.AllocDirBuffer(4096, &reply_), 0u);
  }

  uint32_t Convert(NwDirHandle handle, uint8_t flag, uint8_t source, uint8_t target,
                   uint16_t targetSize, const char* path = "SYS:USERS\\USER1") {
    return client_.ConvertNameSpace(connection_, handle, flag, source, target, path, converted_,
                                    targetSize);
  }

  uint32_t Read(uint8_t allAttributes, int32_t* iteration, uint32_t infoType = 1) {
    return client_.ReadObject(context_, "CN=user1", infoType, allAttributes, request_, iteration,
                              reply_);
  }

  std::unique_ptr<TestNetwork> network_;
  SimulatedNetWareClient client_;
  NwConnection connection_ = 0;
  NwDirHandle drive_ = 0;
  char path_[kServerPathSize] = "";
  char converted_[300] = "";
  NwDirContext context_ = 0;
  NwDirBuffer request_ = 0;
  NwDirBuffer reply_ = 0;
};

const char* kUser1 =
    "[directory]\nauthenticated = yes\nobject = CN=user1\n"
    "attribute Account Balance = 1234\nattribute Minimum Account Balance = -500\n";

// The queries convert whole server paths: no base handle, no flag, a target
// of 256 bytes. Anything else is a caller's mistake with a status of its own.
TEST_F(NetWareSimulatedCallTest, ConvertNameSpaceTakesOnlyWhatTheQueryPasses) {
  Start();
  ASSERT_EQ(Convert(0, 0, kNameSpaceDos, kNameSpaceLong, 256), 0u);
  EXPECT_STREQ(converted_, "SYS:USERS\\USER1");
  EXPECT_EQ(Convert(drive_, 0, kNameSpaceDos, kNameSpaceLong, 256), simstatus::kBadDirHandle);
  EXPECT_EQ(Convert(0, 1, kNameSpaceDos, kNameSpaceLong, 256), simstatus::kInvalidParameter);
  EXPECT_EQ(Convert(0, 0, kNameSpaceDos, kNameSpaceLong, 255), simstatus::kBufferTooSmall);
  EXPECT_EQ(Convert(0, 0, kNameSpaceDos, kNameSpaceDos, 256), simstatus::kBadNameSpace);
  EXPECT_EQ(Convert(0, 0, 1, kNameSpaceLong, 256), simstatus::kBadNameSpace);
  EXPECT_EQ(Convert(0, 0, kNameSpaceDos, kNameSpaceLong, 256, nullptr),
            simstatus::kInvalidParameter);
  EXPECT_EQ(client_.ConvertNameSpace(connection_, 0, 0, kNameSpaceDos, kNameSpaceLong,
                                     "SYS:USERS\\USER1", nullptr, 256),
            simstatus::kInvalidParameter);
  EXPECT_EQ(client_.ConvertNameSpace(connection_ + 1, 0, 0, kNameSpaceDos, kNameSpaceLong,
                                     "SYS:USERS\\USER1", converted_, 256),
            simstatus::kInvalidConnection);
}

TEST_F(NetWareSimulatedCallTest, ReadObjectTakesOnlyNamedAttributesAndAFreshIteration) {
  Start(kUser1);
  OpenDirectory();
  int32_t iteration = 5;
  EXPECT_EQ(Read(0, &iteration), simstatus::kDirBadIteration);
  EXPECT_EQ(Read(0, nullptr), simstatus::kInvalidParameter);
  iteration = -1;
  EXPECT_EQ(Read(1, &iteration), simstatus::kInvalidParameter);
  EXPECT_EQ(Read(0, &iteration, 0), simstatus::kDirBadInfoType);
  uint32_t count = 9;
  EXPECT_EQ(client_.ReplyAttributeCount(context_, reply_, &count), simstatus::kDirNoReply);

  ASSERT_EQ(Read(0, &iteration), 0u);
  EXPECT_EQ(iteration, -1);  // everything came in this reply
  ASSERT_EQ(client_.ReplyAttributeCount(context_, reply_, &count), 0u);
  EXPECT_EQ(count, 1u);  // only the one name requested
}

// Outputs a caller may leave out are left out; the call still succeeds.
TEST_F(NetWareSimulatedCallTest, OptionalOutputsMayBeNull) {
  Start(kUser1);
  EXPECT_EQ(client_.LoginNameOfConnection(connection_, 12, nullptr, 0, nullptr, nullptr, nullptr),
            0u);
  char login[kLoginNameSize] = "";
  uint16_t type = 0;
  uint32_t id = 0;
  ASSERT_EQ(
      client_.LoginNameOfConnection(connection_, 12, login, sizeof login, &type, &id, nullptr), 0u);
  EXPECT_STREQ(login, "user1");
  EXPECT_EQ(type, 1);
  EXPECT_EQ(id, 0x2A000101u);

  char server[kServerNameSize] = "";
  EXPECT_EQ(client_.QueryServerName(connection_, server, sizeof server, nullptr), 0u);
  EXPECT_STREQ(server, "FS1");
  NwServerDetails details{};
  EXPECT_EQ(client_.QueryServerName(connection_, nullptr, 0, &details), 0u);
  EXPECT_EQ(details.volumeCount, 1u);

  NwDirHandle temp = 0;
  ASSERT_EQ(client_.OpenTempDirHandle(connection_, 0, "SYS:USERS\\USER1", &temp, nullptr), 0u);
  EXPECT_EQ(client_.CloseDirHandle(connection_, temp), 0u);

  OpenDirectory();
  int32_t iteration = -1;
  ASSERT_EQ(Read(0, &iteration), 0u);
  char name[260] = "";
  ASSERT_EQ(client_.NextAttributeName(context_, reply_, name, sizeof name, nullptr, nullptr), 0u);
  EXPECT_STREQ(name, "Account Balance");
  int32_t balance = 0;
  ASSERT_EQ(client_.NextAttributeValue(context_, reply_, kSyntaxCounter, &balance, sizeof balance),
            0u);
  EXPECT_EQ(balance, 1234);
}

TEST_F(NetWareSimulatedCallTest, RequiredOutputsMayNotBeNull) {
  Start(kUser1);
  EXPECT_EQ(client_.ResolvePath("H:\\", &connection_, nullptr, path_, sizeof path_),
            simstatus::kInvalidParameter);
  EXPECT_EQ(client_.OpenTempDirHandle(connection_, 0, "SYS:USERS\\USER1", nullptr, nullptr),
            simstatus::kInvalidParameter);
  EXPECT_EQ(client_.VolumeNumber(connection_, "SYS", nullptr), simstatus::kInvalidParameter);
  EXPECT_EQ(client_.ConnectionItem(connection_, kItemUserObjectId, 4, nullptr),
            simstatus::kInvalidParameter);
  EXPECT_EQ(client_.OpenDirContext(nullptr), simstatus::kInvalidParameter);
  EXPECT_EQ(client_.LocaleNumbers(nullptr, 128), simstatus::kInvalidParameter);
  OpenDirectory();
  EXPECT_EQ(client_.AddAttributeName(context_, request_, nullptr), simstatus::kInvalidParameter);
  EXPECT_EQ(client_.CallLog().back(), "AddAttributeName");  // logged without a name
  EXPECT_EQ(client_.LoggedInObjectName(context_, nullptr, 512), simstatus::kInvalidParameter);
  int32_t iteration = -1;
  ASSERT_EQ(Read(0, &iteration), 0u);
  uint32_t count = 0;
  EXPECT_EQ(client_.ReplyAttributeCount(context_, reply_, nullptr), simstatus::kInvalidParameter);
  EXPECT_EQ(client_.NextAttributeName(context_, reply_, nullptr, 260, &count, nullptr),
            simstatus::kInvalidParameter);
  char name[260] = "";
  ASSERT_EQ(client_.NextAttributeName(context_, reply_, name, sizeof name, &count, nullptr), 0u);
  EXPECT_EQ(client_.NextAttributeValue(context_, reply_, kSyntaxCounter, nullptr, 4),
            simstatus::kInvalidParameter);
}

// A rule narrowed to a source name space or selector wins over the rule for
// every call of the operation, in whichever order the two are written.
class NetWareFailureOrderTest : public NetWareSimulatedCallTest,
                                public testing::WithParamInterface<bool> {};

TEST_P(NetWareFailureOrderTest, NarrowedRuleWins) {
  std::string narrow = "ConvertNameSpace source 0 = 0x89FF\nConnectionItem selector 6 = 0x8801\n";
  std::string general = "ConvertNameSpace = 0x8802\nConnectionItem = 0x8803\n";
  Start("[failures]\n" + (GetParam() ? narrow + general : general + narrow));
  EXPECT_EQ(Convert(0, 0, kNameSpaceDos, kNameSpaceLong, 256), 0x89FFu);
  EXPECT_EQ(Convert(0, 0, kNameSpaceLong, kNameSpaceLong, 256), 0x8802u);
  uint32_t item = 0;
  EXPECT_EQ(client_.ConnectionItem(connection_, kItemUserObjectId, 4, &item), 0x8801u);
  EXPECT_EQ(client_.ConnectionItem(connection_, kItemConnectionNumber, 4, &item), 0x8803u);
}

INSTANTIATE_TEST_SUITE_P(BothOrders, NetWareFailureOrderTest, testing::Bool(),
                         [](const testing::TestParamInfo<bool>& info) {
                           return info.param ? "NarrowFirst" : "GeneralFirst";
                         });

TEST_F(NetWareSimulatedCallTest, NarrowedRuleLeavesOtherCallsAlone) {
  Start("[failures]\nConvertNameSpace source 0 = 0x89FF\n");
  EXPECT_EQ(Convert(0, 0, kNameSpaceDos, kNameSpaceLong, 256), 0x89FFu);
  EXPECT_EQ(Convert(0, 0, kNameSpaceLong, kNameSpaceLong, 256), 0u);
  EXPECT_STREQ(converted_, "SYS:USERS\\USER1");
}

TEST_F(NetWareSimulatedCallTest, FailedStartLeavesEveryLaterCallUnstarted) {
  network_ = std::make_unique<TestNetwork>(HomeNetwork("", "[failures]\nStartClient = 0x8801\n"));
  EXPECT_EQ(client_.StartClient(nullptr, nullptr), 0x8801u);
  EXPECT_EQ(client_.ResolvePath("H:\\", &connection_, &drive_, path_, sizeof path_),
            simstatus::kNotStarted);
}

// Status 0 for the operations that hand back nothing: the call answers
// success and does nothing, with the consequences examples/README.md lists.
TEST_F(NetWareSimulatedCallTest, ZeroRulesSucceedWithoutDoingTheOperation) {
  Start(std::string(kUser1) +
        "[failures]\nStartCharConversion = 0\nPrepareDirBuffer = 0\nCloseDirHandle = 0\n"
        "FreeDirBuffer = 0\nCloseDirContext = 0\n");
  OpenObjectCounts before = client_.OpenObjects();
  EXPECT_EQ(client_.StartCharConversion(kSimulatedCountry, kSimulatedCodePage), 0u);
  EXPECT_EQ(client_.OpenObjects().conversions, 0);                   // none started...
  EXPECT_EQ(client_.EndCharConversion(), simstatus::kNoConversion);  // ...so none to end

  NwDirHandle temp = 0;
  ASSERT_EQ(client_.OpenTempDirHandle(connection_, 0, "SYS:USERS\\USER1", &temp, nullptr), 0u);
  EXPECT_EQ(client_.CloseDirHandle(connection_, temp), 0u);
  ASSERT_EQ(client_.OpenDirContext(&context_), 0u);
  ASSERT_EQ(client_.AllocDirBuffer(4096, &request_), 0u);
  EXPECT_EQ(client_.PrepareDirBuffer(context_, kDirOperationRead, request_), 0u);
  EXPECT_EQ(client_.AddAttributeName(context_, request_, "Account Balance"),
            simstatus::kDirBufferNotPrepared);
  EXPECT_EQ(client_.FreeDirBuffer(request_), 0u);
  EXPECT_EQ(client_.CloseDirContext(context_), 0u);
  OpenObjectCounts after = client_.OpenObjects();
  EXPECT_EQ(after.dirHandles, before.dirHandles + 1);  // all still open
  EXPECT_EQ(after.buffers, before.buffers + 1);
  EXPECT_EQ(after.contexts, before.contexts + 1);
}

TEST_F(NetWareSimulatedCallTest, ZeroRulesForEndAndAddLeaveTheirWorkUndone) {
  Start(std::string(kUser1) + "[failures]\nEndCharConversion = 0\nAddAttributeName = 0\n");
  ASSERT_EQ(client_.StartCharConversion(kSimulatedCountry, kSimulatedCodePage), 0u);
  EXPECT_EQ(client_.EndCharConversion(), 0u);
  EXPECT_EQ(client_.OpenObjects().conversions, 1);  // still started
  OpenDirectory();                                  // the name is not added
  int32_t iteration = -1;
  ASSERT_EQ(Read(0, &iteration), 0u);
  uint32_t count = 9;
  ASSERT_EQ(client_.ReplyAttributeCount(context_, reply_, &count), 0u);
  EXPECT_EQ(count, 0u);
}

TEST_F(NetWareSimulatedCallTest, IsDirAuthenticatedAnswersItsRule) {
  Start(std::string(kUser1) + "[failures]\nIsDirAuthenticated = 0\n");
  EXPECT_EQ(client_.IsDirAuthenticated(), 0u);  // not authenticated, whatever [directory] says
  EXPECT_EQ(QueryAccountBalance(client_, nullptr).result, NotAuthenticated);
}

}  // namespace
