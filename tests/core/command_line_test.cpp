#include "core/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "case_name.h"
#include "core/fixed_text.h"

namespace {

// The nine settings on one line, e.g. "H:\ 300 75 95 % n n [0] 0", so that a
// table row can state every field and a failure shows all of them.
std::string Describe(const MonitorSettings& s) {
  return std::string(BufferText(s.watchedPath)) + " " + std::to_string(s.pollSeconds) + " " +
         std::to_string(s.warnThreshold) + " " + std::to_string(s.dangerThreshold) +
         (s.thresholdsInPercent ? " % " : " A ") + (s.showDetailsAtStart ? "y " : "n ") +
         (s.autoShow ? "y [" : "n [") + std::string(BufferText(s.alertHost)) + "] " +
         std::to_string(s.alertPort);
}

const std::string kDefaults = "H:\\ 300 75 95 % n n [0] 0";
// The longest path: its window class name, with the 15-character prefix,
// is the longest Windows registers (255 characters).
const std::string kPath240 = "\\\\" + std::string(238, 'p');
const std::string kHost49(49, 'h');
constexpr CommandLineForm kWithUnit = CommandLineForm::WithUnit;
constexpr CommandLineForm kPercentOnly = CommandLineForm::PercentOnly;

struct CommandLineCase {
  const char* name;
  CommandLineForm form;
  std::string text;
  bool valid;
  std::string settings;
};

// An invalid line: every field takes its default.
CommandLineCase Refused(const char* name, CommandLineForm form, std::string text) {
  return {name, form, std::move(text), false, kDefaults};
}

class CoreCommandLine : public testing::TestWithParam<CommandLineCase> {};

TEST_P(CoreCommandLine, ParsesOrFallsBackToDefaults) {
  const CommandLineCase& c = GetParam();
  MonitorSettings parsed;
  EXPECT_EQ(ParseCommandLine(c.text, parsed, c.form), c.valid);
  EXPECT_EQ(Describe(SettingsFromCommandLine(c.text, c.form)), c.settings);
}

INSTANTIATE_TEST_SUITE_P(
    NineTokens, CoreCommandLine,
    testing::ValuesIn(std::vector<CommandLineCase>{
        {"Example", kWithUnit, "h:\\ 300 75 95 % N N 0 0", true, kDefaults},
        {"AllFields", kWithUnit, "g:\\data 60 50 10 A y Y log.example 4000", true,
         "G:\\DATA 60 50 10 A y y [log.example] 4000"},
        {"LowerA", kWithUnit, "h:\\ 300 50 10 a N N 0 0", true, "H:\\ 300 50 10 A n n [0] 0"},
        {"Trimmed", kWithUnit, " \t h:\\ 300 75 95 % N N 0 0\r\n", true, kDefaults},
        {"UpperCasesAsciiOnly", kWithUnit, "\\\\srv\\d\xe9j\xe0-1 300 75 95 % N N 0 0", true,
         "\\\\SRV\\D\xe9J\xe0-1 300 75 95 % n n [0] 0"},
        {"HostKeepsCase", kWithUnit, "h:\\ 300 75 95 % N N LogHost 9", true,
         "H:\\ 300 75 95 % n n [LogHost] 9"},
        {"YesOneAreNo", kWithUnit, "h:\\ 300 75 95 % yes 1 0 0", true, kDefaults},
        {"LettersReadZero", kWithUnit, "h:\\ abc x9 95 % N N 0 port", true,
         "H:\\ 0 0 95 % n n [0] 0"},
        {"Signs", kWithUnit, "h:\\ +30 -5 95x % N N 0 -1", true, "H:\\ 30 -5 95 % n n [0] -1"},
        {"NoRangeCheck", kWithUnit, "h:\\ 0 200 -300 % N N 0 70000", true,
         "H:\\ 0 200 -300 % n n [0] 70000"},
        {"OverflowSaturates", kWithUnit, "h:\\ 99999999999 -99999999999 95 % N N 0 0", true,
         "H:\\ 2147483647 -2147483648 95 % n n [0] 0"},
        {"EmptyNumber", kWithUnit, "h:\\ 300  95 % N N 0 0", true, "H:\\ 300 0 95 % n n [0] 0"},
        {"EmptyHost", kWithUnit, "h:\\ 300 75 95 % N N  0", true, "H:\\ 300 75 95 % n n [] 0"},
        {"PathOf240", kWithUnit, kPath240 + " 300 75 95 % N N 0 0", true,
         "\\\\" + std::string(238, 'P') + " 300 75 95 % n n [0] 0"},
        {"HostOf49", kWithUnit, "h:\\ 300 75 95 % N N " + kHost49 + " 0", true,
         "H:\\ 300 75 95 % n n [" + kHost49 + "] 0"},
        Refused("PathOf241", kWithUnit, kPath240 + "p 300 75 95 % N N 0 0"),
        Refused("HostOf50", kWithUnit, "h:\\ 300 75 95 % N N " + kHost49 + "h 0"),
        Refused("TabDoesNotSeparate", kWithUnit, "h:\\ 300\t75 95 % N N 0 0"),
        Refused("UnitMb", kWithUnit, "g:\\ 60 50 10 MB y y host 1"),
        Refused("UnitDoublePercent", kWithUnit, "g:\\ 60 50 10 %% y y host 1"),
        Refused("EightTokens", kWithUnit, "g:\\ 60 50 10 % y y host"),
        Refused("TenTokens", kWithUnit, "g:\\ 60 50 10 % y y host 1 2"),
        Refused("Empty", kWithUnit, ""),
        Refused("BlanksOnly", kWithUnit, "   "),
        Refused("SingleWord", kWithUnit, "g:\\"),
        Refused("BlankInPath", kWithUnit, "g:\\my dir 60 50 10 % y y host 1"),
        Refused("DoubleBlankMakesTen", kWithUnit, "g:\\ 60  50 10 % y y host 1")}),
    CaseName());

INSTANTIATE_TEST_SUITE_P(EightTokens, CoreCommandLine,
                         testing::ValuesIn(std::vector<CommandLineCase>{
                             {"Example", kPercentOnly, "h:\\ 300 75 95 N N 0 0", true, kDefaults},
                             {"AllFields", kPercentOnly, "g:\\ 60 50 90 y Y host 4000", true,
                              "G:\\ 60 50 90 % y y [host] 4000"},
                             {"UnitLetterIsASwitch", kPercentOnly, "g:\\ 60 50 90 A y host 1", true,
                              "G:\\ 60 50 90 % n y [host] 1"},
                             Refused("NineTokens", kPercentOnly, "h:\\ 300 50 10 a N N 0 0"),
                             Refused("SevenTokens", kPercentOnly, "h:\\ 300 50 10 N N 0"),
                             Refused("Empty", kPercentOnly, "")}),
                         CaseName());

TEST(CoreCommandLineFailure, LeavesTheCallersSettingsUntouched) {
  MonitorSettings settings;
  ASSERT_TRUE(ParseCommandLine("g:\\ 60 50 10 A y y host 1", settings, kWithUnit));
  EXPECT_FALSE(ParseCommandLine("h:\\ 300 75 95 MB N N 0 0", settings, kWithUnit));
  EXPECT_EQ(Describe(settings), "G:\\ 60 50 10 A y y [host] 1");
}

TEST(CoreWindowClassName, IsPrefixAndUpperCasedPath) {
  EXPECT_EQ(WindowClassName(SettingsFromCommandLine("h:\\ 300 75 95 % N N 0 0", kWithUnit)),
            "LaSuperAppsDeQZH:\\");
  const MonitorSettings longest =
      SettingsFromCommandLine(kPath240 + " 300 75 95 % N N 0 0", kWithUnit);
  EXPECT_EQ(WindowClassName(longest).size(), 255u);
}

struct IntegerCase {
  const char* text;
  int32_t value;
};

class CoreReadInteger : public testing::TestWithParam<IntegerCase> {};

TEST_P(CoreReadInteger, ReadsSignAndLeadingDigits) {
  EXPECT_EQ(ReadInteger(GetParam().text), GetParam().value) << "[" << GetParam().text << "]";
}

INSTANTIATE_TEST_SUITE_P(Vectors, CoreReadInteger,
                         testing::ValuesIn(std::vector<IntegerCase>{
                             {"300", 300},
                             {"-5", -5},
                             {"+7", 7},
                             {"007", 7},
                             {"12abc", 12},
                             {"abc", 0},
                             {"", 0},
                             {"-", 0},
                             {"+-3", 0},
                             {" 4", 0},
                             {"\t4", 0},
                             {"2147483647", 2147483647},
                             {"2147483648", 2147483647},
                             {"-2147483648", -2147483647 - 1},
                             {"-2147483649", -2147483647 - 1},
                             {"000000000000000000000000000042", 42},
                             {"99999999999999999999999999999", 2147483647},
                             {"-99999999999999999999999999999", -2147483647 - 1}}));

}  // namespace
