// The stand-in client libraries: four DLLs named and numbered like the
// NetWare client's, answering from one simulated network (BRIMLET_NETWORK)
// that lives in CALWIN32.DLL. Besides the client's ordinals, CALWIN32.DLL and
// NETWIN32.DLL export a few functions by name for the other stand-ins and for
// tests, which check that every handle, buffer and context is given back.
#pragma once

#include <cstdint>
#include <type_traits>

#include "netware/client_libraries/client_api_win.h"
#include "simulated/simulated_client.h"

#ifdef BRIMLET_STANDIN_CALLS
#define STANDIN_CALLS_API extern "C" __declspec(dllexport)
#else
#define STANDIN_CALLS_API extern "C" __declspec(dllimport)
#endif

// Each library's exports for the client's ordinals are named Standin<entry>
// and declared here with exactly the type the binding calls them through, so
// a definition that differs does not compile; the .def files that number
// them are written from netware_calls.def too (CMakeLists.txt).
#define NW_OPERATION(operation, library, ordinal, entry, ...) \
  extern "C" std::remove_pointer_t<nwapi::entry> Standin##entry;
#include "netware/netware_calls.def"

// The simulated client behind all four libraries (CALWIN32.DLL).
STANDIN_CALLS_API NetWareClient* StandinClient();
// What the simulated client holds open for its callers (CALWIN32.DLL).
STANDIN_CALLS_API void StandinOpenObjects(OpenObjectCounts* counts);

// Names of the test-only exports, for GetProcAddress.
constexpr const char* kOpenObjectsExport = "StandinOpenObjects";
constexpr const char* kLiveBuffersExport = "StandinLiveBuffers";  // NETWIN32.DLL: int(void)
using OpenObjectsFunction = void (*)(OpenObjectCounts* counts);
using LiveBuffersFunction = int (*)();
