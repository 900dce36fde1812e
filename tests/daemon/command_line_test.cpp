#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "brimletd.h"
#include "daemon_settings.h"

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

class DaemonParseArgsTest : public testing::TestWithParam<ArgumentCase> {
 protected:
  void SetUp() override { resetDaemonSettings(); }
  void TearDown() override { resetDaemonSettings(); }
};

TEST_P(DaemonParseArgsTest, PrintsUsageOnlyOnFailureAndAppliesAllOrNothing) {
  std::ostringstream out;
  BrimletD::parseArgs(GetParam().args, out);
  EXPECT_EQ(std::string(kParsing) + (GetParam().usage ? kUsage : ""), out.str());
  EXPECT_EQ(GetParam().settings, BrimletD::settingsLine());
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

}  // namespace
