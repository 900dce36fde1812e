// The build's choice of command-line form, amount style and level
// notification, as constants.
// Nothing at run time switches them; the core functions take the form as a
// parameter so that both can be exercised in one build, and these constants
// pick the one this build ships.
#pragma once

#if !defined(BRIMLET_UNIT_PARAMETER) || !defined(BRIMLET_CURRENCY_BALANCE) || \
    !defined(BRIMLET_LEVEL_NOTIFICATION)
#error "build variant definitions missing: link the target against brimlet_core"
#endif

// Nine command-line tokens with the threshold unit; otherwise eight, always percent.
constexpr bool kUnitParameter = BRIMLET_UNIT_PARAMETER != 0;
// Balance amounts carry the currency suffix and the French unlimited-credit text.
constexpr bool kCurrencyBalance = BRIMLET_CURRENCY_BALANCE != 0;
// A rise to warning or danger shows a notification from the tray icon.
constexpr bool kLevelNotification = BRIMLET_LEVEL_NOTIFICATION != 0;
