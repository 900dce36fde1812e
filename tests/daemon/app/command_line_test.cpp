#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "app/brimletd.h"

namespace {

const char kParsing[] = " Parsing command line arguments ...\n";
const char kUsage[] =
    "  Parsing failed : you have to respect cmd line syntax :\n"
    "     BrimletD <port_number> <showOnlyAlert:y|n> [optional:_filter]\n"
    "     Ex : BrimletD 49000 N +LETTRES.HALDORNS.ORBAL\n"
    "     Ex : BrimletD 49000 N -students\n"
    "          BrimletD 45000 Y\n"
    "   BrimletD will start using default parameters.\n";
const char kDefaults[] = " port=48000 showOnlyAlert=true logFile=brimletlog.txt filter=(true)";

struct ArgumentCase {
  const char* name;
  std::vector<std::string> args;
  bool usage;
  std::string settings;
};

void PrintTo(const ArgumentCase& c, std::ostream* out) { *out << c.name; }

class DaemonParseArgsTest : public testing::TestWithParam<ArgumentCase> {};

TEST_P(DaemonParseArgsTest, PrintsUsageOnlyOnFailureAndAppliesAllOrNothing) {
  std::ostringstream out;
  const BrimletD::Settings parsed = BrimletD::parseArgs(GetParam().args, out);
  EXPECT_EQ(std::string(kParsing) + (GetParam().usage ? kUsage : ""), out.str());
  EXPECT_EQ(GetParam().settings, BrimletD::settingsLine(parsed));
}

std::string settings(const std::string& port, const std::string& level, const std::string& filter) {
  return " port=" + port + " showOnlyAlert=" + level + " logFile=brimletlog.txt filter=" + filter;
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, DaemonParseArgsTest,
    testing::Values(
        ArgumentCase{"None", {}, true, kDefaults},
        ArgumentCase{"PortOnly", {"49000"}, true, kDefaults},
        ArgumentCase{"FourArguments", {"49000", "N", "x", "y"}, true, kDefaults},
        ArgumentCase{"LowerCaseY", {"49000", "y"}, false, settings("49000", "true", "(true)")},
        ArgumentCase{"LowerCaseN", {"49000", "n"}, false, settings("49000", "false", "(true)")},
        // A valid port is not applied when the level switch is bad.
        ArgumentCase{"LevelX", {"49000", "X"}, true, kDefaults},
        ArgumentCase{"LevelYes", {"49000", "YES"}, true, kDefaults},
        ArgumentCase{"LevelEmpty", {"49000", ""}, true, kDefaults},
        ArgumentCase{"LeadingZeros", {"0049000", "N"}, false, settings("49000", "false", "(true)")},
        ArgumentCase{"NegativePort", {"-5", "N"}, false, settings("-5", "false", "(true)")},
        ArgumentCase{
            "SmallestInt", {"-2147483648", "Y"}, false, settings("-2147483648", "true", "(true)")},
        ArgumentCase{
            "LargestInt", {"2147483647", "Y"}, false, settings("2147483647", "true", "(true)")},
        ArgumentCase{"Above32Bits", {"2147483648", "Y"}, true, kDefaults},
        ArgumentCase{"WrapsIn32Bits", {"4294967297", "Y"}, true, kDefaults},
        ArgumentCase{"TrailingJunk", {"49000x", "Y"}, true, kDefaults},
        ArgumentCase{"PlusSign", {"+49000", "Y"}, true, kDefaults},
        ArgumentCase{"Blank", {" 49000", "Y"}, true, kDefaults},
        ArgumentCase{"EmptyPort", {"", "Y"}, true, kDefaults},
        ArgumentCase{"MinusAlone", {"-", "Y"}, true, kDefaults},
        ArgumentCase{"BadPortAndFilter", {"port", "N", "-students"}, true, kDefaults},
        ArgumentCase{"UnsignedFilter",
                     {"49000", "N", "students"},
                     false,
                     settings("49000", "false", "STUDENTS(true)")},
        ArgumentCase{"PositiveFilter",
                     {"49000", "N", "+LETTRES.HALDORNS.ORBAL"},
                     false,
                     settings("49000", "false", "LETTRES.HALDORNS.ORBAL(true)")},
        ArgumentCase{"NegativeFilter",
                     {"49000", "N", "-students"},
                     false,
                     settings("49000", "false", "STUDENTS(false)")},
        ArgumentCase{
            "PlusThenMinus", {"49000", "N", "+-x"}, false, settings("49000", "false", "X(false)")},
        ArgumentCase{
            "MinusThenPlus", {"49000", "N", "-+x"}, false, settings("49000", "false", "+X(false)")},
        ArgumentCase{
            "MinusAloneFilter", {"49000", "N", "-"}, false, settings("49000", "false", "(false)")},
        ArgumentCase{"Latin1Filter",
                     {"49000", "N", "\xE9l\xE8ve"},
                     false,
                     settings("49000", "false", "\xC9L\xC8VE(true)")}),
    [](const testing::TestParamInfo<ArgumentCase>& info) { return info.param.name; });

// The sender options: a value is taken whole or refused, never read loosely.
struct OptionCase {
  const char* name;
  std::vector<std::string> args;
  std::string expected;  // the sender settings line, or the start of the error
};

void PrintTo(const OptionCase& c, std::ostream* out) { *out << c.name; }

class DaemonSenderOptionTest : public testing::TestWithParam<OptionCase> {};

TEST_P(DaemonSenderOptionTest, TakesGoodValuesAndRefusesBadOnes) {
  std::ostringstream out;
  std::vector<std::string> positional;
  BrimletD::Settings parsed;
  const bool taken = BrimletD::parseOptions(GetParam().args, &parsed, &positional, out);
  const bool refused = GetParam().expected.rfind("BrimletD : ", 0) == 0;
  EXPECT_EQ(!refused, taken) << out.str();
  if (refused) {
    EXPECT_EQ(0u, out.str().rfind(GetParam().expected, 0)) << out.str();
  } else {
    EXPECT_EQ(GetParam().expected, BrimletD::senderSettingsLine(parsed));
    EXPECT_EQ((std::vector<std::string>{"1", "N"}), positional);
  }
}

std::string senders(const std::string& allow, const std::string& rate, const std::string& listen) {
  return " allow=" + allow + " rate=" + rate + " listen=" + listen;
}

const char kBadAllow[] = "BrimletD : bad option --allow=";
const char kBadRate[] = "BrimletD : bad option --rate=";
const char kBadListen[] = "BrimletD : bad option --listen=";

INSTANTIATE_TEST_SUITE_P(
    Options, DaemonSenderOptionTest,
    testing::Values(
        OptionCase{"HostBitsCleared",
                   {"--allow=10.1.2.3/8", "1", "N"},
                   senders("10.0.0.0/8", "no limit", "every address")},
        OptionCase{"IPv6Shortened",
                   {"--allow=FD00:0:0:0:0:0:1:0/112", "--allow=2001:db8:0:0:1:0:0:1", "1", "N"},
                   senders("fd00::1:0/112,2001:db8::1:0:0:1", "no limit", "every address")},
        OptionCase{"MappedIsIPv4",
                   {"--allow=::ffff:192.0.2.1", "--allow=::ffff:10.0.0.0/104", "1", "N"},
                   senders("192.0.2.1,10.0.0.0/8", "no limit", "every address")},
        OptionCase{"RateAndListen",
                   {"--rate=100/60", "--listen=::1", "--listen=127.0.0.1", "1", "N"},
                   senders("every sender", "100/60", "::1,127.0.0.1")},
        OptionCase{"LeadingZeroOctet", {"--allow=010.0.0.1", "1", "N"}, kBadAllow},
        OptionCase{"ThreeOctets", {"--allow=10.0.0/8", "1", "N"}, kBadAllow},
        OptionCase{"TwoGaps", {"--allow=1::2::3", "1", "N"}, kBadAllow},
        OptionCase{"NineGroups", {"--allow=1:2:3:4:5:6:7:8:9", "1", "N"}, kBadAllow},
        OptionCase{"IPv4BitsPast32", {"--allow=10.0.0.0/33", "1", "N"}, kBadAllow},
        OptionCase{"IPv6BitsPast128", {"--allow=::/129", "1", "N"}, kBadAllow},
        OptionCase{"EmptyPrefix", {"--allow=", "1", "N"}, kBadAllow},
        OptionCase{"Zone", {"--listen=fe80::1%eth0", "1", "N"}, kBadListen},
        OptionCase{"ListenPrefix", {"--listen=10.0.0.0/8", "1", "N"}, kBadListen},
        OptionCase{"ListenTwice", {"--listen=::1", "--listen=0:0::1", "1", "N"}, kBadListen},
        OptionCase{"RateZero", {"--rate=0/60", "1", "N"}, kBadRate},
        OptionCase{"RateWithoutSeconds", {"--rate=5/", "1", "N"}, kBadRate},
        OptionCase{"RateSigned", {"--rate=+5/60", "1", "N"}, kBadRate},
        OptionCase{"RateTwice", {"--rate=5/60", "--rate=6/60", "1", "N"}, kBadRate},
        OptionCase{"Misspelt", {"--alow=10.0.0.0/8", "1", "N"}, "BrimletD : bad option --alow="},
        // The old syntax would take it for the filter: every sender heard.
        OptionCase{"AfterThePort",
                   {"1", "N", "--allow=10.0.0.0/8"},
                   "BrimletD : bad option --allow=10.0.0.0/8: options come before the port"}),
    [](const testing::TestParamInfo<OptionCase>& info) { return info.param.name; });

}  // namespace
