#include "core/alert.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "case_name.h"
#include "core/details_text.h"
#include "core/fixed_text.h"
#include "core/level_tracker.h"
#include "core/quota_evaluation.h"
#include "core/quota_types.h"
#include "core/tooltip_text.h"

namespace {

const Thresholds kPercent{75, 95, true};

// One poll's evaluation and texts, as the main frame runs them.
struct PolledTexts {
  std::string alert;
  std::string tooltip;
};

PolledTexts Poll(QuotaReading reading) {
  CopyToBuffer(reading.loginName, "user1");
  const QuotaEvaluation evaluation = EvaluateQuota(reading, kPercent);
  const FigureTexts figures = FigureTextsOf(reading);
  AlertState alerts;
  alerts.Open(true);
  const auto alert =
      alerts.TakeDueAlert({evaluation.level, BufferText(reading.loginName), evaluation.percentUsed,
                           figures.freeText, figures.maxText});
  return {alert.value_or(""), FormatTooltip({"Disk space used : ", "on", "free"},
                                            evaluation.percentUsed, "H:\\", figures.freeText)};
}

TEST(CoreAlertText, DirectoryWarningEndToEnd) {
  QuotaReading reading;
  reading.result = DirectoryLimitOnly;
  reading.dirLimitKb = 102400;
  reading.dirFreeKb = 20000;
  const PolledTexts texts = Poll(reading);
  EXPECT_EQ(texts.alert, "Warning,user1,80%,20.00 Mb free,102.40 Mb max");
  EXPECT_EQ(texts.tooltip, "Disk space used :  80% on H:\\ - 20.00 Mb free.");
}

TEST(CoreAlertText, VolumeExceededDanger) {
  QuotaReading reading;
  reading.result = VolumeLimitOnly;
  reading.volLimitKb = 48828;
  reading.volUsedKb = 50000;
  EXPECT_EQ(Poll(reading).alert, "Danger,user1,100%,0.00 Mb free,48.83 Mb max");
}

TEST(CoreAlertText, BothLimitsLeaveFreeAndMaxEmpty) {
  QuotaReading reading;
  reading.result = BothLimits;
  reading.dirLimitKb = 100000;
  reading.dirFreeKb = 60000;
  reading.volLimitKb = 100000;
  reading.volUsedKb = 80000;
  EXPECT_EQ(Poll(reading).alert, "Warning,user1,80%, free, max");
}

TEST(CoreAlertText, OnlyWarningAndDangerHaveAText) {
  for (StatusLevel level : {LevelUnknown, LevelOk, static_cast<StatusLevel>(3)}) {
    EXPECT_EQ(ComposeAlertText({level, "user1", 10, "1.00 Mb", "2.00 Mb"}), "") << level;
  }
}

TEST(CoreAlertText, IsCutTo127BytesWithoutNul) {
  const std::string login(kLoginNameSize - 1, 'u');  // the longest name the reading can hold
  const std::string text =
      ComposeAlertText({LevelDanger, login, 100, "17179869.18 Mb", "17179869.18 Mb"});
  ASSERT_EQ(text.size(), kMaxAlertLength);
  EXPECT_EQ(text, ("Danger," + login).substr(0, 127));
  EXPECT_EQ(text.find('\0'), std::string::npos);

  const std::string fits(127 - 40, 'u');  // 40 bytes besides the name
  const std::string whole = ComposeAlertText({LevelWarning, fits, 80, "20.00 Mb", "102.40 Mb"});
  EXPECT_EQ(whole, "Warning," + fits + ",80%,20.00 Mb free,102.40 Mb max");
  EXPECT_EQ(whole.size(), 127u);
}

// Feeds one level per poll through the evaluation's level step and the
// alert's send step, and collects the level words of the alerts sent.
std::vector<std::string> AlertsSent(const std::vector<StatusLevel>& levels, bool connected) {
  LevelTracker tracker;
  AlertState alerts;
  alerts.Open(connected);
  std::vector<std::string> sent;
  for (StatusLevel level : levels) {
    if (tracker.Enter(level).rearmAlert) alerts.Rearm();
    if (const auto text = alerts.TakeDueAlert({level, "user1", 90, "1.00 Mb", "9.00 Mb"})) {
      sent.push_back(text->substr(0, text->find(',')));
    }
  }
  return sent;
}

struct SequenceCase {
  const char* name;
  std::vector<StatusLevel> levels;
  bool connected;
  std::vector<std::string> sent;
};

class CoreAlertSequence : public testing::TestWithParam<SequenceCase> {};

TEST_P(CoreAlertSequence, SendsExactlyTheDueAlerts) {
  EXPECT_EQ(AlertsSent(GetParam().levels, GetParam().connected), GetParam().sent);
}

constexpr StatusLevel U = LevelUnknown, O = LevelOk, W = LevelWarning, D = LevelDanger;

INSTANTIATE_TEST_SUITE_P(
    Runs, CoreAlertSequence,
    testing::ValuesIn(std::vector<SequenceCase>{
        {"WarningDangerAndAgain", {O, W, D, W, D}, true, {"Warning", "Danger", "Danger"}},
        {"UnknownBetweenDoesNotRearm", {W, U, D}, true, {"Warning"}},
        {"DangerOkDangerOnce", {D, O, D}, true, {"Danger"}},
        {"WarningOkWarningOnce", {W, O, W}, true, {"Warning"}},
        {"DangerThenWarningDanger", {O, D, W, D}, true, {"Danger", "Danger"}},
        {"FirstPollWarningSendsAtOnce", {W}, true, {"Warning"}},
        {"FirstPollDangerSendsAtOnce", {D}, true, {"Danger"}},
        {"OkAndUnknownSendNothing", {O, U, O, U}, true, {}},
        {"NotConnectedSendsNothing", {O, W, D, W, D}, false, {}}}),
    CaseName());

TEST(CoreAlertState, TakingAnAlertCountsItAsSentUntilRearmed) {
  AlertState alerts;
  // Nothing is due before the socket is opened.
  EXPECT_FALSE(alerts.TakeDueAlert({LevelWarning, "user1", 80, "", ""}).has_value());
  alerts.Open(true);
  EXPECT_FALSE(alerts.TakeDueAlert({LevelOk, "user1", 0, "", ""}).has_value());
  EXPECT_TRUE(alerts.TakeDueAlert({LevelWarning, "user1", 80, "", ""}).has_value());
  EXPECT_FALSE(alerts.TakeDueAlert({LevelWarning, "user1", 80, "", ""}).has_value());
  alerts.Rearm();
  EXPECT_TRUE(alerts.TakeDueAlert({LevelDanger, "user1", 98, "", ""}).has_value());
  alerts.Open(true);  // opening arms again
  EXPECT_TRUE(alerts.TakeDueAlert({LevelWarning, "user1", 80, "", ""}).has_value());
}

}  // namespace
