// The level notification in every language block of the program: its title
// and text, put together from the strings as the user's program loads them,
// fit the extended tray record (title 64, text 256 bytes with terminators)
// at every level.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "core/level_notification.h"
#include "core/status_level.h"
#include "core/tooltip_text.h"
#include "dialog_template.h"
#include "expected_texts.h"
#include "resources/resource.h"
#include "ui/status_strings.h"

namespace {

using restest::LanguageTexts;

// String `id` of exactly `language`, as the program gets it: in the ANSI code
// page of the languages' texts, Windows-1252.
std::string AnsiString(UINT id, LANGID language) {
  const std::wstring stored = restest::StoredString(id, language);
  char text[512] = "";
  int bytes = WideCharToMultiByte(1252, 0, stored.data(), static_cast<int>(stored.size()), text,
                                  sizeof text, nullptr, nullptr);
  return std::string(text, bytes > 0 ? bytes : 0);
}

// The widest figures a reading gives: 100 % and the largest free space, 32-bit
// block counts of 4 KB, as megabytes.
constexpr int kWidestPercent = 100;
const char kWidestFree[] = "17179869.18 Mb";
// A watched path that stays whole in every language; a mapped drive root or
// a server share is far shorter.
const std::string kLongPath = "\\\\" + std::string(77, 'S') + "\\";  // 80 characters

class NotificationFit : public testing::TestWithParam<LanguageTexts> {
 protected:
  std::string String(UINT id) { return AnsiString(id, GetParam().language); }
  std::string Figures(const std::string& path) {
    const std::string used = String(IDS_DISK_SPACE_USED), on = String(IDS_ON),
                      free = String(IDS_FREE);
    return FormatTooltipLine({used, on, free}, kWidestPercent, path, kWidestFree);
  }
};

TEST_P(NotificationFit, EveryLevelFitsWholeWithALongPath) {
  const std::string title = String(IDS_PROGRAM_TITLE);
  ASSERT_FALSE(title.empty());
  EXPECT_EQ(80u, kLongPath.size());
  for (StatusLevel level : {LevelUnknown, LevelOk, LevelWarning, LevelDanger}) {
    const std::string sentence = String(StatusStringId(level));
    ASSERT_FALSE(sentence.empty()) << level;
    const NotificationText n = ComposeNotification(level, title, sentence, Figures(kLongPath));
    EXPECT_EQ(n.title, title) << level;
    EXPECT_LE(n.title.size(), kMaxNotificationTitleLength) << level;
    EXPECT_EQ(n.text, sentence + "\n" + Figures(kLongPath)) << level;
    EXPECT_LE(n.text.size(), kMaxNotificationTextLength) << level;
  }
}

// The longest path the command line takes: the figures are cut, never the
// sentence, and the record's limit holds.
TEST_P(NotificationFit, TheLongestPathIsCutAfterTheSentence) {
  const std::string path(255, 'P');
  for (StatusLevel level : {LevelWarning, LevelDanger}) {
    const std::string sentence = String(StatusStringId(level));
    const NotificationText n =
        ComposeNotification(level, String(IDS_PROGRAM_TITLE), sentence, Figures(path));
    EXPECT_EQ(n.text.size(), kMaxNotificationTextLength) << level;
    EXPECT_EQ(n.text.rfind(sentence + "\n", 0), 0u) << level;
  }
}

INSTANTIATE_TEST_SUITE_P(Languages, NotificationFit,
                         testing::ValuesIn(restest::DialogLanguages()),
                         [](const testing::TestParamInfo<LanguageTexts>& info) {
                           return std::string(info.param.tag).erase(2, 1);
                         });

}  // namespace
