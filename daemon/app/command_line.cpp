#include "app/command_line.h"

namespace {

// Operators compare the usage text with their scripts, so it names the daemon
// itself rather than whatever path it was started by.
constexpr char kInvocationName[] = "BrimletD";

constexpr char kAllow[] = "--allow=";
constexpr char kRate[] = "--rate=";
constexpr char kListen[] = "--listen=";

bool startsWith(const std::string& text, const char* start) { return text.rfind(start, 0) == 0; }

bool isSenderOption(const std::string& arg) {
  return startsWith(arg, kAllow) || startsWith(arg, kRate) || startsWith(arg, kListen);
}

// A whole number from 1 to `most`, digits only.
bool parseCount(const std::string& text, std::uint32_t most, std::uint32_t* value) {
  if (text.empty() || text.size() > 10) return false;
  std::uint64_t number = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    number = number * 10 + static_cast<unsigned>(c - '0');
  }
  if (number < 1 || number > most) return false;
  *value = static_cast<std::uint32_t>(number);
  return true;
}

bool parseRate(const std::string& text, SenderRate* rate) {
  const std::size_t slash = text.find('/');
  if (slash == std::string::npos) return false;
  return parseCount(text.substr(0, slash), SenderRate::kMostCount, &rate->count) &&
         parseCount(text.substr(slash + 1), SenderRate::kMostSeconds, &rate->seconds);
}

// Why one option is refused, or empty.
std::string applyOption(const std::string& arg, SenderOptions* options) {
  if (startsWith(arg, kAllow)) {
    SenderPrefix prefix;
    if (!SenderPrefix::parse(arg.substr(sizeof kAllow - 1), &prefix)) {
      return "an IPv4 or IPv6 address is expected, with an optional /BITS "
             "(at most 32 for IPv4, 128 for IPv6)";
    }
    options->allowed.push_back(prefix);
    return "";
  }
  if (startsWith(arg, kRate)) {
    if (options->rate.count != 0) return "--rate may be given once";
    if (!parseRate(arg.substr(sizeof kRate - 1), &options->rate)) {
      options->rate = {};
      return "COUNT/SECONDS is expected, two whole numbers from 1 (COUNT at most " +
             std::to_string(SenderRate::kMostCount) + ", SECONDS at most " +
             std::to_string(SenderRate::kMostSeconds) + ")";
    }
    return "";
  }
  if (startsWith(arg, kListen)) {
    SenderAddress address;
    if (!parseAddress(arg.substr(sizeof kListen - 1), &address)) {
      return "a local IPv4 or IPv6 address is expected";
    }
    if (options->listenOn.size() == kMostListenAddresses) {
      return "at most " + std::to_string(kMostListenAddresses) + " addresses";
    }
    for (const SenderAddress& earlier : options->listenOn) {
      if (earlier == address) return "that address is given twice";
    }
    options->listenOn.push_back(address);
    return "";
  }
  return "unknown option (known: --allow=PREFIX, --rate=COUNT/SECONDS, --listen=ADDRESS)";
}

}  // namespace

bool parseSenderOptions(const std::vector<std::string>& args, SenderOptions* options,
                        std::vector<std::string>* positional, std::string* error) {
  *options = {};
  positional->clear();
  std::size_t i = 0;
  for (; i < args.size() && startsWith(args[i], "--"); ++i) {
    const std::string why = applyOption(args[i], options);
    if (!why.empty()) {
      *error = "bad option " + args[i] + ": " + why;
      return false;
    }
  }
  for (; i < args.size(); ++i) {
    if (isSenderOption(args[i])) {
      *error = "bad option " + args[i] + ": options come before the port number";
      return false;
    }
    positional->push_back(args[i]);
  }
  return true;
}

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
