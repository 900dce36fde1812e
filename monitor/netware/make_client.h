// The client the monitor uses at each poll, decided in one place.
#pragma once

#include <cstdint>
#include <memory>

#include "netware/netware_client.h"

enum class NetWareClientKind {
  Libraries,  // the NetWare client's own libraries, all four loaded and complete
  Simulated,  // the simulated network that BRIMLET_NETWORK names
  None,       // neither: a client that does not start
};

// What StartClient of the None client answers (the status the simulated
// client gives when it has no network).
constexpr uint32_t kNoClientStatus = 0x88FF;

// The libraries when they are bound, else the simulated network when
// BRIMLET_NETWORK names a description, else None. The libraries are looked
// for once per process. Whenever the choice differs from the last one (so at
// the first poll) the debug output names the client in use.
NetWareClientKind ChooseNetWareClient();

std::unique_ptr<NetWareClient> MakeNetWareClient();
