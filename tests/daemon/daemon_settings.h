// The daemon's process-wide settings put back between tests.
#pragma once

#include "app/brimletd.h"

// The daemon's settings are process-wide; every test starts from the values a
// fresh process has.
inline void resetDaemonSettings() {
  BrimletD::port = 48000;
  BrimletD::showOnlyAlert = true;
  BrimletD::filter = "";
  BrimletD::filtrePositif = true;
  BrimletD::logFileName = "brimletlog.txt";
  BrimletD::allowed.clear();
  BrimletD::rate = {};
  BrimletD::listenOn.clear();
}
