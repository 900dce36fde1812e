// Network descriptions that must be refused: each mistake with the line it is
// on and the exact reason the writer reads, and nothing of the text applied.
#include <gtest/gtest.h>

#include <set>

#include "simulated/description_parser.h"

namespace {

const std::string kServer = "[server FS1]\nconnection number = 1\nlogin name = u\nuser id = 2\n";
const std::string kSys = "[volume FS1 SYS]\nnumber = 0\n";  // lines 5 and 6 after kServer
const std::string kDriveKeys = "server = FS1\nvolume = SYS\npath = SYS:USERS\n";

struct Refusal {
  const char* name;
  std::string text;
  int line;
  std::string reason;  // the whole message
};

void PrintTo(const Refusal& c, std::ostream* os) { *os << c.name; }

class NetWareDescriptionRefusalTest : public testing::TestWithParam<Refusal> {};

TEST_P(NetWareDescriptionRefusalTest, GivesTheLineAndTheReasonAndAppliesNothing) {
  const Refusal& refusal = GetParam();
  NetworkDescription network;
  network.directory.objectName = "unchanged";
  DescriptionError error;
  ASSERT_FALSE(ParseNetworkDescription(refusal.text, &network, &error));
  EXPECT_EQ(error.line, refusal.line);
  EXPECT_EQ(error.reason, refusal.reason);
  EXPECT_EQ(network.directory.objectName, "unchanged");
  EXPECT_TRUE(network.servers.empty());
  EXPECT_TRUE(network.failures.empty());
}

std::string CaseName(const testing::TestParamInfo<Refusal>& info) { return info.param.name; }

// Two headers that name one thing once letter case, blanks and trailing
// backslashes are set aside.
INSTANTIATE_TEST_SUITE_P(
    DuplicateSections, NetWareDescriptionRefusalTest,
    testing::Values(
        Refusal{"VolumeWithTwoBlanks", kServer + kSys + "[volume FS1  SYS]\nnumber = 1\n", 7,
                "[volume FS1  SYS] is given twice: [volume FS1 SYS] at line 5 names the same "
                "volume"},
        Refusal{"VolumeInOtherCase", kServer + kSys + "[volume fs1 sys]\nnumber = 1\n", 7,
                "[volume fs1 sys] is given twice: [volume FS1 SYS] at line 5 names the same "
                "volume"},
        Refusal{"LimitsWithTrailingBackslash",
                kServer + kSys + "[limits FS1 SYS:USERS\\USER1\\]\nentry = 0, 25600, 25600\n" +
                    "[limits FS1 SYS:USERS\\USER1]\nentry = 0, 1, 1\n",
                9,
                "[limits FS1 SYS:USERS\\USER1] is given twice: [limits FS1 SYS:USERS\\USER1\\] "
                "at line 7 names the same limits"},
        Refusal{"DriveWithAndWithoutBackslash",
                kServer + kSys + "[drive H:]\n" + kDriveKeys + "[drive H:\\]\n" + kDriveKeys, 11,
                "[drive H:\\] is given twice: [drive H:] at line 7 names the same drive"},
        Refusal{"ServerInOtherCase", kServer + "[server fs1]\n", 5,
                "[server fs1] is given twice: [server FS1] at line 1 names the same server"},
        Refusal{"SecondDirectory", "[directory]\n[Directory]\n", 2,
                "[Directory] is given twice: [directory] at line 1 names the same directory"}),
    CaseName);

INSTANTIATE_TEST_SUITE_P(
    CrossReferences, NetWareDescriptionRefusalTest,
    testing::Values(
        Refusal{"AuthenticatedWithoutObject", kServer + "[directory]\nauthenticated = yes\n", 6,
                "'authenticated = yes' needs an 'object' in [directory]: an authenticated "
                "workstation is logged in as a user object"},
        Refusal{"LimitsOnUndescribedVolume", kServer + "[limits FS1 SYS:X]\nentry = 0, 1, 1\n", 5,
                "limits on unknown volume 'SYS' of FS1 (no [volume FS1 SYS])"},
        Refusal{"LimitsOnUndescribedServer",
                kServer + kSys + "[limits FS2 SYS:X]\nentry = 0, 1, 1\n", 7,
                "limits on unknown server 'FS2' (no [server FS2])"},
        Refusal{"VolumeOfUndescribedServer", "[volume FS2 SYS]\nnumber = 0\n", 1,
                "volume of unknown server 'FS2' (no [server FS2])"},
        Refusal{"DriveNoPathCanMatch", kServer + kSys + "[drive \\\\]\n" + kDriveKeys, 7,
                "no watched path can match [drive \\\\]: give a drive or folder, e.g. "
                "[drive H:\\]"},
        Refusal{"TwoVolumesOneNumber", kServer + kSys + "[volume FS1 DATA]\nnumber = 0\n", 7,
                "volume DATA has number 0, the number of volume SYS at line 5"},
        Refusal{"TwoVolumesSameLow8Bits", kServer + kSys + "[volume FS1 DATA]\nnumber = 256\n", 7,
                "volume DATA has number 256, whose low 8 bits (0) are those of volume SYS "
                "(number 0, line 5); restrictions are found by them"},
        // Of several mistakes the earliest line is the one reported.
        Refusal{"EarliestOfSeveral", kServer + "[limits FS1 SYS:X]\n[volume FS2 SYS]\nnumber = 0\n",
                5, "limits on unknown volume 'SYS' of FS1 (no [volume FS1 SYS])"}),
    CaseName);

// Control bytes anywhere in a line; the message shows them escaped.
INSTANTIATE_TEST_SUITE_P(
    ControlBytes, NetWareDescriptionRefusalTest,
    testing::Values(Refusal{"NulInValue",
                            "[server FS1]\nlogin name = u" + std::string(1, '\0') + "x\n", 2,
                            "control byte \\x00 in column 15: a description is plain text"},
                    Refusal{"EscapeInValue", "[server FS1]\nlogin name = u\x1B[2J\n", 2,
                            "control byte \\x1B in column 15: a description is plain text"},
                    Refusal{"DelInHeader", "[server FS\x7F]\n", 1,
                            "control byte \\x7F in column 11: a description is plain text"},
                    Refusal{"FormFeedInKey", "[server FS1]\nlogin\fname = u\n", 2,
                            "control byte \\x0C in column 6: a description is plain text"},
                    Refusal{"NulInFailureRule",
                            "[failures]\nResolvePath = 1" + std::string(1, '\0') + "\n", 2,
                            "control byte \\x00 in column 16: a description is plain text"}),
    CaseName);

INSTANTIATE_TEST_SUITE_P(
    Lists, NetWareDescriptionRefusalTest,
    testing::Values(
        Refusal{"EntryTrailingComma", kServer + kSys + "[limits FS1 SYS:X]\nentry = 0, 1, 1,\n", 8,
                "'entry' ends with a comma"},
        Refusal{"EntryLeadingComma", kServer + kSys + "[limits FS1 SYS:X]\nentry = ,0, 1, 1\n", 8,
                "'entry' starts with a comma"},
        Refusal{"EntryDoubleComma", kServer + kSys + "[limits FS1 SYS:X]\nentry = 0,, 1\n", 8,
                "'entry' has two commas with nothing between them"},
        Refusal{"AttributeTrailingComma", "[directory]\nattribute X = 1, 2,\n", 2,
                "attribute 'X' ends with a comma"},
        Refusal{"AttributeOnlyComma", "[directory]\nattribute X = ,\n", 2,
                "attribute 'X' starts with a comma"},
        Refusal{"DuplicateAttribute", "[directory]\nattribute X = 1\nattribute X = 2\n", 3,
                "'attribute X' is given twice in [directory]"},
        Refusal{"DuplicateAttributeOtherCase",
                "[directory]\nattribute Account Balance = 1\nattribute account balance = 2\n", 3,
                "attribute 'account balance' is given twice (attribute names ignore letter "
                "case)"}),
    CaseName);

INSTANTIATE_TEST_SUITE_P(
    Numbers, NetWareDescriptionRefusalTest,
    testing::Values(
        Refusal{"Missing", "[server FS1]\nconnection number =\n", 2,
                "'connection number' needs a value"},
        Refusal{"OutOfRange", "[server FS1]\nconnection number = 4294967296\n", 2,
                "'connection number' '4294967296' is out of range (0 to 4294967295)"},
        Refusal{"VeryLongOutOfRange", "[server FS1]\nuser id = " + std::string(60, '9') + "\n", 2,
                "'user id' '" + std::string(60, '9') + "' is out of range (0 to 4294967295)"},
        Refusal{"NotANumber", "[server FS1]\nconnection number = 12a\n", 2,
                "'connection number' '12a' is not a number (decimal or 0x hexadecimal)"},
        Refusal{"HexPrefixAlone", "[server FS1]\nuser id = 0x\n", 2,
                "'user id' '0x' is not a number (decimal or 0x hexadecimal)"},
        Refusal{"NegativeUnsigned", kServer + "[volume FS1 SYS]\nnumber = -1\n", 6,
                "'number' '-1' is out of range (0 to 65535)"},
        Refusal{"EntryLevelNotANumber", kServer + kSys + "[limits FS1 SYS:X]\nentry = 0 x, 1, 1\n",
                8, "the level '0 x' is not a number (decimal or 0x hexadecimal)"},
        Refusal{"EntryLimitOutOfRange",
                kServer + kSys + "[limits FS1 SYS:X]\nentry = 0, -2147483649, 1\n", 8,
                "the limit '-2147483649' is out of range (a signed 32-bit value: -2147483648 to "
                "2147483647, or 0x0 to 0xFFFFFFFF)"},
        Refusal{"StatusMissing", "[failures]\nResolvePath =\n", 2,
                "the status of 'ResolvePath' needs a value"},
        Refusal{"StatusNotANumber", "[failures]\nResolvePath = fail\n", 2,
                "the status of 'ResolvePath' 'fail' is not a number (decimal or 0x hexadecimal)"},
        Refusal{"QualifierMissing", "[failures]\nConnectionItem selector = 1\n", 2,
                "'ConnectionItem selector': N needs a value"}),
    CaseName);

// A rule with status 0 claims a success without doing the operation; where
// the caller would then read outputs never written, it is refused.
INSTANTIATE_TEST_SUITE_P(
    ZeroStatusRules, NetWareDescriptionRefusalTest,
    testing::Values(
        Refusal{"StartClient", "[failures]\nStartClient = 0\n", 2,
                "'StartClient = 0' changes nothing (StartClient answers 0 for every valid "
                "description); give a nonzero status to make it fail"},
        Refusal{"LoginNameOfConnection", "[failures]\nLoginNameOfConnection = 0x0\n", 2,
                "'LoginNameOfConnection = 0' would answer success without writing "
                "LoginNameOfConnection's outputs, so the caller would read whatever its buffers "
                "held before; give a nonzero status"},
        Refusal{"NarrowedConvertNameSpace", "[failures]\nConvertNameSpace source 0 = 0\n", 2,
                "'ConvertNameSpace source 0 = 0' would answer success without writing "
                "ConvertNameSpace's outputs, so the caller would read whatever its buffers held "
                "before; give a "
                "nonzero status"},
        Refusal{"NarrowedConnectionItem", "[failures]\nConnectionItem selector 6 = 0\n", 2,
                "'ConnectionItem selector 6 = 0' would answer success without writing "
                "ConnectionItem's outputs, so the caller would read whatever its buffers held "
                "before; give a "
                "nonzero status"},
        Refusal{"QualifierThatNeverApplies", "[failures]\nConvertNameSpace source 1 = 5\n", 2,
                "'ConvertNameSpace source 1' can never apply: the name spaces are 0 (short "
                "names) and 4 (long names)"},
        Refusal{"SameRuleTwice",
                "[failures]\nConnectionItem selector 5 = 1\nConnectionItem  selector 5 = 2\n", 3,
                "'ConnectionItem  selector 5' is given twice in [failures] (first at line 2)"}),
    CaseName);

// Every operation that hands back an output refuses status 0, the eight
// without one accept it.
TEST(NetWareDescriptionZeroRuleTest, OnlyOperationsWithoutOutputsTakeStatusZero) {
  const std::set<std::string> allowed = {
      "IsDirAuthenticated", "StartCharConversion", "EndCharConversion", "PrepareDirBuffer",
      "AddAttributeName",   "CloseDirHandle",      "FreeDirBuffer",     "CloseDirContext"};
  for (int i = 0; i < kClientOperationCount; ++i) {
    std::string name = ClientOperationName(static_cast<ClientOperation>(i));
    NetworkDescription network;
    DescriptionError error;
    bool read = ParseNetworkDescription("[failures]\n" + name + " = 0\n", &network, &error);
    EXPECT_EQ(read, allowed.count(name) == 1) << name << ": " << error.reason;
  }
}

}  // namespace
