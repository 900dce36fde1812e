// The client the monitor uses at each poll.
#pragma once

#include <memory>

#include "netware/netware_client.h"

// No NetWare client exists for this build: the monitor talks to the simulated
// network described by the file that BRIMLET_NETWORK names.
std::unique_ptr<NetWareClient> MakeNetWareClient();
