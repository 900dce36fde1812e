#include "log_entry.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::tm dateTime(int year, int month, int day, int hour, int minute, int second) {
  std::tm time{};
  time.tm_year = year - 1900;
  time.tm_mon = month - 1;
  time.tm_mday = day;
  time.tm_hour = hour;
  time.tm_min = minute;
  time.tm_sec = second;
  return time;
}

TEST(DaemonFormatReceptionTime, PadsEveryFieldToItsWidth) {
  EXPECT_EQ("05-03-2001 14:07:09", formatReceptionTime(dateTime(2001, 3, 5, 14, 7, 9)));
  EXPECT_EQ("31-12-1999 23:59:59", formatReceptionTime(dateTime(1999, 12, 31, 23, 59, 59)));
  EXPECT_EQ("01-01-2000 00:00:00", formatReceptionTime(dateTime(2000, 1, 1, 0, 0, 0)));
}

struct EscapeCase {
  std::string raw;
  std::string written;
};

class DaemonEscapeControlBytesTest : public testing::TestWithParam<EscapeCase> {};

TEST_P(DaemonEscapeControlBytesTest, WritesControlBytesAsOctalCodes) {
  EXPECT_EQ(GetParam().written, escapeControlBytes(GetParam().raw));
}

INSTANTIATE_TEST_SUITE_P(
    Bytes, DaemonEscapeControlBytesTest,
    testing::Values(EscapeCase{"Danger,user1\nforged", "Danger,user1#012forged"},
                    EscapeCase{"\r\n", "#015#012"},
                    EscapeCase{"\x1B[2J\x1B[31m", "#033[2J#033[31m"},
                    EscapeCase{std::string("a\0b", 3), "a#000b"},
                    EscapeCase{"\x1F\x7F\x01", "#037#177#001"},
                    // Printable ASCII, the escape sign itself and 8-bit text pass.
                    EscapeCase{" ~#012,%", " ~#012,%"},
                    EscapeCase{"\x80\xA0\xE9\xFF", "\x80\xA0\xE9\xFF"}, EscapeCase{"", ""}));

TEST(DaemonBuildEntry, JoinsTimeAndEscapedMessageWithAComma) {
  EXPECT_EQ("05-03-2001 14:07:09,Danger,user1,100%,0.00 Mb free,48.83 Mb max",
            buildEntry("05-03-2001 14:07:09", "Danger,user1,100%,0.00 Mb free,48.83 Mb max"));
  EXPECT_EQ("05-03-2001 14:07:09,", buildEntry("05-03-2001 14:07:09", ""));
  EXPECT_EQ("05-03-2001 14:07:09,a#012b", buildEntry("05-03-2001 14:07:09", "a\nb"));
}

}  // namespace
