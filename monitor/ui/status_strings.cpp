#include "ui/status_strings.h"

#include "core/status_level.h"
#include "resources/resource.h"

int StatusStringId(int level) {
  switch (level) {
    case LevelOk:
      return IDS_STATUS_OK;
    case LevelWarning:
      return IDS_STATUS_WARNING;
    case LevelDanger:
      return IDS_STATUS_DANGER;
    default:
      return IDS_STATUS_UNKNOWN;
  }
}
