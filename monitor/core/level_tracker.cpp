#include "core/level_tracker.h"

bool OpensDetailsByItself(bool autoShow, StatusLevel previousLevel, StatusLevel level) {
  const bool fromBelowDanger =
      previousLevel == LevelUnknown || previousLevel == LevelOk || previousLevel == LevelWarning;
  return autoShow && fromBelowDanger && level == LevelDanger;
}

bool RearmsAlert(StatusLevel previousLevel, StatusLevel level) {
  return previousLevel == LevelWarning && level == LevelDanger;
}

LevelChange LevelTracker::Enter(StatusLevel level, bool autoShow) {
  LevelChange change;
  change.previousLevel = previousLevel;
  change.level = level;
  change.openDetails = OpensDetailsByItself(autoShow, previousLevel, level);
  change.rearmAlert = RearmsAlert(previousLevel, level);
  previousLevel = level;
  return change;
}
