#include "core/level_notification.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "case_name.h"
#include "core/tooltip_text.h"

namespace {

constexpr StatusLevel U = LevelUnknown, O = LevelOk, W = LevelWarning, D = LevelDanger;

// Feeds one level per poll through the level step, as the main frame does,
// and answers the polls that show a notification.
std::vector<int> NotifyingPolls(const std::vector<StatusLevel>& levels, bool autoShow) {
  LevelTracker tracker;
  std::vector<int> polls;
  for (std::size_t poll = 0; poll < levels.size(); ++poll) {
    if (NotificationDue(tracker.Enter(levels[poll], autoShow))) polls.push_back(int(poll));
  }
  return polls;
}

struct RiseCase {
  const char* name;
  std::vector<StatusLevel> levels;
  bool autoShow;
  std::vector<int> polls;
};

class CoreLevelNotification : public testing::TestWithParam<RiseCase> {};

TEST_P(CoreLevelNotification, ComesAtEachRiseOnly) {
  EXPECT_EQ(NotifyingPolls(GetParam().levels, GetParam().autoShow), GetParam().polls);
}

INSTANTIATE_TEST_SUITE_P(
    Runs, CoreLevelNotification,
    testing::ValuesIn(std::vector<RiseCase>{
        {"FirstPollWarning", {W}, false, {0}},
        {"FirstPollDanger", {D}, false, {0}},
        {"FirstPollOkOrUnknownIsQuiet", {O, U, O}, false, {}},
        {"OkWarningDanger", {O, W, D}, false, {1, 2}},
        {"StayingIsQuiet", {W, W, W, D, D, D}, false, {0, 3}},
        {"FallingIsQuiet", {D, W, O, U}, false, {0}},
        {"AgainAtTheNextRise", {O, W, O, W, D, W, D}, false, {1, 3, 4, 6}},
        {"UnknownToWarningRises", {W, U, W}, false, {0, 2}},
        {"DangerStraightFromOk", {O, D, O, D}, false, {1, 3}},
        {"AutoShowTakesTheDangerRise", {O, W, D, W, D}, true, {1}},
        {"AutoShowFirstPollDanger", {D, D}, true, {}},
        {"AutoShowLeavesWarning", {U, W, O, W}, true, {1, 3}},
        {"WithoutAutoShowDangerNotifies", {O, W, D, W, D}, false, {1, 2, 4}}}),
    CaseName());

TEST(CoreLevelNotificationRule, EveryPairOfLevels) {
  const StatusLevel levels[] = {U, O, W, D};
  // Rows: the level before; columns: the level now.
  const bool rises[4][4] = {{false, false, true, true},
                            {false, false, true, true},
                            {false, false, false, true},
                            {false, false, false, false}};
  for (int before = 0; before < 4; ++before) {
    for (int now = 0; now < 4; ++now) {
      EXPECT_EQ(RaisesNotification(levels[before], levels[now]), rises[before][now])
          << levels[before] << " to " << levels[now];
      LevelChange shown{levels[before], levels[now], true, false};
      EXPECT_FALSE(NotificationDue(shown)) << levels[before] << " to " << levels[now];
    }
  }
  EXPECT_FALSE(RaisesNotification(O, static_cast<StatusLevel>(3)));
}

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
