#include "netware/client_libraries/library_client.h"
#include "netware/client_libraries/library_client_win.h"
#include "netware/debug_output.h"

std::unique_ptr<NetWareClient> MakeLibraryClient() {
#if defined(_WIN64)
  // The names and ordinals of the four libraries are those of the 32-bit
  // client; nothing documents them for a 64-bit one, and an ordinal bound to
  // another function would be called with the wrong arguments. The 64-bit
  // program therefore binds no client (the binding itself is built and tested
  // against the stand-ins).
  static const bool said = [] {
    NetWareDebugPrint("Brimlet: the 64-bit program binds no NetWare client libraries\n");
    return true;
  }();
  (void)said;
  return nullptr;
#else
  const ClientEntryPoints* entries = BoundClientLibraries();
  if (entries == nullptr) return nullptr;
  return std::make_unique<LibraryNetWareClient>(*entries);
#endif
}
