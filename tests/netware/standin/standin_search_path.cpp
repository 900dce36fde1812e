// Linked into a test program of the main frame so that its polls run through
// the stand-in libraries, which lie beside it: the binding must have found
// them before the first test.
#include <gtest/gtest.h>

#include "netware/make_client.h"

namespace {

class StandinEnvironment : public ::testing::Environment {
 public:
  void SetUp() override { ASSERT_EQ(NetWareClientKind::Libraries, ChooseNetWareClient()); }
};

const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new StandinEnvironment);

}  // namespace
