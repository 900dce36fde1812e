// What a test of the real daemon starts it with.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "support/loopback.h"
#include "support/temp_directory.h"

// A scratch folder for the daemon's working directory, a free loopback
// port, and the path of the log the daemon writes there.
class DaemonFixture : public testing::Test {
 protected:
  TempDirectory directory_;
  const int port_ = freeUdpPort();
  const std::string log_ = directory_.file("brimletlog.txt");
};
