#include "core/balance_text.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "case_name.h"

namespace {

constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
constexpr int32_t kMin = std::numeric_limits<int32_t>::min();

struct AmountCase {
  int32_t hundredths;
  const char* plain;
};

class CoreFormatAmount : public testing::TestWithParam<AmountCase> {};

TEST_P(CoreFormatAmount, ShowsSignUnitsAndTwoDigits) {
  EXPECT_EQ(FormatAmount(GetParam().hundredths, AmountStyle::Plain), GetParam().plain);
  EXPECT_EQ(FormatAmount(GetParam().hundredths, AmountStyle::Currency),
            std::string(GetParam().plain) + " Fr");
}

INSTANTIATE_TEST_SUITE_P(Vectors, CoreFormatAmount,
                         testing::ValuesIn(std::vector<AmountCase>{{1234, "12.34"},
                                                                   {5, "0.05"},
                                                                   {-150, "-1.50"},
                                                                   {-50, "-0.50"},
                                                                   {-5, "-0.05"},
                                                                   {0, "0.00"},
                                                                   {100, "1.00"},
                                                                   {500, "5.00"},
                                                                   {kMax, "21474836.47"},
                                                                   {kMin, "-21474836.48"}}));

AccountBalance Limited(int32_t balance, int32_t lowLimit) {
  AccountBalance account;
  account.unlimitedCredit = 0;
  account.balance = balance;
  account.lowLimit = lowLimit;
  return account;
}

struct ColourCase {
  const char* name;
  AccountBalance account;
  BalanceColour colour;
};

class CoreBalanceColour : public testing::TestWithParam<ColourCase> {};

TEST_P(CoreBalanceColour, FollowsTheMarginAboveTheLowLimit) {
  EXPECT_EQ(BalanceTextsOf(GetParam().account, AmountStyle::Plain).balanceColour,
            GetParam().colour);
  EXPECT_EQ(BalanceTextsOf(GetParam().account, AmountStyle::Currency).balanceColour,
            GetParam().colour);
}

INSTANTIATE_TEST_SUITE_P(Margins, CoreBalanceColour,
                         testing::ValuesIn(std::vector<ColourCase>{
                             {"Margin100Default", Limited(150, 50), BalanceColour::Default},
                             {"Margin99Yellow", Limited(149, 50), BalanceColour::Yellow},
                             {"Margin70Yellow", Limited(120, 50), BalanceColour::Yellow},
                             {"Margin50Yellow", Limited(100, 50), BalanceColour::Yellow},
                             {"Margin49Red", Limited(99, 50), BalanceColour::Red},
                             {"Margin40Red", Limited(90, 50), BalanceColour::Red},
                             {"BelowLimitRed", Limited(-500, 0), BalanceColour::Red},
                             {"ExtremeLowNoOverflow", Limited(kMin, kMax), BalanceColour::Red},
                             {"ExtremeHighNoOverflow", Limited(kMax, kMin), BalanceColour::Default},
                             {"UnlimitedUnchanged", AccountBalance{1, 0, 5000},
                              BalanceColour::Unchanged}}),
                         CaseName());

TEST(CoreBalanceTexts, PlainStyle) {
  const BalanceTexts limited = BalanceTextsOf(Limited(1234, 500), AmountStyle::Plain);
  EXPECT_EQ(limited.balanceText, "12.34");
  EXPECT_EQ(limited.lowLimitText, "5.00");
  const BalanceTexts unlimited = BalanceTextsOf(AccountBalance{1, 1234, 500}, AmountStyle::Plain);
  EXPECT_EQ(unlimited.balanceText, "12.34");
  EXPECT_EQ(unlimited.lowLimitText, "");
}

TEST(CoreBalanceTexts, CurrencyStyle) {
  const BalanceTexts limited = BalanceTextsOf(Limited(1234, 500), AmountStyle::Currency);
  EXPECT_EQ(limited.balanceText, "12.34 Fr");
  EXPECT_EQ(limited.lowLimitText, "5.00 Fr");
  const BalanceTexts unlimited =
      BalanceTextsOf(AccountBalance{1, 1234, 500}, AmountStyle::Currency);
  EXPECT_EQ(unlimited.balanceText, "12.34 Fr");
  EXPECT_EQ(unlimited.lowLimitText, "Illimit\xE9");
}

}  // namespace
