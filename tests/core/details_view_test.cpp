#include "core/details_view.h"

#include <gtest/gtest.h>

#include <string>

#include "core/fixed_text.h"

namespace {

const ViewWords kEnglish{"Disk space used : ", "on", "free", "Brimlet",
                         {"Unknown.", "Ok.", "Warning.", "Danger."}};

QuotaReading DirectoryWarning() {
  QuotaReading reading;
  reading.result = DirectoryLimitOnly;
  CopyToBuffer(reading.loginName, "user1");
  CopyToBuffer(reading.serverName, "FS1");
  CopyToBuffer(reading.serverPath, "FS1/HOME:USERS/USER1");
  reading.dirUsedKb = 82400;
  reading.dirLimitKb = 102400;
  reading.dirFreeKb = 20000;
  reading.volUsedKb = 82400;
  return reading;
}

DetailsView ViewOf(const QuotaReading& reading, const AccountBalance* balance) {
  const MonitorSettings settings;
  return DetailsViewOf(settings, reading, EvaluateQuota(reading, ThresholdsOf(settings)), balance,
                       kEnglish);
}

// The window, the tooltip and the alert of one poll read the same figures.
TEST(CoreDetailsView, OneReadingGivesEveryTextOnce) {
  AccountBalance balance;
  balance.unlimitedCredit = 0;
  balance.balance = 1234;
  balance.lowLimit = -500;
  const DetailsView view = ViewOf(DirectoryWarning(), &balance);
  EXPECT_EQ(LevelWarning, view.level);
  EXPECT_EQ(80, view.percentUsed);
  EXPECT_EQ("80%", view.percentText);
  EXPECT_EQ("Warning.", view.statusText);
  EXPECT_EQ("H:\\/300s/75%/95%", view.parameterLine);
  EXPECT_EQ("H:\\", view.watchedPath);
  EXPECT_EQ("user1", view.loginName);
  EXPECT_EQ("FS1", view.serverName);
  EXPECT_EQ("FS1/HOME:USERS/USER1", view.serverPath);
  EXPECT_EQ("20.00 Mb", view.figures.dirFree);
  EXPECT_EQ(BalanceTextsOf(balance).balanceText, view.balance.balanceText);
  EXPECT_EQ(BalanceColour::Default, view.balance.balanceColour);
  EXPECT_EQ("Disk space used :  80% on H:\\ - 20.00 Mb free.", view.tooltipText);
  EXPECT_EQ("Brimlet", view.notification.title);
  EXPECT_EQ("Warning.\nDisk space used :  80% on H:\\ - 20.00 Mb free.", view.notification.text);

  AlertState alert;
  alert.Open(true);
  EXPECT_EQ("Warning,user1,80%,20.00 Mb free,102.40 Mb max",
            alert.TakeDueAlert(AlertFieldsOf(view)).value_or(""));
}

TEST(CoreDetailsView, WithoutABalanceBothFieldsAreEmptyAndTheColourStays) {
  const DetailsView view = ViewOf(DirectoryWarning(), nullptr);
  EXPECT_EQ("", view.balance.lowLimitText);
  EXPECT_EQ("", view.balance.balanceText);
  EXPECT_EQ(BalanceColour::Unchanged, view.balance.balanceColour);
}

TEST(CoreDetailsView, AFailedReadingIsUnknownWithQuestionMarks) {
  QuotaReading reading = DirectoryWarning();
  reading.result = QueryFailed;
  MarkFailedReading(reading);
  const DetailsView view = ViewOf(reading, nullptr);
  EXPECT_EQ(LevelUnknown, view.level);
  EXPECT_EQ("Unknown.", view.statusText);
  EXPECT_EQ("0%", view.percentText);
  EXPECT_EQ("??", view.loginName);
  EXPECT_EQ("??", view.figures.dirUsed);
  EXPECT_EQ("Disk space used :  0% on H:\\ -  free.", view.tooltipText);
  EXPECT_EQ("", ComposeAlertText(AlertFieldsOf(view)));
}

}  // namespace
