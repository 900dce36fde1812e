// CLXWIN32.DLL: connection information.
#include "standin.h"

extern "C" nwapi::Status NW_CALL StandinGetConnInfo(nwapi::Connection conn, uint32_t infoType,
                                                    uint32_t length, void* buffer) {
  return StandinClient()->ConnectionItem(conn, infoType, length, buffer);
}
