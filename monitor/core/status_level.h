// The monitor's status level.
#pragma once

// Selects the status sentence, the tray picture and the alert.
enum StatusLevel : int {
  LevelUnknown = -1,  // no usable reading
  LevelOk = 0,        // below the warning threshold, or no restriction at all
  LevelWarning = 1,
  LevelDanger = 2,
};
