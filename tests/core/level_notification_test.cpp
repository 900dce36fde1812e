#include "core/level_notification.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "case_name.h"
#include "core/tooltip_text.h"

namespace {

constexpr StatusLevel W = LevelWarning, D = LevelDanger;

const TooltipWords kEnglish{"Disk space used : ", "on", "free"};

TEST(CoreLevelNotificationText, SentenceThenTheWholeFigures) {
  const std::string figures = FormatTooltipLine(kEnglish, 80, "H:\\", "20.00 Mb");
  const NotificationText warning = ComposeNotification(
      W, "Brimlet", "Free space is low : you should keep an eye on it.", figures);
  EXPECT_EQ(warning.title, "Brimlet");
  EXPECT_EQ(warning.text,
            "Free space is low : you should keep an eye on it.\n"
            "Disk space used :  80% on H:\\ - 20.00 Mb free.");
  EXPECT_EQ(warning.icon, NotificationIcon::Warning);
  EXPECT_EQ(ComposeNotification(D, "Brimlet", "s", figures).icon, NotificationIcon::Error);
}

TEST(CoreLevelNotificationText, ALongPathStaysWholeWhereTheTooltipCutsIt) {
  const std::string path = "\\\\FILESERVER01\\HOME$\\JDOE\\";
  EXPECT_EQ(FormatTooltip(kEnglish, 80, path, "20.00 Mb").find("free."), std::string::npos);
  EXPECT_EQ(FormatTooltip(kEnglish, 80, path, "20.00 Mb").size(), kMaxTooltipLength);
  const std::string line = FormatTooltipLine(kEnglish, 80, path, "20.00 Mb");
  EXPECT_EQ(line, "Disk space used :  80% on " + path + " - 20.00 Mb free.");
  EXPECT_EQ(ComposeNotification(W, "Brimlet", "Low.", line).text, "Low.\n" + line);
}

struct CutCase {
  const char* name;
  std::size_t titleLength, sentenceLength, figuresLength;
  std::string title, text;  // empty: the inputs whole (text: sentence, line break, figures)
};

class CoreLevelNotificationCut : public testing::TestWithParam<CutCase> {};

// Whatever the inputs, title and text fit the record with their terminators,
// and the sentence goes before the figures.
TEST_P(CoreLevelNotificationCut, FitsTheRecord) {
  const CutCase& c = GetParam();
  const std::string title(c.titleLength, 'T'), sentence(c.sentenceLength, 's'),
      figures(c.figuresLength, 'f');
  const NotificationText n = ComposeNotification(W, title, sentence, figures);
  EXPECT_LE(n.title.size(), kMaxNotificationTitleLength);
  EXPECT_LE(n.text.size(), kMaxNotificationTextLength);
  EXPECT_EQ(n.title, c.title.empty() ? title : c.title);
  EXPECT_EQ(n.text, c.text.empty() ? sentence + "\n" + figures : c.text);
}

INSTANTIATE_TEST_SUITE_P(
    Lengths, CoreLevelNotificationCut,
    testing::ValuesIn(std::vector<CutCase>{
        {"ExactlyFull", 63, 100, 154, "", ""},
        {"TitleOneOver", 64, 10, 10, std::string(63, 'T'), ""},
        {"FiguresCut", 7, 100, 300, "", std::string(100, 's') + "\n" + std::string(154, 'f')},
        {"SentenceFillsTheText", 7, 254, 50, "", std::string(254, 's')},
        {"SentenceTooLong", 7, 400, 50, "", std::string(255, 's')},
        {"NoFiguresNoLineBreak", 7, 20, 0, "", std::string(20, 's')}}),
    CaseName());

}  // namespace
