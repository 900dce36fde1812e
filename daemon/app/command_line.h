// The daemon's command line: the sender options, the port argument and the
// usage message.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "receive/sender_address.h"
#include "receive/sender_check.h"

// The options that may come before the positional arguments.
struct SenderOptions {
  std::vector<SenderPrefix> allowed;    // --allow=PREFIX, repeatable
  SenderRate rate;                      // --rate=COUNT/SECONDS
  std::vector<SenderAddress> listenOn;  // --listen=ADDRESS, repeatable
};

// One socket each; more than a Windows wait takes is never needed.
inline constexpr std::size_t kMostListenAddresses = 32;

// Takes the leading arguments that begin with "--" as options and hands the
// rest on in `positional`. A bad value, an unknown option, an option given
// after the positional arguments began (where the old syntax would read it
// as the filter) or one given twice where it may not be: false, and *error
// says which and why. Nothing ever falls back to hearing every sender.
bool parseSenderOptions(const std::vector<std::string>& args, SenderOptions* options,
                        std::vector<std::string>* positional, std::string* error);

// A port argument: an optional "-", then decimal digits only, within 32 bits.
// Anything else (a "+", blanks, trailing junk, an overflow) is refused.
bool parsePortNumber(const std::string& text, std::int32_t* port);

// The six lines printed for a command line that breaks the syntax.
std::vector<std::string> usageLines();
