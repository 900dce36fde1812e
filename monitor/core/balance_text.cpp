#include "core/balance_text.h"

#include <cstdlib>

#include "core/text_format.h"

namespace {

constexpr int64_t kHundredths = 100;
constexpr int64_t kYellowBelow = 100;  // one unit
constexpr int64_t kRedBelow = 50;

BalanceColour ColourFor(const AccountBalance& balance) {
  // In 64 bits, since both amounts may be anywhere in the 32-bit range.
  const int64_t margin = int64_t{balance.balance} - int64_t{balance.lowLimit};
  if (margin < kRedBelow) return BalanceColour::Red;
  if (margin < kYellowBelow) return BalanceColour::Yellow;
  return BalanceColour::Default;
}

}  // namespace

std::string FormatAmount(int32_t hundredths, AmountStyle style) {
  // The sign is written on its own: -50 must read "-0.50", which the whole
  // units alone (0) cannot carry. 64 bits keep INT32_MIN's magnitude.
  const int64_t magnitude = std::llabs(int64_t{hundredths});
  const long long units = magnitude / kHundredths;
  const int cents = static_cast<int>(magnitude % kHundredths);
  const char* sign = hundredths < 0 ? "-" : "";
  if (style == AmountStyle::Currency) return FormatText("%s%lld.%.2d Fr", sign, units, cents);
  return FormatText("%s%lld.%.2d", sign, units, cents);
}

std::string FormatAmount(int32_t hundredths) { return FormatAmount(hundredths, kAmountStyle); }

BalanceTexts BalanceTextsOf(const AccountBalance& balance, AmountStyle style) {
  BalanceTexts texts;
  if (balance.unlimitedCredit != 0) {
    if (style == AmountStyle::Currency) texts.lowLimitText = kUnlimitedCreditText;
    texts.balanceColour = BalanceColour::Unchanged;
  } else {
    texts.lowLimitText = FormatAmount(balance.lowLimit, style);
    texts.balanceColour = ColourFor(balance);
  }
  texts.balanceText = FormatAmount(balance.balance, style);
  return texts;
}

BalanceTexts BalanceTextsOf(const AccountBalance& balance) {
  return BalanceTextsOf(balance, kAmountStyle);
}
