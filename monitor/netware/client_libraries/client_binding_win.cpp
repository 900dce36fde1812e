#include "netware/client_libraries/client_binding_win.h"

#include <windows.h>

#include <cstddef>

#include "netware/client_libraries/library_loading_win.h"
#include "netware/debug_output.h"

namespace {

const char* const kLibraries[] = {"CALWIN32.DLL", "CLXWIN32.DLL", "LOCWIN32.DLL", "NETWIN32.DLL"};
enum Library { kCalls, kConnections, kLocale, kDirectory, kLibraryCount };

struct Binding {
  Library library;
  WORD ordinal;
  const char* operation;
  size_t slot;  // offset of the pointer in ClientEntryPoints
};

#define SLOT(field) offsetof(ClientEntryPoints, field)
// The client's interface table: operation, library and ordinal.
const Binding kBindings[] = {
    {kCalls, 377, "StartClient", SLOT(callsInit)},
    {kCalls, 103, "ResolvePath", SLOT(parseNetWarePath)},
    {kCalls, 276, "ConvertNameSpace", SLOT(getNsPath)},
    {kCalls, 104, "VolumeNameOfPath", SLOT(parsePath)},
    {kCalls, 111, "VolumeNumber", SLOT(getVolumeNumber)},
    {kConnections, 114, "ConnectionItem", SLOT(getConnInfo)},
    {kCalls, 115, "LoginNameOfConnection", SLOT(getConnectionInformation)},
    {kCalls, 310, "UserVolumeRestriction", SLOT(getObjDiskRestrictions)},
    {kCalls, 119, "QueryServerName", SLOT(getFileServerInformation)},
    {kCalls, 83, "OpenTempDirHandle", SLOT(allocTemporaryDirectoryHandle)},
    {kCalls, 330, "ReadDirSpaceLimits", SLOT(getDirSpaceLimitList)},
    {kCalls, 84, "CloseDirHandle", SLOT(deallocateDirectoryHandle)},
    {kLocale, 1, "LocaleNumbers", SLOT(localeConv)},
    {kLocale, 63, "StartCharConversion", SLOT(initUnicodeTables)},
    {kLocale, 58, "EndCharConversion", SLOT(freeUnicodeTables)},
    {kDirectory, 1160, "OpenDirContext", SLOT(createContextHandle)},
    {kDirectory, 2008, "IsDirAuthenticated", SLOT(isDsAuthenticated)},
    {kDirectory, 1006, "AllocDirBuffer", SLOT(allocBuf)},
    {kDirectory, 1005, "PrepareDirBuffer", SLOT(initBuf)},
    {kDirectory, 1015, "AddAttributeName", SLOT(putAttrName)},
    {kDirectory, 1093, "LoggedInObjectName", SLOT(whoAmI)},
    {kDirectory, 1028, "ReadObject", SLOT(read)},
    {kDirectory, 1008, "ReplyAttributeCount", SLOT(getAttrCount)},
    {kDirectory, 1013, "NextAttributeName", SLOT(getAttrName)},
    {kDirectory, 1022, "NextAttributeValue", SLOT(getAttrVal)},
    {kDirectory, 1007, "FreeDirBuffer", SLOT(freeBuf)},
    {kDirectory, 1002, "CloseDirContext", SLOT(freeContext)},
};
#undef SLOT
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
