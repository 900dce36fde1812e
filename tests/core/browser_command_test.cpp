// The browser command line of the link's fallback, rule by rule.
#include "core/browser_command.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr const char* kAddress = "http://help.example/quota.html";

bool NoLeadBytes(unsigned char) { return false; }
// 0x81 to 0x9F start a two-byte character, as in the Japanese code page.
bool JapaneseLeadBytes(unsigned char byte) { return byte >= 0x81 && byte <= 0x9F; }

struct CommandCase {
  const char* name;
  const char* registered;
  IsLeadBytePredicate isLeadByte;
  const char* expected;  // before the blank and the address
};

class CoreBrowserCommand : public ::testing::TestWithParam<CommandCase> {};

TEST_P(CoreBrowserCommand, CutAtThePlaceholderAndAppendTheAddress) {
  const CommandCase& c = GetParam();
  std::optional<std::string> command = BuildBrowserCommand(c.registered, kAddress, c.isLeadByte);
  ASSERT_TRUE(command.has_value());
  EXPECT_EQ(std::string(c.expected) + " " + kAddress, *command);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, CoreBrowserCommand,
    ::testing::Values(
        CommandCase{"NoPlaceholderKeepsEverything", "C:\\web\\browse.exe -nohome", NoLeadBytes,
                    "C:\\web\\browse.exe -nohome"},
        CommandCase{"EmptyCommand", "", NoLeadBytes, ""},
        CommandCase{"PlainPlaceholder", "C:\\web\\browse.exe %1 -new", NoLeadBytes,
                    "C:\\web\\browse.exe "},
        CommandCase{"QuotedPlaceholderCutsAtItsQuote", "\"C:\\web\\browse.exe\" \"%1\" -new",
                    NoLeadBytes, "\"C:\\web\\browse.exe\" "},
        CommandCase{"QuotedAfterAPlainOneWins", "browse.exe %1 \"%1\"", NoLeadBytes,
                    "browse.exe %1 "},
        CommandCase{"PlainAfterAQuotedOne", "\"%1\" %1", NoLeadBytes, ""},
        CommandCase{"QuoteOnlyAfterIsPlain", "browse.exe -url=%1\"", NoLeadBytes,
                    "browse.exe -url="},
        CommandCase{"QuoteOnlyBeforeIsPlain", "browse.exe \"%1", NoLeadBytes, "browse.exe \""},
        // The quotation mark after 0x81 is the second byte of a character:
        // the quoted search passes it, the plain search finds the %1.
        CommandCase{"LeadByteBeforeTheQuote", "browse.exe \x81\"%1\"", JapaneseLeadBytes,
                    "browse.exe \x81\""},
        CommandCase{"SameBytesWithoutLeadBytes", "browse.exe \x81\"%1\"", NoLeadBytes,
                    "browse.exe \x81"},
        CommandCase{"LeadBytePairBeforeAQuotedPlaceholder", "\x82\x81\"%1\"", JapaneseLeadBytes,
                    "\x82\x81"},
        CommandCase{"LeadByteAtTheEnd", "browse.exe \x81", JapaneseLeadBytes, "browse.exe \x81"}),
    [](const ::testing::TestParamInfo<CommandCase>& info) { return info.param.name; });

// The command, the blank, the address and a terminator must fit the buffer.
TEST(CoreBrowserCommandLimit, TheLongestAddressThatFitsAndOneMore) {
  const std::string registered = "\"C:\\web\\browse.exe\" \"%1\"";
  const std::size_t kept = registered.find("\"%1\"");
  const std::size_t longest = kBrowserCommandCapacity - kept - 2;

  std::optional<std::string> fits =
      BuildBrowserCommand(registered, std::string(longest, 'a'), NoLeadBytes);
  ASSERT_TRUE(fits.has_value());
  EXPECT_EQ(kBrowserCommandCapacity - 1, fits->size());

  EXPECT_FALSE(
      BuildBrowserCommand(registered, std::string(longest + 1, 'a'), NoLeadBytes).has_value());
}

TEST(CoreBrowserCommandLimit, OnlyTheKeptPartOfTheCommandCounts) {
  // Everything after the placeholder is dropped before the length is judged.
  std::string registered = "b.exe %1" + std::string(600, 'x');
  std::optional<std::string> command = BuildBrowserCommand(registered, "http://a", NoLeadBytes);
  ASSERT_TRUE(command.has_value());
  EXPECT_EQ("b.exe  http://a", *command);
  EXPECT_FALSE(BuildBrowserCommand("b.exe", std::string(600, 'a'), NoLeadBytes).has_value());
}

}  // namespace
