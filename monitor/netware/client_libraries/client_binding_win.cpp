#include "netware/client_libraries/client_binding_win.h"

#include <windows.h>

#include <cstddef>

#include "netware/client_libraries/library_loading_win.h"
#include "netware/debug_output.h"

namespace {

enum Library {
#define NW_LIBRARY(library) library,
#include "netware/netware_calls.def"
  kLibraryCount
};
const char* const kLibraries[] = {
#define NW_LIBRARY(library) #library ".DLL",
#include "netware/netware_calls.def"
};

struct Binding {
  Library library;
  WORD ordinal;
  const char* operation;
  size_t slot;  // offset of the pointer in ClientEntryPoints
};

// The client's interface table: library, ordinal and operation.
const Binding kBindings[] = {
#define NW_OPERATION(operation, library, ordinal, entry, ...) \
  {library, ordinal, #operation, offsetof(ClientEntryPoints, entry)},
#include "netware/netware_calls.def"
};
static_assert(sizeof kBindings / sizeof kBindings[0] * sizeof(FARPROC) == sizeof(ClientEntryPoints),
              "one binding per entry point");

void Release(HMODULE (&modules)[kLibraryCount]) {
  for (HMODULE& module : modules) {
    if (module != nullptr) FreeLibrary(module);
    module = nullptr;
  }
}

}  // namespace

bool BindClientLibraries(ClientEntryPoints* entries, std::string* reason) {
  reason->clear();
  HMODULE modules[kLibraryCount] = {};
  std::string missing;
  bool anyLoaded = false;
  for (int i = 0; i < kLibraryCount; ++i) {
    modules[i] = LoadClientLibrary(kLibraries[i]);
    if (modules[i] == nullptr) {
      missing += missing.empty() ? kLibraries[i] : std::string(", ") + kLibraries[i];
    } else {
      anyLoaded = true;
    }
  }
  if (!missing.empty()) {
    // Without any of them this is simply a workstation without the client.
    if (anyLoaded) *reason = "NetWare client incomplete: cannot load " + missing;
    Release(modules);
    return false;
  }
  ClientEntryPoints found{};
  for (const Binding& binding : kBindings) {
    // GetProcAddress alone may answer for an ordinal that falls in a gap of
    // the library's numbering: only its own export table says.
    FARPROC address = nullptr;
    if (ExportsOrdinal(modules[binding.library], binding.ordinal)) {
      address = GetProcAddress(modules[binding.library], MAKEINTRESOURCEA(binding.ordinal));
    }
    if (address == nullptr) {
      *reason = std::string("NetWare client unusable: ") + kLibraries[binding.library] +
                " lacks ordinal " + std::to_string(binding.ordinal) + " (" + binding.operation +
                ")";
      Release(modules);
      return false;
    }
    *reinterpret_cast<FARPROC*>(reinterpret_cast<char*>(&found) + binding.slot) = address;
  }
  // Kept for the life of the process: the entry points stay valid.
  *entries = found;
  return true;
}

const ClientEntryPoints* BoundClientLibraries() {
  static ClientEntryPoints entries{};
  static const bool bound = [] {
    std::string reason;
    bool ok = BindClientLibraries(&entries, &reason);
    if (!reason.empty()) NetWareDebugPrint((reason + "\n").c_str());
    return ok;
  }();
  return bound ? &entries : nullptr;
}
