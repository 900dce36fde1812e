// The run-time binding of the four NetWare client libraries: each entry point
// found by its ordinal, the libraries loaded once for the process and kept.
#pragma once

#include <string>

#include "netware/client_libraries/client_api_win.h"

// One pointer per entry point, named after the client's function.
struct ClientEntryPoints {
#define NW_OPERATION(operation, library, ordinal, entry, ...) nwapi::entry entry;
#include "netware/netware_calls.def"
};

// The entry points when all four libraries load and every ordinal resolves,
// else nullptr. Decided at the first call and kept for the process. A library
// that is present but incomplete is reported to the NetWare debug output.
const ClientEntryPoints* BoundClientLibraries();

// One attempt, for the first call above: fills *entries or says why not in
// *reason (empty when no library of the client is there at all). Libraries of
// a failed attempt are released again.
bool BindClientLibraries(ClientEntryPoints* entries, std::string* reason);
