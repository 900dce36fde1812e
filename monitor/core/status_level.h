// The monitor's status level and the sentence that describes it.
#pragma once

// Selects the status sentence, the tray picture and the alert.
enum StatusLevel : int {
  LevelUnknown = -1,  // no usable reading
  LevelOk = 0,        // below the warning threshold, or no restriction at all
  LevelWarning = 1,
  LevelDanger = 2,
};

// String-table id of the status sentence for `level`; the unknown sentence also
// serves any value outside ok..danger.
int StatusStringId(int level);
