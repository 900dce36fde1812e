// Alerts for a log host given by name: when the name is looked up, and that
// each alert is sent once, in order, when an address is found.
#include "core/held_alerts.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "case_name.h"

namespace {

// Steps: an alert text falls due (and the poll then checks for a lookup, as
// the frame's SendAlert does), "?" a poll without an alert, "+" the lookup
// answers with an address, "-" it answers with none.
std::vector<std::string> RunSteps(const std::vector<std::string>& steps) {
  HeldAlerts held;
  std::vector<std::string> done;
  for (const std::string& step : steps) {
    if (step == "+" || step == "-") {
      if (!held.LookingUp()) continue;  // no lookup runs: nothing can answer
      if (step == "-") held.NotFound();
      for (const std::string& text : step == "+" ? held.Found() : std::vector<std::string>{}) {
        done.push_back("send " + text);
      }
      continue;
    }
    if (step != "?") {
      const std::string dropped = held.Hold(step);
      if (!dropped.empty()) done.push_back("drop " + dropped);
    }
    if (held.LookupDue()) {
      held.LookupStarted();
      done.push_back("lookup");
    }
  }
  return done;
}

struct HeldCase {
  const char* name;
  std::vector<std::string> steps;
  std::vector<std::string> done;
};

class CoreHeldAlerts : public testing::TestWithParam<HeldCase> {};

TEST_P(CoreHeldAlerts, EachAlertOnceWhenTheNameIsFound) {
  EXPECT_EQ(RunSteps(GetParam().steps), GetParam().done);
}

INSTANTIATE_TEST_SUITE_P(
    Steps, CoreHeldAlerts,
    testing::ValuesIn(std::vector<HeldCase>{
        {"NoAlertNoLookup", {"?", "?", "+"}, {}},
        {"AlertWaitsForTheName", {"W", "?", "+"}, {"lookup", "send W"}},
        {"EveryAlertLooksUpAgain", {"W", "+", "D", "+"}, {"lookup", "send W", "lookup", "send D"}},
        {"DueWhileLookingUpJoinsIt", {"W", "D", "+", "+"}, {"lookup", "send W", "send D"}},
        {"NotFoundRetriedAtTheNextPoll", {"W", "-", "?", "-", "?", "+"},
         {"lookup", "lookup", "lookup", "send W"}},
        {"OldestMakesWayWhenFull", {"W", "D1", "D2", "D3", "D4", "+"},
         {"lookup", "drop W", "send D1", "send D2", "send D3", "send D4"}}}),
    CaseName());

}  // namespace
