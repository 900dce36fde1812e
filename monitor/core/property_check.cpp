#include "core/property_check.h"

#include <cstdio>

#include "core/alert_host.h"

// What each property must be, and why (the program's parser, command_line.cpp):
//
//   every value   given; no character at or below the blank (the blank splits
//                 tokens, the runtime drops tabs and the parser trims the
//                 rest); every character with an exact round trip through the
//                 ANSI code page
//                 that is no other property's assignment (NAME=...), no
//                 lone backslash, no quotation mark: what msiexec makes of a
//                 value left empty (see MisreadValue)
//   WATCHPATH     at most 240 ANSI bytes (the window class name's limit)
//   POLLSECONDS   decimal digits, 1 to 2147483
//   WARN, DANGER  decimal digits: 1 to 100 in percent, 0 to 4294966 in
//                 megabytes of free space (UNIT=A)
//   UNIT          %, A or a
//   SHOWDETAILS,  Y or N, either case: anything but y or Y reads as no, so
//   AUTOSHOW      "Yes" or "1" would silently switch the window off
//   LOGHOST       at most 49 ANSI bytes (its buffer); a host name, an IPv4
//                 address or an IPv6 address (::1, fd00::10, fe80::1%3), the
//                 longest of which (45 characters) fits; no brackets and no
//                 port suffix ([::1], loghost:48000), nor the unspecified
//                 address ::, none of which the program can send to
//   LOGPORT       decimal digits, 1 to 65535; 0 only with LOGHOST=0, the one
//                 way of saying "no alerts" (the parser reads ports without a
//                 range, and the socket takes the low 16 bits)
//
// "Decimal digits" means no sign and at most kMaxDigits of them: the parser
// reads any leading number and saturates, so -5, +7x or 99999999999 would
// each be read as something else than what was typed.

namespace {

enum class Kind { Path, Number, Unit, Switch, Host };

struct Rule {
  const char* name;
  Kind kind;
  long long min = 0;
  long long max = 0;
  const char* what = "";  // the unit of a number, for the message
};

std::string Shown(std::u16string_view value) {
  std::string shown;
  for (char16_t c : value) {
    if (c > 0x20 && c < 0x7F) {
      shown += static_cast<char>(c);
    } else {
      char escaped[12];
      std::snprintf(escaped, sizeof escaped, "<U+%04X>", static_cast<unsigned>(c));
      shown += escaped;
    }
  }
  return shown;
}

bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }

// The value's ANSI bytes, or the reason it has none that the program reads
// back as typed.
std::optional<std::string> AnsiBytes(std::u16string_view value, const AnsiOfCharacter& ansi,
                                     std::string& reason) {
  std::string bytes;
  for (std::size_t at = 0; at < value.size();) {
    const std::size_t length =
        IsHighSurrogate(value[at]) && at + 1 < value.size() ? std::size_t{2} : std::size_t{1};
    const std::u16string_view character = value.substr(at, length);
    char where[48];
    std::snprintf(where, sizeof where, "U+%04X at character %zu", static_cast<unsigned>(value[at]),
                  at + 1);
    if (value[at] <= 0x20) {
      reason = std::string("it holds a blank, tab or control character (") + where +
               "), which splits or cuts Brimlet's command line";
      return std::nullopt;
    }
    const std::optional<std::string> converted = ansi(character);
    if (!converted || converted->empty()) {
      reason = std::string(where) +
               " has no exact equivalent in this workstation's ANSI code page, in which "
               "Brimlet reads its command line";
      return std::nullopt;
    }
    for (char byte : *converted) {
      if (static_cast<unsigned char>(byte) <= 0x20) {
        reason = std::string(where) + " becomes a blank or control character in the ANSI code page";
        return std::nullopt;
      }
    }
    bytes += *converted;
    at += length;
  }
  return bytes;
}

// Why a value is what msiexec made of a property left empty, or "". The
// documented way to give an empty value is NAME="" (quotation marks needed);
// "NAME= OTHER=120", an empty value followed by a blank, is outside that
// grammar, and Wine's msiexec then takes the next argument as the value. A
// quoted empty value can come through as a lone backslash, and a quotation
// mark left in a value would quote the Run value's command line.
std::string MisreadValue(std::u16string_view value) {
  if (value.find(u'"') != std::u16string_view::npos) {
    return "it holds a quotation mark, which would quote part of Brimlet's command line";
  }
  if (value.find_first_not_of(u'\\') == std::u16string_view::npos) {  // \ or \\ ...
    return "backslashes alone are what an empty value given as \"\" can become; give the "
           "value itself";
  }
  // A property's name: a letter or underscore, then letters, digits,
  // underscores or periods.
  auto starts = [](char16_t c) {
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || c == u'_';
  };
  auto follows = [&](char16_t c) { return starts(c) || (c >= u'0' && c <= u'9') || c == u'.'; };
  std::size_t at = 0;
  if (!value.empty() && starts(value[0])) {
    while (at < value.size() && follows(value[at])) ++at;
  }
  if (at > 0 && at < value.size() && value[at] == u'=') {
    return "it is another property's assignment: a property given empty (NAME= followed by a "
           "blank) takes the next argument as its value; give a value, or none at all";
  }
  return "";
}

// The number of a value of decimal digits, or nothing.
std::optional<long long> Digits(const std::string& text) {
  if (text.empty() || text.size() > kMaxDigits) return std::nullopt;
  long long number = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    number = number * 10 + (c - '0');
  }
  return number;
}

static_assert(kMaxAlertHostLength >= kLongestIpv6Address, "every IPv6 address fits the host");

// The reason a host of a length the program takes is still one it cannot
// send to, or "".
std::string HostFormBroken(const std::string& host) {
  switch (AlertHostFormOf(host)) {
    case AlertHostForm::NameOrIpv4:
    case AlertHostForm::Ipv6Address:
      return "";
    case AlertHostForm::Unspecified:
      return "it is the unspecified address, to which nothing can be sent (LOGHOST=0 with "
             "LOGPORT=0 is the way to send no alerts)";
    case AlertHostForm::Bracketed:
      return "brackets are not part of an address; give an IPv6 address without them (::1), "
             "and its port as LOGPORT";
    case AlertHostForm::WithPort:
      return "a port cannot be part of the host; give it as LOGPORT";
    case AlertHostForm::NotAnAddress:
      return "it holds a colon but is no IPv6 address";
  }
  return "";
}

// The reason `text` (the value's ANSI bytes) breaks `rule`, or "".
std::string Broken(const Rule& rule, const std::string& text) {
  char range[96];
  switch (rule.kind) {
    case Kind::Path:
    case Kind::Host: {
      const std::size_t limit = rule.kind == Kind::Path ? kMaxWatchedPathLength : kMaxAlertHostLength;
      if (text.size() <= limit) return rule.kind == Kind::Host ? HostFormBroken(text) : "";
      std::snprintf(range, sizeof range, "it is %zu bytes long in the ANSI code page, above %zu",
                    text.size(), limit);
      return std::string(range) + "; Brimlet would ignore its whole command line";
    }
    case Kind::Number: {
      const std::optional<long long> number = Digits(text);
      if (number && *number >= rule.min && *number <= rule.max) return "";
      std::snprintf(range, sizeof range, "it must be decimal digits, %lld to %lld %s", rule.min,
                    rule.max, rule.what);
      return std::string(range) + (number ? "" : "; Brimlet would read it as another number");
    }
    case Kind::Unit:
      if (text == "%" || text == "A" || text == "a") return "";
      return "the unit must be % (thresholds in percent used) or A (megabytes free); Brimlet "
             "would ignore its whole command line";
    case Kind::Switch:
      if (text == "Y" || text == "y" || text == "N" || text == "n") return "";
      return "it must be Y or N (either case); Brimlet reads anything but Y as N";
  }
  return "";
}

std::string Refusal(const char* name, std::u16string_view value, const std::string& reason) {
  return std::string(name) + "=\"" + Shown(value) + "\" is refused: " + reason + ".";
}

}  // namespace

std::vector<std::string> RefusedProperties(const PropertyValue& value, const AnsiOfCharacter& ansi,
                                           CommandLineForm form) {
  const std::u16string unit = form == CommandLineForm::WithUnit ? value("UNIT") : u"%";
  const bool megabytes = unit == u"A" || unit == u"a";
  const Rule threshold = megabytes ? Rule{"", Kind::Number, 0, kMaxFreeMegabytes, "MB free"}
                                   : Rule{"", Kind::Number, kMinPercent, kMaxPercent, "percent"};
  std::vector<Rule> rules = {
      {"WATCHPATH", Kind::Path},
      {"POLLSECONDS", Kind::Number, kMinPollSeconds, kMaxPollSeconds, "seconds"},
      {"WARN", threshold.kind, threshold.min, threshold.max, threshold.what},
      {"DANGER", threshold.kind, threshold.min, threshold.max, threshold.what},
      {"UNIT", Kind::Unit},
      {"SHOWDETAILS", Kind::Switch},
      {"AUTOSHOW", Kind::Switch},
      {"LOGHOST", Kind::Host},
      {"LOGPORT", Kind::Number, 0, kMaxPort, "(0 only with LOGHOST=0)"}};
  if (form != CommandLineForm::WithUnit) rules.erase(rules.begin() + 4);

  std::vector<std::string> refused;
  std::optional<std::string> host;
  for (const Rule& rule : rules) {
    const std::u16string wide = value(rule.name);
    std::string reason;
    std::optional<std::string> text;
    if (wide.empty()) {
      reason = "it must be given; Brimlet would ignore its whole command line";
    } else if (!(reason = MisreadValue(wide)).empty()) {
    } else if ((text = AnsiBytes(wide, ansi, reason))) {
      reason = Broken(rule, *text);
    }
    if (reason.empty() && rule.kind == Kind::Host) host = text;
    // The one form without alerts is 0 and 0: a port alone, or a host
    // without a port, would send nothing and say nothing.
    if (reason.empty() && rule.kind == Kind::Number && rule.max == kMaxPort && host &&
        (*host == "0") != (*Digits(*text) == 0)) {
      reason = *host == "0" ? "LOGHOST=0 sends no alerts, so the port must be 0 too"
                            : "a log host needs a port from 1 to 65535";
    }
    if (!reason.empty()) refused.push_back(Refusal(rule.name, wide, reason));
  }
  return refused;
}
