// The client over the NetWare client libraries, where the platform has them.
#pragma once

#include <memory>

#include "netware/netware_client.h"

// A client over the bound libraries, or nullptr when they are not all there
// (always on platforms without them).
std::unique_ptr<NetWareClient> MakeLibraryClient();
