// Filling and reading the fixed-size text buffers of records and client
// answers: what fits, what is refused, what is cut, and buffers of no size.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "core/fixed_text.h"

namespace {

constexpr std::size_t kBufferSize = 6;

struct CopyCase {
  const char* name;
  std::size_t size;  // of the 6-byte buffer, the part offered
  const char* text;
  Overlong overlong;
  bool answer;
  const char* held;  // nullptr: the buffer is untouched
};

class CoreFixedTextCopy : public ::testing::TestWithParam<CopyCase> {};

TEST_P(CoreFixedTextCopy, HoldsTheTextOrLeavesTheBufferAlone) {
  const CopyCase& c = GetParam();
  char buffer[kBufferSize + 1];
  std::memset(buffer, 'x', sizeof buffer);
  EXPECT_EQ(c.answer, CopyToBuffer(buffer, c.size, c.text, c.overlong));
  if (c.held == nullptr) {
    EXPECT_EQ(std::string(sizeof buffer, 'x'), std::string(buffer, sizeof buffer));
  } else {
    EXPECT_STREQ(c.held, buffer);
  }
  EXPECT_EQ('x', buffer[kBufferSize]) << "written past the size offered";
}

INSTANTIATE_TEST_SUITE_P(
    , CoreFixedTextCopy,
    ::testing::Values(
        CopyCase{"Fits", kBufferSize, "FS1", Overlong::Refuse, true, "FS1"},
        CopyCase{"FitsExactly", kBufferSize, "FILES", Overlong::Refuse, true, "FILES"},
        CopyCase{"OneTooLongRefused", kBufferSize, "FILESE", Overlong::Refuse, false, nullptr},
        CopyCase{"LongRefused", kBufferSize, "FILESERVER1", Overlong::Refuse, false, nullptr},
        CopyCase{"LongCut", kBufferSize, "FILESERVER1", Overlong::Cut, true, "FILES"},
        CopyCase{"ShortNotCut", kBufferSize, "FS1", Overlong::Cut, true, "FS1"},
        CopyCase{"Empty", kBufferSize, "", Overlong::Refuse, true, ""},
        CopyCase{"OnlyTheTerminatorFits", 1, "FS1", Overlong::Cut, true, ""},
        CopyCase{"NoSizeRefused", 0, "FS1", Overlong::Refuse, false, nullptr},
        CopyCase{"NoSizeNotCut", 0, "FS1", Overlong::Cut, false, nullptr}),
    [](const ::testing::TestParamInfo<CopyCase>& info) { return info.param.name; });

TEST(CoreFixedText, NullBufferTakesNothing) {
  EXPECT_FALSE(CopyToBuffer(nullptr, 8, "FS1"));
  EXPECT_FALSE(CopyToBuffer(nullptr, 8, "FS1", Overlong::Cut));
}

TEST(CoreFixedText, ArrayTakesItsWholeSize) {
  char name[4];
  EXPECT_TRUE(CopyToBuffer(name, "FS1"));
  EXPECT_STREQ("FS1", name);
  EXPECT_FALSE(CopyToBuffer(name, "FS12"));
  EXPECT_STREQ("FS1", name);
  EXPECT_TRUE(CopyToBuffer(name, "FS12", Overlong::Cut));
  EXPECT_STREQ("FS1", name);
}

TEST(CoreFixedText, TextOfABufferWithoutTerminatorEndsWithTheBuffer) {
  char unterminated[3] = {'A', 'B', 'C'};
  EXPECT_EQ("ABC", BufferText(unterminated));
  char terminated[5] = "AB";
  EXPECT_EQ("AB", BufferText(terminated));
}

}  // namespace
