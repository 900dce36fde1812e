#include "netware/client_libraries/library_client.h"

// The NetWare client for Windows exists only on Windows.
std::unique_ptr<NetWareClient> MakeLibraryClient() { return nullptr; }
