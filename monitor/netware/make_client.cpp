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

void Announce(NetWareClientKind kind, const std::string& network) {
  if (announced && kind == lastKind) return;
  announced = true;
  lastKind = kind;
  std::string text = "Brimlet: NetWare client in use: ";
  switch (kind) {
    case NetWareClientKind::Libraries:
      text += "the client libraries CALWIN32, CLXWIN32, LOCWIN32 and NETWIN32";
      break;
    case NetWareClientKind::Simulated:
      text += "the simulated network " + network;
      break;
    case NetWareClientKind::None:
      text += "none (no client libraries, and BRIMLET_NETWORK names no network)";
      break;
  }
  NetWareDebugPrint((text + "\n").c_str());
}

}  // namespace

std::unique_ptr<NetWareClient> MakeNetWareClient(SimulatedClientMaker simulated) {
  if (std::unique_ptr<NetWareClient> libraries = MakeLibraryClient()) {
    Announce(NetWareClientKind::Libraries, "");
    return libraries;
  }
  std::string network;
  if (simulated != nullptr) {
    if (std::unique_ptr<NetWareClient> client = simulated(&network)) {
      Announce(NetWareClientKind::Simulated, network);
      return client;
    }
  }
  Announce(NetWareClientKind::None, "");
  return std::make_unique<NoNetWareClient>();
}
