#include "core/level_tracker.h"

bool RearmsAlert(StatusLevel previousLevel, StatusLevel level) {
  return previousLevel == LevelWarning && level == LevelDanger;
}

LevelChange LevelTracker::Enter(StatusLevel level) {
  LevelChange change;
  change.previousLevel = previousLevel;
  change.level = level;
  change.rearmAlert = RearmsAlert(previousLevel, level);
  previousLevel = level;
  return change;
}
