#include "core/command_line.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <ostream>
#include <string>

#include "core/fixed_text.h"

namespace {

constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
constexpr int32_t kMin = std::numeric_limits<int32_t>::min();

// The settings as plain values, for readable expectations and failure output.
struct Expected {
  std::string watchedPath = "H:\\";
  int32_t pollSeconds = 300;
  int32_t warnThreshold = 75;
  int32_t dangerThreshold = 95;
  bool thresholdsInPercent = true;
  bool showDetailsAtStart = false;
  bool autoShow = false;
  std::string alertHost = "0";
  int32_t alertPort = 0;

  bool operator==(const Expected& other) const {
    return watchedPath == other.watchedPath && pollSeconds == other.pollSeconds &&
           warnThreshold == other.warnThreshold && dangerThreshold == other.dangerThreshold &&
           thresholdsInPercent == other.thresholdsInPercent &&
           showDetailsAtStart == other.showDetailsAtStart && autoShow == other.autoShow &&
           alertHost == other.alertHost && alertPort == other.alertPort;
  }
};

std::ostream& operator<<(std::ostream& out, const Expected& e) {
  return out << e.watchedPath << " " << e.pollSeconds << " " << e.warnThreshold << " "
             << e.dangerThreshold << (e.thresholdsInPercent ? " %" : " A") << " "
             << e.showDetailsAtStart << " " << e.autoShow << " [" << e.alertHost << "] "
             << e.alertPort;
}

Expected ValuesOf(const MonitorSettings& settings) {
  Expected values;
  values.watchedPath = std::string(BufferText(settings.watchedPath));
  values.pollSeconds = settings.pollSeconds;
  values.warnThreshold = settings.warnThreshold;
  values.dangerThreshold = settings.dangerThreshold;
  values.thresholdsInPercent = settings.thresholdsInPercent;
  values.showDetailsAtStart = settings.showDetailsAtStart;
  values.autoShow = settings.autoShow;
  values.alertHost = std::string(BufferText(settings.alertHost));
  values.alertPort = settings.alertPort;
  return values;
}

Expected Defaults() { return Expected{}; }

Expected With(void (*change)(Expected&)) {
  Expected values;
  change(values);
  return values;
}

struct CommandLineCase {
  const char* name;
  CommandLineForm form;
  std::string text;
  bool valid;
  Expected settings;  // also what an invalid line leaves: the defaults
};

class CoreCommandLine : public testing::TestWithParam<CommandLineCase> {};

TEST_P(CoreCommandLine, ParsesOrFallsBackToDefaults) {
  const CommandLineCase& c = GetParam();
  MonitorSettings parsed;
  EXPECT_EQ(ParseCommandLine(c.text, parsed, c.form), c.valid);
  EXPECT_EQ(ValuesOf(SettingsFromCommandLine(c.text, c.form)), c.settings);
}

const std::string kPath242 = "\\\\" + std::string(240, 'p');
const std::string kHost49(49, 'h');

constexpr CommandLineForm kWithUnit = CommandLineForm::WithUnit;
constexpr CommandLineForm kPercentOnly = CommandLineForm::PercentOnly;

INSTANTIATE_TEST_SUITE_P(
    NineTokens, CoreCommandLine,
    testing::Values(
        CommandLineCase{"Example", kWithUnit, "h:\\ 300 75 95 % N N 0 0", true, Defaults()},
        CommandLineCase{"AllFieldsTaken", kWithUnit, "g:\\data 60 50 10 A y Y log.example 4000",
                        true, With([](Expected& e) {
                          e = {"G:\\DATA", 60, 50, 10, false, true, true, "log.example", 4000};
                        })},
        CommandLineCase{"LowerCaseUnitIsMegabytes", kWithUnit, "h:\\ 300 50 10 a N N 0 0", true,
                        With([](Expected& e) {
                          e.warnThreshold = 50;
                          e.dangerThreshold = 10;
                          e.thresholdsInPercent = false;
                        })},
        CommandLineCase{"WhiteSpaceAroundIsTrimmed", kWithUnit,
                        " \t h:\\ 300 75 95 % N N 0 0\r\n", true, Defaults()},
        CommandLineCase{"UpperCasesOnlyAsciiLetters", kWithUnit,
                        "\\\\srv\\vol\\d\xe9j\xe0-1 300 75 95 % N N 0 0", true,
                        With([](Expected& e) { e.watchedPath = "\\\\SRV\\VOL\\D\xe9J\xe0-1"; })},
        CommandLineCase{"HostKeepsItsCase", kWithUnit, "h:\\ 300 75 95 % N N LogHost 9", true,
                        With([](Expected& e) {
                          e.alertHost = "LogHost";
                          e.alertPort = 9;
                        })},
        CommandLineCase{"SwitchesOnlyForYAndUpperY", kWithUnit,
                        "h:\\ 300 75 95 % yes 1 0 0", true, Defaults()},
        CommandLineCase{"LettersReadAsZero", kWithUnit, "h:\\ abc x9 95 % N N 0 port", true,
                        With([](Expected& e) {
                          e.pollSeconds = 0;
                          e.warnThreshold = 0;
                        })},
        CommandLineCase{"SignsAndTrailingText", kWithUnit, "h:\\ +30 -5 95x % N N 0 -1", true,
                        With([](Expected& e) {
                          e.pollSeconds = 30;
                          e.warnThreshold = -5;
                          e.alertPort = -1;
                        })},
        CommandLineCase{"NoRangeCheck", kWithUnit, "h:\\ 0 200 -300 % N N 0 70000", true,
                        With([](Expected& e) {
                          e.pollSeconds = 0;
                          e.warnThreshold = 200;
                          e.dangerThreshold = -300;
                          e.alertPort = 70000;
                        })},
        CommandLineCase{"OverflowSaturates", kWithUnit,
                        "h:\\ 99999999999 -99999999999 95 % N N 0 0", true,
                        With([](Expected& e) {
                          e.pollSeconds = kMax;
                          e.warnThreshold = kMin;
                        })},
        CommandLineCase{"EmptyTokenKeepsNineReadsZero", kWithUnit, "h:\\ 300  95 % N N 0 0",
                        true, With([](Expected& e) { e.warnThreshold = 0; })},
        CommandLineCase{"EmptyTokenKeepsNineEmptyHost", kWithUnit, "h:\\ 300 75 95 % N N  0",
                        true, With([](Expected& e) { e.alertHost = ""; })},
        CommandLineCase{"TabDoesNotSeparate", kWithUnit, "h:\\ 300\t75 95 % N N 0 0", false,
                        Defaults()},
        CommandLineCase{"UnitMbRefusesAll", kWithUnit, "g:\\ 60 50 10 MB y y host 1", false,
                        Defaults()},
        CommandLineCase{"UnitDoublePercentRefused", kWithUnit, "g:\\ 60 50 10 %% y y host 1",
                        false, Defaults()},
        CommandLineCase{"EightTokens", kWithUnit, "g:\\ 60 50 10 % y y host", false, Defaults()},
        CommandLineCase{"TenTokens", kWithUnit, "g:\\ 60 50 10 % y y host 1 2", false,
                        Defaults()},
        CommandLineCase{"Empty", kWithUnit, "", false, Defaults()},
        CommandLineCase{"BlanksOnly", kWithUnit, "   ", false, Defaults()},
        CommandLineCase{"SingleWord", kWithUnit, "g:\\", false, Defaults()},
        CommandLineCase{"BlankInPath", kWithUnit, "g:\\my dir 60 50 10 % y y host 1", false,
                        Defaults()},
        CommandLineCase{"DoubleBlankMakesTen", kWithUnit, "g:\\ 60  50 10 % y y host 1", false,
                        Defaults()},
        CommandLineCase{"PathOf242Fits", kWithUnit, kPath242 + " 300 75 95 % N N 0 0", true,
                        With([](Expected& e) {
                          e.watchedPath = "\\\\" + std::string(240, 'P');
                        })},
        CommandLineCase{"PathOf243Refused", kWithUnit, kPath242 + "p 300 75 95 % N N 0 0", false,
                        Defaults()},
        CommandLineCase{"HostOf49Fits", kWithUnit, "h:\\ 300 75 95 % N N " + kHost49 + " 0", true,
                        With([](Expected& e) { e.alertHost = std::string(49, 'h'); })},
        CommandLineCase{"HostOf50Refused", kWithUnit, "h:\\ 300 75 95 % N N " + kHost49 + "h 0",
                        false, Defaults()}),
    [](const testing::TestParamInfo<CommandLineCase>& info) { return info.param.name; });

INSTANTIATE_TEST_SUITE_P(
    EightTokens, CoreCommandLine,
    testing::Values(
        CommandLineCase{"Example", kPercentOnly, "h:\\ 300 75 95 N N 0 0", true, Defaults()},
        CommandLineCase{"AllFieldsTaken", kPercentOnly, "g:\\ 60 50 90 y Y host 4000", true,
                        With([](Expected& e) {
                          e = {"G:\\", 60, 50, 90, true, true, true, "host", 4000};
                        })},
        CommandLineCase{"UnitLetterIsASwitch", kPercentOnly, "g:\\ 60 50 90 A y host 1", true,
                        With([](Expected& e) {
                          e = {"G:\\", 60, 50, 90, true, false, true, "host", 1};
                        })},
        CommandLineCase{"NineTokensRefused", kPercentOnly, "h:\\ 300 50 10 a N N 0 0", false,
                        Defaults()},
        CommandLineCase{"SevenTokensRefused", kPercentOnly, "h:\\ 300 50 10 N N 0", false,
                        Defaults()},
        CommandLineCase{"Empty", kPercentOnly, "", false, Defaults()}),
    [](const testing::TestParamInfo<CommandLineCase>& info) { return info.param.name; });

TEST(CoreCommandLineFailure, LeavesTheCallersSettingsUntouched) {
  MonitorSettings settings;
  ASSERT_TRUE(ParseCommandLine("g:\\ 60 50 10 A y y host 1", settings, kWithUnit));
  const Expected before = ValuesOf(settings);
  EXPECT_FALSE(ParseCommandLine("h:\\ 300 75 95 MB N N 0 0", settings, kWithUnit));
  EXPECT_EQ(ValuesOf(settings), before);
}

TEST(CoreCommandLineBuildForm, EntryPointsUseTheBuildsForm) {
  const std::string text =
      kUnitParameter ? "g:\\ 60 50 10 A y y host 1" : "g:\\ 60 50 10 y y host 1";
  MonitorSettings settings;
  EXPECT_TRUE(ParseCommandLine(text, settings));
  EXPECT_EQ(ValuesOf(settings), ValuesOf(SettingsFromCommandLine(text, kCommandLineForm)));
  EXPECT_EQ(ValuesOf(SettingsFromCommandLine(text)), ValuesOf(settings));
}

TEST(CoreWindowClassName, IsPrefixAndUpperCasedPath) {
  EXPECT_EQ(WindowClassName(SettingsFromCommandLine("h:\\ 300 75 95 % N N 0 0", kWithUnit)),
            "LaSuperAppsDeQZH:\\");
  EXPECT_EQ(WindowClassName(MonitorSettings{}), "LaSuperAppsDeQZH:\\");
  const MonitorSettings longest =
      SettingsFromCommandLine(kPath242 + " 300 75 95 % N N 0 0", kWithUnit);
  EXPECT_EQ(WindowClassName(longest).size(), kWindowClassNameSize - 1);
}

struct IntegerCase {
  const char* text;
  int32_t value;
};

class CoreReadInteger : public testing::TestWithParam<IntegerCase> {};

TEST_P(CoreReadInteger, ReadsSignAndLeadingDigits) {
  EXPECT_EQ(ReadInteger(GetParam().text), GetParam().value) << "[" << GetParam().text << "]";
}

INSTANTIATE_TEST_SUITE_P(
    Vectors, CoreReadInteger,
    testing::Values(IntegerCase{"300", 300}, IntegerCase{"-5", -5}, IntegerCase{"+7", 7},
                    IntegerCase{"007", 7}, IntegerCase{"12abc", 12}, IntegerCase{"abc", 0},
                    IntegerCase{"", 0}, IntegerCase{"-", 0}, IntegerCase{"+-3", 0},
                    IntegerCase{" 4", 0}, IntegerCase{"\t4", 0}, IntegerCase{"2147483647", kMax},
                    IntegerCase{"2147483648", kMax}, IntegerCase{"-2147483648", kMin},
                    IntegerCase{"-2147483649", kMin},
                    IntegerCase{"000000000000000000000000000042", 42},
                    IntegerCase{"99999999999999999999999999999", kMax},
                    IntegerCase{"-99999999999999999999999999999", kMin}));

}  // namespace
