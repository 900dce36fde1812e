#include "service_properties.h"

#include <sstream>

#include "app/brimletd.h"
#include "app/command_line.h"

namespace {

bool printableAscii(const std::string& text) {
  for (char c : text) {
    if (c < 0x20 || c > 0x7E) return false;
  }
  return true;
}

std::string refusal(const char* name, const std::string& value, const std::string& reason) {
  return std::string(name) + "=" + value + " is refused: " + reason;
}

// The daemon's own parser is the judge: the arguments must be read whole,
// with no usage printed, and an option must not end up as the name filter.
bool parsedAsGiven(const std::vector<std::string>& args, const std::string& expectedFilter) {
  std::ostringstream out;
  const BrimletD::Settings parsed = BrimletD::parseArgs(args, out);
  if (out.str().find("Parsing failed") != std::string::npos) return false;
  std::string filter = expectedFilter;
  if (!filter.empty() && (filter[0] == '+' || filter[0] == '-')) filter.erase(0, 1);
  return parsed.filter.size() == filter.size();
}

}  // namespace

std::vector<std::string> serviceArguments(const ServiceProperties& properties) {
  std::vector<std::string> args;
  if (!properties.allow.empty()) args.push_back("--allow=" + properties.allow);
  if (!properties.rate.empty()) args.push_back("--rate=" + properties.rate);
  args.push_back(properties.port);
  args.push_back(properties.dangerOnly);
  if (!properties.filter.empty()) args.push_back(properties.filter);
  return args;
}

std::string serviceCommandLine(const ServiceProperties& properties) {
  std::string line;
  for (const std::string& arg : serviceArguments(properties)) {
    if (!line.empty()) line += ' ';
    // No value holds a quote (refused), so quoting is only needed for
    // blanks; a backslash before the closing quote is doubled.
    if (arg.find(' ') == std::string::npos) {
      line += arg;
    } else {
      std::string quoted = arg;
      std::size_t trailing = 0;
      while (trailing < quoted.size() && quoted[quoted.size() - 1 - trailing] == '\\') ++trailing;
      quoted.append(trailing, '\\');
      line += '"' + quoted + '"';
    }
  }
  return line;
}

std::vector<std::string> refusedServiceProperties(const ServiceProperties& properties) {
  std::vector<std::string> refused;
  std::int32_t port = 0;
  if (!parsePortNumber(properties.port, &port) || port < 1 || port > 65535) {
    refused.push_back(refusal("PORT", properties.port, "not a port number from 1 to 65535"));
  }
  if (properties.dangerOnly != "Y" && properties.dangerOnly != "y" &&
      properties.dangerOnly != "N" && properties.dangerOnly != "n") {
    refused.push_back(refusal("DANGERONLY", properties.dangerOnly,
                              "neither Y (danger alerts only) nor N (warnings too)"));
  }
  // The service's command line is split by the C runtime: a quote would end
  // a value early, and a character outside ASCII depends on the host's code
  // page (filters match Latin-1 letters only by their ASCII ones anyway).
  const struct {
    const char* name;
    const std::string& value;
  } texts[] = {{"FILTER", properties.filter}, {"ALLOW", properties.allow},
               {"RATE", properties.rate}};
  for (const auto& text : texts) {
    if (!printableAscii(text.value) || text.value.find('"') != std::string::npos) {
      refused.push_back(refusal(text.name, text.value,
                                "holds a quote or a character outside printable ASCII"));
    }
  }
  if (!refused.empty()) return refused;
  if (!properties.filter.empty() &&
      (properties.filter == "+" || properties.filter == "-" ||
       properties.filter.rfind("--", 0) == 0)) {
    refused.push_back(refusal("FILTER", properties.filter, "an empty filter or an option"));
  }
  ServiceProperties alone{properties.port, properties.dangerOnly, "", "", ""};
  const struct {
    const char* name;
    const std::string& value;
    std::string ServiceProperties::*field;
  } options[] = {{"ALLOW", properties.allow, &ServiceProperties::allow},
                 {"RATE", properties.rate, &ServiceProperties::rate}};
  for (const auto& option : options) {
    if (option.value.empty()) continue;
    ServiceProperties one = alone;
    one.*option.field = option.value;
    if (!parsedAsGiven(serviceArguments(one), "")) {
      refused.push_back(refusal(option.name, option.value, "the daemon does not read it as given"));
    }
  }
  if (refused.empty() && !parsedAsGiven(serviceArguments(properties), properties.filter)) {
    refused.push_back("the service's command line " + serviceCommandLine(properties) +
                      " is refused: the daemon does not read it as given");
  }
  return refused;
}
