// The status sentence of each level in the program's string table.
#include "ui/status_strings.h"

#include <gtest/gtest.h>

#include <vector>

#include "core/status_level.h"

namespace {

struct StatusCase {
  int level;
  int stringId;
};

class UiStatusString : public testing::TestWithParam<StatusCase> {};

TEST_P(UiStatusString, BelongsToTheLevel) {
  EXPECT_EQ(StatusStringId(GetParam().level), GetParam().stringId);
}

INSTANTIATE_TEST_SUITE_P(Levels, UiStatusString,
                         testing::ValuesIn(std::vector<StatusCase>{{LevelUnknown, 57365},
                                                                   {LevelOk, 57362},
                                                                   {LevelWarning, 57363},
                                                                   {LevelDanger, 57364},
                                                                   {3, 57365},
                                                                   {-2, 57365}}));

}  // namespace
