// Linked into a test program of the main frame so that its polls run through
// the stand-in libraries, which lie beside it: the binding must have found
// them before the first test.
#include <gtest/gtest.h>

#include <memory>

#include "netware/client_libraries/library_client_win.h"
#include "netware/make_client.h"

namespace {

class StandinEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    const std::unique_ptr<NetWareClient> chosen = MakeNetWareClient();
    ASSERT_NE(nullptr, dynamic_cast<LibraryNetWareClient*>(chosen.get()));
  }
};

const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new StandinEnvironment);

}  // namespace
