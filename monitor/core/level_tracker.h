// What the step from one poll's level to the next sets off.
#pragma once

#include "core/status_level.h"

// Entering danger from any other level opens the details window by itself,
// when the user allows it.
bool OpensDetailsByItself(bool autoShow, StatusLevel previousLevel, StatusLevel level);

// Only a step from warning straight to danger re-arms the alert; a failed
// reading in between (unknown) does not.
bool RearmsAlert(StatusLevel previousLevel, StatusLevel level);

struct LevelChange {
  StatusLevel previousLevel = LevelUnknown;
  StatusLevel level = LevelUnknown;
  bool openDetails = false;
  bool rearmAlert = false;
};

// Remembers the level of the poll before; the run starts at unknown.
class LevelTracker {
 public:
  // Records `level` as this poll's level and tells what the change sets off.
  LevelChange Enter(StatusLevel level, bool autoShow);

 private:
  StatusLevel previousLevel = LevelUnknown;
};
