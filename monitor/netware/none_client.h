// The client of a workstation without NetWare: nothing starts, so the queries
// fail at their first step and the monitor shows the unknown level.
#pragma once

#include "netware/netware_client.h"

class NoNetWareClient : public NetWareClient {
 public:
#define NW_OPERATION(operation, library, ordinal, entry, stackBytes, answers, parameters, ...) \
  uint32_t operation parameters override;
#include "netware/netware_calls.def"
};
