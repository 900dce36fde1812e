#include "test_network.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iterator>

#include "netware/debug_output.h"
#include "simulated/simulated_client.h"

namespace {

std::string debugText;

void CollectDebug(const char* text) { debugText += text; }

}  // namespace

TestNetwork::TestNetwork(const std::string& text) {
  static int serial = 0;
  const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
  std::string name = test ? test->name() : "network";
  for (char& c : name) {
    if (c == '/') c = '_';  // parameterised tests are named "Case/0"
  }
  path_ = testing::TempDir() + "netware_" + std::to_string(getpid()) + "_" + name + "_" +
          std::to_string(++serial) + ".net";
  Rewrite(text);
  setenv(kNetworkVariable, path_.c_str(), 1);
  debugText.clear();
  SetNetWareDebugSink(CollectDebug);
}

TestNetwork::~TestNetwork() {
  SetNetWareDebugSink(nullptr);
  unsetenv(kNetworkVariable);
  std::remove(path_.c_str());
}

// Replaces the file whole, as every writer of a description should: a new
// file beside it, renamed over it, so that a start reads the old text or the
// new one and never a file cut short.
void TestNetwork::Rewrite(const std::string& text) {
  std::string temporary = path_ + ".new";
  {
    std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
    file << text;
    file.flush();
    if (!file) ADD_FAILURE() << "cannot write " << temporary;
  }
  if (std::rename(temporary.c_str(), path_.c_str()) != 0) {
    ADD_FAILURE() << "cannot rename " << temporary << " to " << path_;
    std::remove(temporary.c_str());
  }
}

std::string TestNetwork::DebugOutput() { return debugText; }

std::string HomeNetwork(const std::string& limitEntries, const std::string& extra,
                        const std::string& volumeKeys) {
  return "[server FS1]\n"
         "connection number = 12\n"
         "login name = user1\n"
         "user id = 0x2A000101\n"
         "[volume FS1 SYS]\n"
         "number = 0\n" +
         volumeKeys +
         "[drive H:\\]\n"
         "server = FS1\n"
         "volume = SYS\n"
         "path = SYS:USERS\\USER1\n"
         "[limits FS1 SYS:USERS\\USER1]\n" +
         limitEntries + extra;
}

std::string ExamplePath(const std::string& name) {
  return std::string(BRIMLET_EXAMPLES_DIR) + "/" + name;
}

std::string ExampleText(const std::string& name) {
  std::ifstream file(ExamplePath(name), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}
