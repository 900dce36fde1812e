// The sentence of each status level in the program's string table.
#pragma once

// String-table id of the status sentence for `level`; the unknown sentence also
// serves any value outside ok..danger.
int StatusStringId(int level);
