// Network descriptions: what a valid one yields, and that every mistake is
// reported with its line and applies nothing.
#include "simulated/description_parser.h"

#include <gtest/gtest.h>

#include "netware/netware_client.h"

namespace {

const char* kServer = "[server FS1]\nconnection number = 1\nlogin name = u\nuser id = 2\n";

TEST(NetWareDescriptionParserTest, ReadsEverySectionWithCommentsHexAndCrLf) {
  std::string text =
      std::string(kServer) +
      "# a comment line\r\n"
      "[volume FS1 SYS]\r\nnumber = 3   # after a blank\r\n"
      "restriction = 0x40000000\r\nin use = 4294967295\r\n"
      "[DRIVE h:\\My Docs]\nserver = FS1\nvolume = sys\n"
      "path = SYS:MYDOCS\nlong path = SYS:My Docs\n"
      "[limits FS1 SYS:My Docs]\nentry = 1, 0x7FFFFFFF, -20\nentry = 0,5,0xFFFFFFFF\n"
      "announced count = 9\n"
      "[directory]\nauthenticated = Yes\nobject = CN=u\n"
      "attribute Allow Unlimited Credit = no\nattribute Account Balance = -1, 2\n"
      "[failures]\nConvertNameSpace source 0 = -601\nIsDirAuthenticated = 0\n";
  NetworkDescription network;
  DescriptionError error;
  ASSERT_TRUE(ParseNetworkDescription(text, &network, &error)) << error.line << error.reason;
  ASSERT_EQ(network.volumes.size(), 1u);
  EXPECT_EQ(network.volumes[0].number, 3);
  EXPECT_EQ(network.volumes[0].inUseBlocks, 0xFFFFFFFFu);
  ASSERT_EQ(network.drives.size(), 1u);
  EXPECT_EQ(network.drives[0].localPath, "h:\\My Docs");
  EXPECT_EQ(network.drives[0].longPath, "SYS:My Docs");
  ASSERT_EQ(network.limitLists.size(), 1u);
  const LimitListDescription& list = network.limitLists[0];
  ASSERT_EQ(list.entries.size(), 2u);
  EXPECT_EQ(list.entries[0].limitBlocks, kNoDirLimit);
  EXPECT_EQ(list.entries[0].remainingBlocks, -20);
  EXPECT_EQ(list.entries[1].remainingBlocks, -1);  // hexadecimal gives the raw bits
  EXPECT_EQ(list.announcedCount, 9);
  EXPECT_TRUE(network.directory.authenticated);
  ASSERT_EQ(network.directory.attributes.size(), 2u);
  EXPECT_EQ(network.directory.attributes[0].syntax, kSyntaxBoolean);
  EXPECT_EQ(network.directory.attributes[1].values, (std::vector<int32_t>{-1, 2}));
  ASSERT_EQ(network.failures.size(), 2u);
  EXPECT_EQ(network.failures[0].qualifier, 0);
  EXPECT_EQ(network.failures[0].status, uint32_t(-601));
}

TEST(NetWareDescriptionParserTest, LongPathDefaultsToThePath) {
  std::string text = std::string(kServer) +
                     "[volume FS1 SYS]\nnumber = 0\n"
                     "[drive H:\\]\nserver = FS1\nvolume = SYS\npath = SYS:USERS\n";
  NetworkDescription network;
  DescriptionError error;
  ASSERT_TRUE(ParseNetworkDescription(text, &network, &error)) << error.reason;
  EXPECT_EQ(network.drives[0].longPath, "SYS:USERS");
}

TEST(NetWareDescriptionParserTest, LeadingZerosAreDecimalNumbers) {
  std::string text =
      "[server FS1]\nconnection number = 0012\nlogin name = u\nuser id = 0x0002A\n"
      "[volume FS1 SYS]\nnumber = 010\nrestriction = 00\n"
      "[failures]\nConnectionItem selector 05 = -0601\n";
  NetworkDescription network;
  DescriptionError error;
  ASSERT_TRUE(ParseNetworkDescription(text, &network, &error)) << error.line << error.reason;
  EXPECT_EQ(network.servers[0].connectionNumber, 12u);  // not octal
  EXPECT_EQ(network.servers[0].userObjectId, 0x2Au);
  EXPECT_EQ(network.volumes[0].number, 10);
  EXPECT_EQ(network.volumes[0].restrictionBlocks, 0u);
  ASSERT_EQ(network.failures.size(), 1u);
  EXPECT_EQ(network.failures[0].qualifier, 5);
  EXPECT_EQ(network.failures[0].status, uint32_t(-601));
}

// A header's words may stand apart by several blanks.
TEST(NetWareDescriptionParserTest, HeaderWordsMayStandApartByBlanks) {
  std::string text =
      std::string(kServer) + "[ volume   FS1\tSYS ]\nnumber = 0\n[limits  FS1   SYS:A\\]\n";
  NetworkDescription network;
  DescriptionError error;
  ASSERT_TRUE(ParseNetworkDescription(text, &network, &error)) << error.line << error.reason;
  EXPECT_EQ(network.volumes[0].name, "SYS");
  EXPECT_EQ(network.limitLists[0].path, "SYS:A\\");
}

struct BadText {
  const char* name;
  std::string text;
  int line;
  const char* reason;  // a part of the message
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const BadText& c, std::ostream* os) { *os << c.name; }

class NetWareDescriptionErrorTest : public testing::TestWithParam<BadText> {};

TEST_P(NetWareDescriptionErrorTest, NamesTheLineAndLeavesTheDescriptionAlone) {
  const BadText& bad = GetParam();
  NetworkDescription network;
  network.directory.objectName = "unchanged";
  DescriptionError error;
  EXPECT_FALSE(ParseNetworkDescription(bad.text, &network, &error));
  EXPECT_EQ(error.line, bad.line) << error.reason;
  EXPECT_NE(error.reason.find(bad.reason), std::string::npos) << error.reason;
  EXPECT_EQ(network.directory.objectName, "unchanged");
  EXPECT_TRUE(network.servers.empty());
}

const std::string kDrive = "[volume FS1 SYS]\nnumber = 0\n[drive H:\\]\nserver = FS1\n";

INSTANTIATE_TEST_SUITE_P(
    Mistakes, NetWareDescriptionErrorTest,
    testing::Values(
        BadText{"KeyOutsideSection", "\n# x\nlogin name = u\n", 3, "outside any section"},
        BadText{"NoEquals", std::string(kServer) + "login\n", 5, "expected 'key = value'"},
        BadText{"UnknownSection", "[printer P1]\n", 1, "unknown section [printer P1]"},
        BadText{"UnclosedHeader", "[server FS1\n", 1, "must end with ']'"},
        BadText{"UnknownKey", std::string(kServer) + "colour = red\n", 5, "unknown key 'colour'"},
        BadText{"DuplicateKey", std::string(kServer) + "user id = 3\n", 5, "given twice"},
        BadText{"DuplicateSection", std::string(kServer) + kServer, 5, "given twice"},
        BadText{"NotANumber", "[server FS1]\nconnection number = twelve\n", 2, "not a number"},
        BadText{"TooLargeForVolumeNumber",
                std::string(kServer) + "[volume FS1 SYS]\nnumber = 65536\n", 6, "out of range"},
        BadText{"HexTooLong", "[server FS1]\nuser id = 0x100000000\n", 2, "out of range"},
        BadText{"SignedOutOfRange",
                std::string(kServer) + "[limits FS1 SYS:X]\nentry = 0, 2147483648, 0\n", 6,
                "signed 32-bit"},
        BadText{"EntryFieldCount", std::string(kServer) + "[limits FS1 SYS:X]\nentry = 0, 1\n", 6,
                "level, limit, remaining"},
        BadText{"MissingRequiredKey", "[server FS1]\nlogin name = u\nuser id = 1\n", 1,
                "needs 'connection number'"},
        BadText{"ServerPathWithoutVolume", std::string(kServer) + kDrive + "path = USERS\n", 9,
                "must start with its volume"},
        BadText{"DriveOnUnknownServer",
                "[drive H:\\]\nserver = FS9\nvolume = SYS\n"
                "path = SYS:A\n",
                1, "unknown server 'FS9'"},
        BadText{"DriveOnUnknownVolume",
                std::string(kServer) +
                    "[volume FS1 SYS]\nnumber = 0\n[drive H:\\]\nserver = FS1\nvolume = VOL1\n"
                    "path = VOL1:A\n",
                7, "unknown volume 'VOL1'"},
        BadText{"PathOnOtherVolume",
                std::string(kServer) + kDrive + "volume = SYS\npath = DATA:A\n", 7,
                "not on volume SYS"},
        BadText{"UnknownOperation", "[failures]\nResolvePaths = 1\n", 2,
                "unknown operation 'ResolvePaths'"},
        BadText{"QualifierOnWrongOperation", "[failures]\nResolvePath source 0 = 1\n", 2, "narrow"},
        BadText{"BadYesNo", "[directory]\nauthenticated = maybe\n", 2, "not yes or no"},
        BadText{"MixedAttributeValues", "[directory]\nattribute X = yes, 3\n", 2, "mixes"},
        BadText{"LoginNameTooLong", "[server FS1]\nlogin name = " + std::string(128, 'x') + "\n", 2,
                "longer than 127"}),
    [](const testing::TestParamInfo<BadText>& info) { return info.param.name; });

}  // namespace
