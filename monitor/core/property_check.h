// The installer package's check of the properties that make up the
// monitor's command line: every value the program would misread, or ignore
// with its whole command line, is refused before anything is installed.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/command_line.h"

// The ANSI bytes of one character (one UTF-16 unit, or a surrogate pair),
// or nothing when the character has no exact round trip through the
// workstation's ANSI code page: the program gets its command line in that
// code page, where a best-fit mapping would turn U+3000 into a blank and an
// unmapped character into '?'.
using AnsiOfCharacter = std::function<std::optional<std::string>(std::u16string_view)>;

// The installer's value of a property; "" when it has none.
using PropertyValue = std::function<std::u16string(std::string_view name)>;

// The ranges, in the units the program reads them in.
constexpr long long kMinPollSeconds = 1;        // 0 would poll every 10 ms
constexpr long long kMaxPollSeconds = 2147483;  // x 1000 ms still fits the timer's 0x7FFFFFFF
constexpr long long kMinPercent = 1;            // 0: never ok, or always danger
constexpr long long kMaxPercent = 100;          // no reading is above 100 %
// At most 4294966 megabytes free (4.29 TB), as the package has always
// accepted; readings now reach 17179869 MB, so no threshold in this range
// keeps the level from ever being ok.
constexpr long long kMaxFreeMegabytes = 4294966;
constexpr long long kMaxPort = 65535;
// Enough for any value in range with a few leading zeros; keeps the Run
// value far from the command line's limit.
constexpr std::size_t kMaxDigits = 10;
constexpr std::size_t kMaxAlertHostLength = sizeof(MonitorSettings::alertHost) - 1;  // 49

// One line per refused property, in the command line's order, each naming
// the property, its value and the reason; empty when the command line would
// be read exactly as given.
std::vector<std::string> RefusedProperties(const PropertyValue& value, const AnsiOfCharacter& ansi,
                                           CommandLineForm form);
