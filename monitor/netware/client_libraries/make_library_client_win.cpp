#include "netware/client_libraries/library_client.h"
#include "netware/client_libraries/library_client_win.h"

std::unique_ptr<NetWareClient> MakeLibraryClient() {
  const ClientEntryPoints* entries = BoundClientLibraries();
  if (entries == nullptr) return nullptr;
  return std::make_unique<LibraryNetWareClient>(*entries);
}
