// Linked into a test program of the main frame so that its polls run through
// the stand-in libraries: the folder joins the DLL search path before the
// first poll binds the client, and the binding must have found them.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "netware/make_client.h"

namespace {

class StandinEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    std::string folder = "Z:" BRIMLET_STANDIN_DIR;
    for (char& c : folder) {
      if (c == '/') c = '\\';
    }
    ASSERT_TRUE(SetDllDirectoryA(folder.c_str()));
    ASSERT_EQ(NetWareClientKind::Libraries, ChooseNetWareClient());
  }
};

const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new StandinEnvironment);

}  // namespace
