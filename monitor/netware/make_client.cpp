#include "netware/make_client.h"

#include <cstdlib>
#include <string>

#include "netware/client_libraries/library_client.h"
#include "netware/debug_output.h"
#include "netware/none_client.h"
#include "netware/simulated/simulated_client.h"

namespace {

bool announced = false;
NetWareClientKind lastKind = NetWareClientKind::None;

void Announce(NetWareClientKind kind, const char* network) {
  if (announced && kind == lastKind) return;
  announced = true;
  lastKind = kind;
  std::string text = "Brimlet: NetWare client in use: ";
  switch (kind) {
    case NetWareClientKind::Libraries:
      text += "the client libraries CALWIN32, CLXWIN32, LOCWIN32 and NETWIN32";
      break;
    case NetWareClientKind::Simulated:
      text += std::string("the simulated network ") + network;
      break;
    case NetWareClientKind::None:
      text += "none (no client libraries, and BRIMLET_NETWORK names no network)";
      break;
  }
  NetWareDebugPrint((text + "\n").c_str());
}

const char* NetworkPath() {
  const char* path = std::getenv(kNetworkVariable);
  return path != nullptr && *path != '\0' ? path : nullptr;
}

NetWareClientKind KindOf(bool librariesBound, const char* network) {
  if (librariesBound) return NetWareClientKind::Libraries;
  return network != nullptr ? NetWareClientKind::Simulated : NetWareClientKind::None;
}

}  // namespace

NetWareClientKind ChooseNetWareClient() {
  const char* network = NetworkPath();
  NetWareClientKind kind = KindOf(MakeLibraryClient() != nullptr, network);
  Announce(kind, network);
  return kind;
}

std::unique_ptr<NetWareClient> MakeNetWareClient() {
  std::unique_ptr<NetWareClient> libraries = MakeLibraryClient();
  const char* network = NetworkPath();
  NetWareClientKind kind = KindOf(libraries != nullptr, network);
  Announce(kind, network);
  switch (kind) {
    case NetWareClientKind::Libraries:
      return libraries;
    case NetWareClientKind::Simulated:
      return std::make_unique<SimulatedNetWareClient>();
    case NetWareClientKind::None:
      break;
  }
  return std::make_unique<NoNetWareClient>();
}
