#include "alerts/log_entry.h"

#include <gtest/gtest.h>

#include <limits>
#include <random>
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

// The queue keeps room for the longest time text; whatever the fields hold,
// formatting never writes more.
TEST(DaemonFormatReceptionTime, LongestFieldsFillTheRoomExactly) {
  std::tm extreme{};
  extreme.tm_year = extreme.tm_mon = extreme.tm_mday = std::numeric_limits<int>::min();
  extreme.tm_hour = extreme.tm_min = extreme.tm_sec = std::numeric_limits<int>::min();
  EXPECT_EQ(kLongestReceptionTimeBytes, formatReceptionTime(extreme).size());
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
                    // C1 controls: 0x9B starts a control sequence on an 8-bit
                    // terminal, 0x85 is a line break to some readers.
                    EscapeCase{"\x9B"
                               "2J",
                               "#233"
                               "2J"},
                    EscapeCase{"a\x85"
                               "b",
                               "a#205b"},
                    EscapeCase{"\x80\x9F", "#200#237"},
                    // A "#" the alert holds reads as an escape only before three
                    // octal digits; elsewhere it stays.
                    EscapeCase{"#012", "#043012"}, EscapeCase{"x#7777", "x#0437777"},
                    EscapeCase{"#01 #8 #", "#01 #8 #"}, EscapeCase{"##012", "##043012"},
                    // Printable ASCII and Latin-1 text pass.
                    EscapeCase{" ~,%", " ~,%"}, EscapeCase{"\xA0\xE9\xC0\xFF", "\xA0\xE9\xC0\xFF"},
                    EscapeCase{"", ""}));

// What a reader of the log does: every "#" and three octal digits is one
// byte, anything else stands for itself.
std::string unescape(const std::string& written) {
  std::string raw;
  for (std::size_t at = 0; at < written.size(); ++at) {
    const auto octal = [&](std::size_t i) { return written[i] >= '0' && written[i] <= '7'; };
    if (written[at] == '#' && at + 3 < written.size() && octal(at + 1) && octal(at + 2) &&
        octal(at + 3)) {
      raw += static_cast<char>(std::stoi(written.substr(at + 1, 3), nullptr, 8));
      at += 3;
    } else {
      raw += written[at];
    }
  }
  return raw;
}

bool isControl(unsigned char byte) { return byte < 0x20 || (byte >= 0x7F && byte <= 0x9F); }

// Random alerts over a small alphabet dense in escape look-alikes: the log
// line has no control byte left and reads back as exactly the alert.
TEST(DaemonEscapeControlBytes, IsUnambiguousAndLeavesNoControlByte) {
  const std::string alphabet = std::string("#0178a\n\x1B\x7F\x85\x9B\xE9\xA0") + '\0';
  std::mt19937 random(20011);  // fixed seed: a failure repeats
  for (int round = 0; round < 20000; ++round) {
    std::string raw(random() % 12, ' ');
    for (char& c : raw) c = alphabet[random() % alphabet.size()];
    const std::string written = escapeControlBytes(raw);
    ASSERT_EQ(raw, unescape(written)) << "written as " << written;
    for (char c : written) ASSERT_FALSE(isControl(static_cast<unsigned char>(c))) << written;
  }
}

TEST(DaemonBuildEntry, JoinsTimeAndEscapedMessageWithAComma) {
  EXPECT_EQ("05-03-2001 14:07:09,Danger,user1,100%,0.00 Mb free,48.83 Mb max",
            buildEntry("05-03-2001 14:07:09", "Danger,user1,100%,0.00 Mb free,48.83 Mb max"));
  EXPECT_EQ("05-03-2001 14:07:09,", buildEntry("05-03-2001 14:07:09", ""));
  EXPECT_EQ("05-03-2001 14:07:09,a#012b", buildEntry("05-03-2001 14:07:09", "a\nb"));
}

}  // namespace
