#include "netware/make_client.h"

#include <string>

#include "netware/client_libraries/library_client.h"
#include "netware/debug_output.h"
#include "netware/none_client.h"

namespace {

enum class NetWareClientKind {
  Libraries,  // the NetWare client's own libraries, all four loaded and complete
  Simulated,  // the simulated network that BRIMLET_NETWORK names
  None,       // neither: a client that does not start
};

bool announced = false;
NetWareClientKind lastKind = NetWareClientKind::None;

void Announce(NetWareClientKind kind, const std::string& what) {
  if (announced && kind == lastKind) return;
  announced = true;
  lastKind = kind;
  NetWareDebugPrint(("Brimlet: NetWare client in use: " + what + "\n").c_str());
}

}  // namespace

std::unique_ptr<NetWareClient> MakeNetWareClient(SimulatedClientMaker simulated) {
  if (std::unique_ptr<NetWareClient> libraries = MakeLibraryClient()) {
    Announce(NetWareClientKind::Libraries,
             "the client libraries CALWIN32, CLXWIN32, LOCWIN32 and NETWIN32");
    return libraries;
  }
  std::string network;
  if (simulated != nullptr) {
    if (std::unique_ptr<NetWareClient> client = simulated(&network)) {
      Announce(NetWareClientKind::Simulated, "the simulated network " + network);
      return client;
    }
  }
  // A program without the simulation reads no BRIMLET_NETWORK, so its line
  // does not name it.
  Announce(NetWareClientKind::None,
           simulated != nullptr ? "none (no client libraries, and BRIMLET_NETWORK names no network)"
                                : "none (no client libraries)");
  return std::make_unique<NoNetWareClient>();
}
