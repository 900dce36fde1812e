// What the step from one poll's level to the next sets off for the alert.
// What the user is shown follows its own rules (core/notice_rules.h).
#pragma once

#include "core/status_level.h"

// Only a step from warning straight to danger re-arms the alert; a failed
// reading in between (unknown) does not.
bool RearmsAlert(StatusLevel previousLevel, StatusLevel level);

struct LevelChange {
  StatusLevel previousLevel = LevelUnknown;
  StatusLevel level = LevelUnknown;
  bool rearmAlert = false;
};

// Remembers the level of the poll before; the run starts at unknown.
class LevelTracker {
 public:
  // Records `level` as this poll's level and tells what the change sets off.
  LevelChange Enter(StatusLevel level);

 private:
  StatusLevel previousLevel = LevelUnknown;
};
