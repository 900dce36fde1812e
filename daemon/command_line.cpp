#include "command_line.h"

namespace {

// Operators compare the usage text with their scripts, so it names the daemon
// itself rather than whatever path it was started by.
constexpr char kInvocationName[] = "BrimletD";

}  // namespace

bool parsePortNumber(const std::string& text, std::int32_t* port) {
  const bool negative = !text.empty() && text[0] == '-';
  const std::size_t firstDigit = negative ? 1 : 0;
  if (text.size() == firstDigit) return false;

  const std::int64_t limit = negative ? 2147483648LL : 2147483647LL;
  std::int64_t magnitude = 0;
  for (std::size_t i = firstDigit; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    magnitude = magnitude * 10 + (text[i] - '0');
    if (magnitude > limit) return false;
  }
  *port = static_cast<std::int32_t>(negative ? -magnitude : magnitude);
  return true;
}

std::vector<std::string> usageLines() {
  const std::string name = kInvocationName;
  return {
      "  Parsing failed : you have to respect cmd line syntax :",
      "     " + name + " <port_number> <showOnlyAlert:y|n> [optional:_filter]",
      "     Ex : " + name + " 49000 N +LETTRES.HALDORNS.ORBAL",
      "     Ex : " + name + " 49000 N -students",
      "          " + name + " 45000 Y",
      "   BrimletD will start using default parameters.",
  };
}
