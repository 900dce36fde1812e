// The installer's check of the command-line properties, against a Latin-1
// stand-in for the ANSI code page (the custom action asks Windows).
#include "core/property_check.h"

#include <gtest/gtest.h>

#include <map>

#include "case_name.h"

namespace {

std::optional<std::string> Latin1(std::u16string_view character) {
  if (character.size() != 1 || character[0] > 0xFF) return std::nullopt;
  return std::string(1, static_cast<char>(character[0]));
}

struct PropertyCase {
  const char* name;
  std::map<std::string, std::u16string> given;
  std::vector<std::string> refused;  // the start of each line
  CommandLineForm form = CommandLineForm::WithUnit;
};

std::vector<std::string> Check(const PropertyCase& c) {
  std::map<std::string, std::u16string> values = {
      {"WATCHPATH", u"H:\\"}, {"POLLSECONDS", u"300"}, {"WARN", u"75"},  {"DANGER", u"95"},
      {"UNIT", u"%"},         {"SHOWDETAILS", u"N"},   {"AUTOSHOW", u"N"}, {"LOGHOST", u"0"},
      {"LOGPORT", u"0"}};
  for (const auto& [name, value] : c.given) values[name] = value;
  return RefusedProperties([&](std::string_view name) { return values[std::string(name)]; },
                           Latin1, c.form);
}

class CorePropertyCheck : public testing::TestWithParam<PropertyCase> {};

TEST_P(CorePropertyCheck, RefusesExactlyWhatTheProgramWouldMisread) {
  const std::vector<std::string> refused = Check(GetParam());
  ASSERT_EQ(GetParam().refused.size(), refused.size()) << (refused.empty() ? "" : refused[0]);
  for (std::size_t i = 0; i < refused.size(); ++i) {
    EXPECT_EQ(0u, refused[i].rfind(GetParam().refused[i], 0)) << refused[i];
  }
}

const std::u16string k240 = u"H:\\" + std::u16string(237, u'p');

INSTANTIATE_TEST_SUITE_P(
    Values, CorePropertyCheck,
    testing::Values(
        // Characters: the tokenizer's blank, what the runtime or the ANSI
        // conversion would turn into one or drop, and the code page's own.
        PropertyCase{"IdeographicSpace", {{"WATCHPATH", u"H:\\\u3000x"}}, {"WATCHPATH=\"H:\\<U+3000>x\" is refused: U+3000 at character 4 has no exact"}},
        PropertyCase{"EnSpace", {{"WATCHPATH", u"H:\\\u2002x"}}, {"WATCHPATH=\"H:\\<U+2002>x\""}},
        PropertyCase{"LoneTab", {{"LOGHOST", u"\t"}}, {"LOGHOST=\"<U+0009>\" is refused: it holds a blank"}},
        PropertyCase{"Blank", {{"WARN", u"7 5"}}, {"WARN=\"7<U+0020>5\""}},
        PropertyCase{"OutsideTheCodePage", {{"LOGHOST", u"h\u0142.org"}}, {"LOGHOST"}},
        PropertyCase{"LoneSurrogate", {{"WATCHPATH", u"H:\\\xD83D"}}, {"WATCHPATH"}},
        PropertyCase{"CodePageLetters", {{"WATCHPATH", u"h:\\\u00DCberweisung"}}, {}},
        PropertyCase{"Empty", {{"DANGER", u""}}, {"DANGER=\"\" is refused: it must be given"}},
        // Lengths in ANSI bytes.
        PropertyCase{"LongestPath", {{"WATCHPATH", k240}}, {}},
        PropertyCase{"PathTooLong", {{"WATCHPATH", k240 + u"p"}}, {"WATCHPATH"}},
        // What msiexec makes of a property left empty: the next argument, or
        // a backslash; a quotation mark would quote the Run value.
        PropertyCase{"NextPropertysAssignment", {{"WATCHPATH", u"POLLSECONDS=120"}}, {"WATCHPATH=\"POLLSECONDS=120\" is refused: it is another property's assignment"}},
        PropertyCase{"LowerCaseAssignment", {{"LOGHOST", u"logport=48000"}, {"LOGPORT", u"1"}}, {"LOGHOST"}},
        PropertyCase{"LoneBackslash", {{"WATCHPATH", u"\\"}}, {"WATCHPATH=\"\\\" is refused: backslashes alone"}},
        PropertyCase{"Backslashes", {{"WATCHPATH", u"\\\\"}}, {"WATCHPATH"}},
        PropertyCase{"Quote", {{"WATCHPATH", u"\"H:\\\""}, {"DANGER", u"9\"5"}}, {"WATCHPATH=\"\"H:\\\"\" is refused: it holds a quotation mark", "DANGER"}},
        PropertyCase{"EqualsInAPath", {{"WATCHPATH", u"H:\\A=B"}}, {}},
        PropertyCase{"UncPath", {{"WATCHPATH", u"\\\\FS1\\SYS"}}, {}},
        PropertyCase{"HostTooLong", {{"LOGHOST", std::u16string(50, u'h')}, {"LOGPORT", u"1"}}, {"LOGHOST"}},
        // The host: a name, an IPv4 or an IPv6 address, nothing the program
        // cannot send to.
        PropertyCase{"HostIpv6", {{"LOGHOST", u"fd00::10"}, {"LOGPORT", u"48000"}}, {}},
        PropertyCase{"HostIpv6Longest", {{"LOGHOST", u"ffff:ffff:ffff:ffff:ffff:ffff:255.255.255.255"}, {"LOGPORT", u"1"}}, {}},
        PropertyCase{"HostIpv6Zone", {{"LOGHOST", u"fe80::1%12"}, {"LOGPORT", u"1"}}, {}},
        PropertyCase{"HostIpv6Full", {{"LOGHOST", u"2001:DB8:0:0:0:0:0:1"}, {"LOGPORT", u"1"}}, {}},
        PropertyCase{"HostBracketed", {{"LOGHOST", u"[::1]"}, {"LOGPORT", u"1"}}, {"LOGHOST=\"[::1]\" is refused: brackets"}},
        PropertyCase{"HostBracketedWithPort", {{"LOGHOST", u"[fd00::10]:48000"}, {"LOGPORT", u"1"}}, {"LOGHOST=\"[fd00::10]:48000\" is refused: brackets"}},
        PropertyCase{"NameWithPort", {{"LOGHOST", u"loghost:48000"}, {"LOGPORT", u"48000"}}, {"LOGHOST=\"loghost:48000\" is refused: a port"}},
        PropertyCase{"Ipv4WithPort", {{"LOGHOST", u"192.0.2.1:48000"}, {"LOGPORT", u"48000"}}, {"LOGHOST=\"192.0.2.1:48000\" is refused: a port"}},
        PropertyCase{"ColonsButNoAddress", {{"LOGHOST", u"fd00::10::1"}, {"LOGPORT", u"1"}}, {"LOGHOST=\"fd00::10::1\" is refused: it holds a colon"}},
        PropertyCase{"Ipv6GroupTooLong", {{"LOGHOST", u"fd00::12345"}, {"LOGPORT", u"1"}}, {"LOGHOST"}},
        PropertyCase{"Ipv6NineGroups", {{"LOGHOST", u"1:2:3:4:5:6:7:8:9"}, {"LOGPORT", u"1"}}, {"LOGHOST"}},
        PropertyCase{"Ipv6NamedZone", {{"LOGHOST", u"fe80::1%eth0"}, {"LOGPORT", u"1"}}, {"LOGHOST"}},
        PropertyCase{"Ipv6Unspecified", {{"LOGHOST", u"0::0"}, {"LOGPORT", u"1"}}, {"LOGHOST=\"0::0\" is refused: it is the unspecified"}},
        // Switches.
        PropertyCase{"SwitchesEitherCase", {{"SHOWDETAILS", u"y"}, {"AUTOSHOW", u"n"}}, {}},
        PropertyCase{"SwitchWords", {{"SHOWDETAILS", u"Yes"}, {"AUTOSHOW", u"1"}}, {"SHOWDETAILS", "AUTOSHOW"}},
        PropertyCase{"UnitMB", {{"UNIT", u"MB"}}, {"UNIT"}},
        // Numbers: digits only, within range.
        PropertyCase{"LeadingZeros", {{"POLLSECONDS", u"0060"}}, {}},
        PropertyCase{"PollLimits", {{"POLLSECONDS", u"0"}, {"WARN", u"1"}, {"DANGER", u"100"}}, {"POLLSECONDS"}},
        PropertyCase{"PollLongest", {{"POLLSECONDS", u"2147483"}}, {}},
        PropertyCase{"PollBeyondTheTimer", {{"POLLSECONDS", u"2147484"}}, {"POLLSECONDS"}},
        PropertyCase{"Signs", {{"WARN", u"+75"}, {"DANGER", u"-99999999999"}}, {"WARN", "DANGER"}},
        PropertyCase{"PercentRange", {{"WARN", u"0"}, {"DANGER", u"101"}}, {"WARN", "DANGER"}},
        PropertyCase{"MegabytesRange", {{"UNIT", u"a"}, {"WARN", u"4294966"}, {"DANGER", u"0"}}, {}},
        PropertyCase{"MegabytesTooMany", {{"UNIT", u"A"}, {"WARN", u"4294967"}}, {"WARN"}},
        PropertyCase{"TooManyDigits", {{"LOGHOST", u"h"}, {"LOGPORT", u"00000000001"}}, {"LOGPORT"}},
        // Host and port: 1 to 65535, or 0 and 0.
        PropertyCase{"PortBeyond16Bits", {{"LOGHOST", u"h"}, {"LOGPORT", u"70000"}}, {"LOGPORT"}},
        PropertyCase{"PortHighest", {{"LOGHOST", u"h"}, {"LOGPORT", u"65535"}}, {}},
        PropertyCase{"PortWithoutHost", {{"LOGPORT", u"48000"}}, {"LOGPORT=\"48000\" is refused: LOGHOST=0"}},
        PropertyCase{"HostWithoutPort", {{"LOGHOST", u"loghost"}}, {"LOGPORT=\"0\" is refused: a log host"}},
        // The percent-only form reads no UNIT, whatever was given.
        PropertyCase{"PercentOnlyIgnoresUnit", {{"UNIT", u"MB"}, {"WARN", u"100"}}, {}, CommandLineForm::PercentOnly},
        PropertyCase{"PercentOnlyInPercent", {{"UNIT", u"A"}, {"WARN", u"500"}}, {"WARN"}, CommandLineForm::PercentOnly}),
    CaseName());

}  // namespace
