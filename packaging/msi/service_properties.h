// The log host package's public properties, PORT, DANGERONLY, FILTER, ALLOW
// and RATE: each value is checked before anything is installed, and the
// accepted ones make the service's command line. Portable: no Windows here.
#pragma once

#include <string>
#include <vector>

struct ServiceProperties {
  std::string port;        // 1 to 65535
  std::string dangerOnly;  // Y or N, either case
  std::string filter;      // optional, with its + or - sign
  std::string allow;       // optional: the daemon's --allow=
  std::string rate;        // optional: the daemon's --rate=
};

// The daemon's defaults, for a property given neither now nor at an earlier
// installation.
inline constexpr char kDefaultPort[] = "48000";
inline constexpr char kDefaultDangerOnly[] = "Y";

// The service's arguments, in the order the command line gives them to the
// daemon's parser.
std::vector<std::string> serviceArguments(const ServiceProperties& properties);

// The same as the text after the program's name in the service's command
// line, each argument quoted where it needs it.
std::string serviceCommandLine(const ServiceProperties& properties);

// One line per refused property, naming it, its value and the reason; empty
// when the daemon reads the service's command line as given. The daemon's
// own parser judges the options, so a daemon that does not know an option
// refuses it here, at install time.
std::vector<std::string> refusedServiceProperties(const ServiceProperties& properties);
