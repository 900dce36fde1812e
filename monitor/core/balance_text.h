// The print-accounting balance as the details window shows it.
#pragma once

#include <cstdint>
#include <string>

#include "core/build_variant.h"
#include "core/quota_types.h"

enum class AmountStyle {
  Plain,     // "12.34"
  Currency,  // "12.34 Fr", and the French text for unlimited credit
};

constexpr AmountStyle kAmountStyle = kCurrencyBalance ? AmountStyle::Currency : AmountStyle::Plain;

// Hundredths as sign, whole units, point and two digits: 1234 "12.34",
// 5 "0.05", -50 "-0.50"; every 32-bit value, INT32_MIN included.
std::string FormatAmount(int32_t hundredths, AmountStyle style);
std::string FormatAmount(int32_t hundredths);

// Shown instead of the low limit when credit is unlimited, currency style only:
// "Illimité" in the Western European code page.
constexpr char kUnlimitedCreditText[] = "Illimit\xE9";

// What becomes of the balance field's text colour.
enum class BalanceColour {
  Unchanged,  // unlimited credit: leave the colour as it was
  Default,    // the field's normal text colour
  Yellow,     // less than one unit above the low limit
  Red,        // less than half a unit above the low limit
};

// The two colours as Windows COLORREF values (0x00BBGGRR).
constexpr uint32_t kYellowColourRef = 0x0000FFFF;  // RGB(255, 255, 0)
constexpr uint32_t kRedColourRef = 0x000000FF;     // RGB(255, 0, 0)

struct BalanceTexts {
  std::string lowLimitText;
  std::string balanceText;
  BalanceColour balanceColour = BalanceColour::Unchanged;
};

BalanceTexts BalanceTextsOf(const AccountBalance& balance, AmountStyle style);
BalanceTexts BalanceTextsOf(const AccountBalance& balance);
