#include "alerts/alert_filter.h"

#include <gtest/gtest.h>

#include <string>

#include "alerts/text_case.h"

namespace {

const char kWarning[] = "Warning,user1,80%,12.34 Mb free,61.73 Mb max";
const char kDanger[] = "Danger,user1,100%,0.00 Mb free,48.83 Mb max";
const char kStudentDanger[] = "Danger,jdoe.Students.Orbal,97%,1.50 Mb free,50.00 Mb max";

struct FilterCase {
  const char* name;
  bool showOnlyAlert;
  std::string filter;
  bool filtrePositif;
  std::string message;
  bool keep;
  std::string consoleLine;
};

void PrintTo(const FilterCase& c, std::ostream* out) { *out << c.name; }

class DaemonAlertFilterTest : public testing::TestWithParam<FilterCase> {};

// The loop hands the filter the upper-cased raw text; so does the test.
TEST_P(DaemonAlertFilterTest, KeepsOrDropsAndSaysWhy) {
  const FilterCase& c = GetParam();
  const FilterDecision decision =
      AlertFilter(c.showOnlyAlert, c.filter, c.filtrePositif).decide(toUpperLatin1(c.message));
  EXPECT_EQ(c.keep, decision.keep);
  EXPECT_EQ(c.consoleLine, decision.consoleLine);
}

INSTANTIATE_TEST_SUITE_P(
    Decisions, DaemonAlertFilterTest,
    testing::Values(FilterCase{"WarningDroppedSilently", true, "", true, kWarning, false, ""},
                    FilterCase{"DangerKept", true, "", true, kDanger, true, ""},
                    FilterCase{"DangerWordInsideName", true, "", true,
                               "Warning,Dangerfield,80%, free, max", true, ""},
                    FilterCase{"WarningKeptWithoutSwitch", false, "", true, kWarning, true, ""},
                    FilterCase{"EmptyKeptWithoutSwitch", false, "", true, "", true, ""},
                    FilterCase{"EmptyDroppedBySwitch", true, "", true, "", false, ""},
                    // The level test comes first and prints nothing, even with a filter.
                    FilterCase{"SwitchBeforeFilter", true, "USER1", true, kWarning, false, ""},
                    FilterCase{"PositiveMatch", true, "STUDENTS", true, kStudentDanger, true,
                               "Filtre posisif :  Accepting "},
                    FilterCase{"PositiveMiss", true, "STUDENTS", true, kDanger, false,
                               "Filtre posisif :  ignoring !"},
                    FilterCase{"NegativeMatch", true, "STUDENTS", false, kStudentDanger, false,
                               "Filte negatif :  ignoring !"},
                    FilterCase{"NegativeMiss", true, "STUDENTS", false, kDanger, true,
                               "Filte negatif :  Accepting "},
                    FilterCase{"MatchesLevelWord", false, "WARN", true, kWarning, true,
                               "Filtre posisif :  Accepting "},
                    FilterCase{"MatchesFigures", false, "48.83", false, kDanger, false,
                               "Filte negatif :  ignoring !"},
                    FilterCase{"FilterCaseIgnored", true, "students", true, kStudentDanger, true,
                               "Filtre posisif :  Accepting "},
                    FilterCase{"Latin1Letters", true, "\xC9L\xC8VE", true,
                               "Danger,\xE9l\xE8ve1,99%, free, max", true,
                               "Filtre posisif :  Accepting "}),
    [](const testing::TestParamInfo<FilterCase>& info) { return info.param.name; });

TEST(DaemonToUpperLatin1, MapsAsciiAndLatin1SmallLettersOnly) {
  EXPECT_EQ("DANGER,USER1,100%", toUpperLatin1("danger,User1,100%"));
  // 0xF7 is the division sign and 0xFF has no capital in Latin-1; 0xDF (sharp
  // s) is already the capital row.
  EXPECT_EQ("\xC0\xDE\xF7\xFF\xDF\xD7", toUpperLatin1("\xE0\xFE\xF7\xFF\xDF\xD7"));
  EXPECT_EQ(std::string("\0\x7F\x80 {}", 6), toUpperLatin1(std::string("\0\x7F\x80 {}", 6)));
}

}  // namespace
