#include "core/taskbar_wait.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "case_name.h"

namespace {

// A taskbar that each look sees as the script says (1 present, 0 absent); a
// look past the end of the script sees what the last entry says.
struct ScriptedTaskbar {
  std::string looks;
  std::size_t looked = 0;
  std::vector<uint32_t> waits;

  bool Present() {
    const std::size_t at = looked < looks.size() ? looked : looks.size() - 1;
    ++looked;
    return looks[at] == '1';
  }
};

struct WaitCase {
  const char* name;
  std::string looks;
  bool found;
  std::size_t waits;
};

void PrintTo(const WaitCase& wait, std::ostream* out) { *out << wait.name; }

class CoreTaskbarWait : public testing::TestWithParam<WaitCase> {};

TEST_P(CoreTaskbarWait, FailsOnlyWhenTheWaitsRanOutWithoutATaskbar) {
  ScriptedTaskbar taskbar{GetParam().looks, 0, {}};
  const bool found = WaitForTaskbar([&taskbar] { return taskbar.Present(); },
                                    [&taskbar](uint32_t ms) { taskbar.waits.push_back(ms); });
  EXPECT_EQ(GetParam().found, found);
  EXPECT_EQ(std::vector<uint32_t>(GetParam().waits, 10000), taskbar.waits);
}

INSTANTIATE_TEST_SUITE_P(Looks, CoreTaskbarWait,
                         testing::ValuesIn(std::vector<WaitCase>{
                             {"PresentAtOnceCostsNoWait", "1", true, 0},
                             {"UpAfterTheThirdWait", "0001", true, 3},
                             // Seen during the waits, gone again when looked at once more: the
                             // taskbar was there, so start-up goes on.
                             {"SeenDuringTheWaitsThenGone", "0010", true, 2},
                             {"SeenAtOnceThenGone", "10", true, 0},
                             {"UpAtTheLastLookAfterFiveWaits", "000001", true, 5},
                             {"NeverUpAfterFiveWaits", "0", false, 5}}),
                         CaseName());

TEST(CoreTaskbarWaitCount, TheWaitsAndTheirLengthAreParameters) {
  ScriptedTaskbar taskbar{"0", 0, {}};
  EXPECT_FALSE(WaitForTaskbar([&taskbar] { return taskbar.Present(); },
                              [&taskbar](uint32_t ms) { taskbar.waits.push_back(ms); }, 2, 7));
  EXPECT_EQ((std::vector<uint32_t>{7, 7}), taskbar.waits);
}

}  // namespace
