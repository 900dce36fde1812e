// The log host package's property rules, natively: which values the
// installer refuses, and the service's command line made of the others.
#include "service_properties.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct PropertyCase {
  const char* name;
  ServiceProperties properties;
  std::string refusedStart;  // "" when accepted
  std::string commandLine;   // when accepted
};

TEST(LogHostProperties, RefusedOrReadAsGiven) {
  const std::vector<PropertyCase> cases = {
      {"defaults", {"48000", "Y", "", "", ""}, "", "48000 Y"},
      {"warnings too, lower case", {"1", "n", "", "", ""}, "", "1 n"},
      {"negative filter", {"65535", "N", "-students", "", ""}, "", "65535 N -students"},
      {"filter with a blank, quoted", {"48000", "N", "+a b", "", ""}, "", "48000 N \"+a b\""},
      {"trailing backslash doubled in quotes", {"48000", "N", "a b\\", "", ""}, "",
       "48000 N \"a b\\\\\""},
      {"port 0", {"0", "Y", "", "", ""}, "PORT=0 is refused: ", ""},
      {"port beyond 16 bits", {"65536", "Y", "", "", ""}, "PORT=65536 is refused: ", ""},
      {"port with a sign", {"+48000", "Y", "", "", ""}, "PORT=+48000 is refused: ", ""},
      {"empty port", {"", "Y", "", "", ""}, "PORT= is refused: ", ""},
      {"level switch as a word", {"48000", "yes", "", "", ""}, "DANGERONLY=yes is refused: ", ""},
      {"filter with a quote", {"48000", "Y", "a\"b", "", ""}, "FILTER=a\"b is refused: ", ""},
      {"filter with a tab", {"48000", "Y", "a\tb", "", ""}, "FILTER=a\tb is refused: ", ""},
      {"filter of a sign alone", {"48000", "Y", "-", "", ""}, "FILTER=- is refused: ", ""},
      {"filter as an option", {"48000", "Y", "--rate=1/1", "", ""},
       "FILTER=--rate=1/1 is refused: ", ""},
      {"rate the daemon does not read", {"48000", "Y", "", "", "many"},
       "RATE=many is refused: ", ""},
  };
  for (const PropertyCase& c : cases) {
    const std::vector<std::string> refused = refusedServiceProperties(c.properties);
    if (c.refusedStart.empty()) {
      EXPECT_TRUE(refused.empty()) << c.name << ": " << (refused.empty() ? "" : refused[0]);
      EXPECT_EQ(c.commandLine, serviceCommandLine(c.properties)) << c.name;
    } else {
      ASSERT_EQ(1u, refused.size()) << c.name;
      EXPECT_EQ(0u, refused[0].rfind(c.refusedStart, 0)) << c.name << ": " << refused[0];
    }
  }
}

}  // namespace
