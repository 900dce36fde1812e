// The message-box texts of a link that could not be opened.
#include "core/open_error_text.h"

#include <gtest/gtest.h>

namespace {

struct ErrorCase {
  const char* name;
  uint32_t code;
  const char* description;
};

class CoreOpenErrorText : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(CoreOpenErrorText, MessageIsThePrefixAndTheDescription) {
  const ErrorCase& c = GetParam();
  EXPECT_EQ(c.description, OpenErrorDescription(c.code));
  EXPECT_EQ(std::string("Unable to open hyperlink:\n\n") + c.description, OpenErrorMessage(c.code));
}

INSTANTIATE_TEST_SUITE_P(
    Codes, CoreOpenErrorText,
    ::testing::Values(
        ErrorCase{"OutOfResources", 0, "The operating system is out\nof memory or resources."},
        ErrorCase{"CommandTooLong", kOpenErrorCommandTooLong,
                  "There was not enough memory to complete the operation."},
        ErrorCase{"SharingViolation", 26,
                  "A sharing violation occurred. "},  // the trailing blank is its own
        ErrorCase{"LastOfTheTable", 32, "The specified dynamic-link library was not found."},
        ErrorCase{"UnknownOne", 1, "Unknown Error (1) occurred."},
        ErrorCase{"UnknownSuccessCode", 33, "Unknown Error (33) occurred."},
        ErrorCase{"UnknownShownSigned", 0xFFFFFFFFu, "Unknown Error (-1) occurred."}),
    [](const ::testing::TestParamInfo<ErrorCase>& info) { return info.param.name; });

}  // namespace
