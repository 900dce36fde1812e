// How the bytes of a description become lines: the three line ends, a UTF-8
// byte-order mark, UTF-16 text, and texts that hold no section at all.
#include <gtest/gtest.h>

#include "simulated/description_parser.h"
#include "simulated/description_text.h"

namespace {

const char* kNetwork =
    "# FS1 with one volume\n"
    "[server FS1]\n"
    "connection number = 12\n"
    "login name = user1\n"
    "user id = 7\n"
    "[volume FS1 SYS]\n"
    "number = 3\n"
    "[directory]\n"
    "authenticated = yes\n"
    "object = CN=user1\n";

std::string WithLineEnds(const std::string& text, const std::string& end) {
  std::string result;
  for (char c : text) {
    if (c == '\n') {
      result += end;
    } else {
      result += c;
    }
  }
  return result;
}

void ExpectTheNetwork(const std::string& text) {
  NetworkDescription network;
  DescriptionError error;
  ASSERT_TRUE(ParseNetworkDescription(text, &network, &error))
      << error.line << ": " << error.reason;
  ASSERT_EQ(network.servers.size(), 1u);
  EXPECT_EQ(network.servers[0].name, "FS1");
  EXPECT_EQ(network.servers[0].loginName, "user1");  // no CR left at the end
  EXPECT_EQ(network.servers[0].userObjectId, 7u);
  ASSERT_EQ(network.volumes.size(), 1u);
  EXPECT_EQ(network.volumes[0].number, 3);
  EXPECT_TRUE(network.directory.authenticated);
  EXPECT_EQ(network.directory.objectName, "CN=user1");
}

TEST(NetWareDescriptionLineEndTest, LfCrLfAndLoneCrEachEndALine) {
  ExpectTheNetwork(kNetwork);
  ExpectTheNetwork(WithLineEnds(kNetwork, "\r\n"));
  // A CR-only file once read as one long comment line: an empty network.
  ExpectTheNetwork(WithLineEnds(kNetwork, "\r"));
}

TEST(NetWareDescriptionLineEndTest, MixedLineEndsCountLinesAsAnEditorDoes) {
  // Lines 1-3 end in CR, CR LF and LF; a CR LF is one line end, not two.
  std::string text = "[server FS1]\rconnection number = 1\r\nlogin name = u\ncolour = red\r\n";
  NetworkDescription network;
  DescriptionError error;
  ASSERT_FALSE(ParseNetworkDescription(text, &network, &error));
  EXPECT_EQ(error.line, 4);
  EXPECT_EQ(error.reason, "unknown key 'colour' in [server FS1]");
}

TEST(NetWareDescriptionLineEndTest, LastLineNeedsNoLineEnd) {
  std::string text = kNetwork;
  text.pop_back();
  ExpectTheNetwork(text);
  ExpectTheNetwork(WithLineEnds(text, "\r"));
}

TEST(NetWareDescriptionLineEndTest, Utf8ByteOrderMarkIsSkipped) {
  ExpectTheNetwork(std::string("\xEF\xBB\xBF") + kNetwork);
  ExpectTheNetwork(std::string("\xEF\xBB\xBF") + WithLineEnds(kNetwork, "\r\n"));
}

TEST(NetWareDescriptionLineEndTest, ByteOrderMarkOnlyAtTheStart) {
  std::string text = std::string(kNetwork) + "\xEF\xBB\xBF[server FS2]\n";
  NetworkDescription network;
  DescriptionError error;
  ASSERT_FALSE(ParseNetworkDescription(text, &network, &error));
  EXPECT_EQ(error.line, 11);
  EXPECT_EQ(error.reason, "expected 'key = value' or a [section]");
}

std::string Utf16(const std::string& text, bool bigEndian) {
  std::string result;
  for (char c : text) {
    if (bigEndian) result += '\0';
    result += c;
    if (!bigEndian) result += '\0';
  }
  return result;
}

struct Utf16Case {
  const char* name;
  std::string text;
  std::string reason;
};

void PrintTo(const Utf16Case& c, std::ostream* os) { *os << c.name; }

class NetWareDescriptionUtf16Test : public testing::TestWithParam<Utf16Case> {};

TEST_P(NetWareDescriptionUtf16Test, IsRefusedSayingSo) {
  NetworkDescription network;
  DescriptionError error;
  ASSERT_FALSE(ParseNetworkDescription(GetParam().text, &network, &error));
  EXPECT_EQ(error.line, 0);
  EXPECT_EQ(error.reason, GetParam().reason);
}

const std::string kMarkReason =
    "the file is UTF-16 text (it starts with a UTF-16 byte-order mark); save it as UTF-8 or "
    "plain 8-bit text";
const std::string kNoMarkReason =
    "the file looks like UTF-16 text (every other byte is NUL); save it as UTF-8 or plain 8-bit "
    "text";

INSTANTIATE_TEST_SUITE_P(
    Encodings, NetWareDescriptionUtf16Test,
    testing::Values(Utf16Case{"LittleEndianWithMark", "\xFF\xFE" + Utf16(kNetwork, false),
                              kMarkReason},
                    Utf16Case{"BigEndianWithMark", "\xFE\xFF" + Utf16(kNetwork, true), kMarkReason},
                    Utf16Case{"LittleEndianWithoutMark", Utf16(kNetwork, false), kNoMarkReason},
                    Utf16Case{"BigEndianWithoutMark", Utf16(kNetwork, true), kNoMarkReason}),
    [](const testing::TestParamInfo<Utf16Case>& info) { return info.param.name; });

TEST(NetWareDescriptionEmptyTest, TextsWithoutASectionAreRefused) {
  // An empty file once read as a network without drives.
  for (const char* text : {"", "\n\n", "\r\n", "# only a comment\n", "\xEF\xBB\xBF", "   \t\n"}) {
    NetworkDescription network;
    DescriptionError error;
    ASSERT_FALSE(ParseNetworkDescription(text, &network, &error)) << '"' << text << '"';
    EXPECT_EQ(error.line, 0);
    EXPECT_EQ(error.reason, "the description is empty: it holds no [section]");
  }
}

TEST(NetWareDescriptionTextTest, PrintableEscapesControlBytesAndKeepsTheRest) {
  EXPECT_EQ(Printable(std::string("a\0b", 3)), "a\\x00b");  // not cut at the NUL
  EXPECT_EQ(Printable("\x1B[2J\r\n\x7F"), "\\x1B[2J\\x0D\\x0A\\x7F");
  EXPECT_EQ(Printable("tab\tand \xC3\xA9"), "tab\tand \xC3\xA9");  // a tab and UTF-8 stay
  EXPECT_EQ(Quoted(std::string(1, '\0')), "'\\x00'");
}

}  // namespace
