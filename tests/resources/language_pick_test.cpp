// The choice of a resource's language for a user, as vectors.
#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "framework/resource_language.h"

namespace {

constexpr LANGID kEnUs = 0x0409, kEnGb = 0x0809, kDeDe = 0x0407, kDeAt = 0x0C07,
                 kDeNeutral = 0x0007, kFrFr = 0x040C, kFrBe = 0x080C, kFrCa = 0x0C0C,
                 kFrCh = 0x100C, kNlNl = 0x0413, kNlBe = 0x0813, kJaJp = 0x0411, kCsCz = 0x0405,
                 kNeutral = 0x0000;

struct PickCase {
  const char* rule;
  LANGID user;
  std::vector<LANGID> available;
  LANGID expected;
};

void PrintTo(const PickCase& c, std::ostream* out) { *out << c.rule; }

class PickResourceLanguageTest : public testing::TestWithParam<PickCase> {};

TEST_P(PickResourceLanguageTest, ChoosesByTheRules) {
  const PickCase& c = GetParam();
  EXPECT_EQ(c.expected, fw::PickResourceLanguage(c.user, c.available.data(), c.available.size()))
      << c.rule;
}

const PickCase kCases[] = {
    // An exact match wins wherever it is listed.
    {"exact German", kDeDe, {kEnUs, kDeDe, kFrFr, kNlNl}, kDeDe},
    {"exact Dutch listed last", kNlNl, {kDeDe, kEnUs, kFrFr, kNlNl}, kNlNl},
    {"exact regional beats its language", kFrCh, {kFrFr, kFrCh}, kFrCh},
    {"exact Czech menu", kCsCz, {kCsCz, kDeDe, kEnUs, kFrFr, kNlNl}, kCsCz},
    // Then the same primary language.
    {"Austrian German gets German", kDeAt, {kDeDe, kEnUs, kFrFr, kNlNl}, kDeDe},
    {"Swiss French gets French", kFrCh, {kDeDe, kEnUs, kFrFr, kNlNl}, kFrFr},
    {"Belgian Dutch gets Dutch", kNlBe, {kDeDe, kEnUs, kFrFr, kNlNl}, kNlNl},
    {"British English gets American", kEnGb, {kDeDe, kEnUs, kFrFr}, kEnUs},
    {"neutral sub-language first", kDeAt, {kDeDe, kDeNeutral, kEnUs}, kDeNeutral},
    {"default sub-language next", kFrCh, {kFrBe, kFrFr, kEnUs}, kFrFr},
    {"else the first of the language", kFrCh, {kEnUs, kFrCa, kFrBe}, kFrCa},
    // English (United States) for everybody else.
    {"Japanese gets English", kJaJp, {kDeDe, kEnUs, kFrFr, kNlNl}, kEnUs},
    {"Czech without Czech gets English", kCsCz, {kDeDe, kEnUs, kFrFr, kNlNl}, kEnUs},
    {"English only", kDeDe, {kEnUs}, kEnUs},
    // Without English: the neutral variant, else the first one.
    {"neutral icon for anybody", kJaJp, {kNeutral}, kNeutral},
    {"neutral before a foreign language", kJaJp, {kFrFr, kNeutral}, kNeutral},
    {"single French cursor for Germans", kDeDe, {kFrFr}, kFrFr},
    {"first listed as last resort", kJaJp, {kNlNl, kFrFr}, kNlNl},
    // A neutral user language matches only exactly, not every neutral block.
    {"neutral user, no neutral block", kNeutral, {kFrFr, kEnUs}, kEnUs},
    {"neutral user, neutral block", kNeutral, {kFrFr, kNeutral}, kNeutral},
};

INSTANTIATE_TEST_SUITE_P(Rules, PickResourceLanguageTest, testing::ValuesIn(kCases));

TEST(PickResourceLanguage, NothingToPickFromAnswersZero) {
  EXPECT_EQ(0, fw::PickResourceLanguage(kDeDe, nullptr, 0));
  LANGID one = kDeDe;
  EXPECT_EQ(0, fw::PickResourceLanguage(kDeDe, &one, 0));
}

TEST(ResourceLanguage, MissingResourceAnswersZero) {
  EXPECT_EQ(0, fw::ResourceLanguage(GetModuleHandleA(nullptr), RT_MENU, MAKEINTRESOURCEA(4321)));
  EXPECT_EQ(nullptr, fw::LoadResMenu(4321));
  EXPECT_EQ(nullptr, fw::FindDialogTemplate(4321));
  EXPECT_EQ("", fw::LoadResString(4321));
}

}  // namespace
