// The run-time binding of the four NetWare client libraries: each entry point
// found by its ordinal, the libraries loaded once for the process and kept.
#pragma once

#include <string>

#include "netware/client_libraries/client_api_win.h"

struct ClientEntryPoints {
  nwapi::CallsInit callsInit;
  nwapi::ParseNetWarePath parseNetWarePath;
  nwapi::GetNsPath getNsPath;
  nwapi::ParsePath parsePath;
  nwapi::GetVolumeNumber getVolumeNumber;
  nwapi::GetConnInfo getConnInfo;
  nwapi::GetConnectionInformation getConnectionInformation;
  nwapi::GetObjDiskRestrictions getObjDiskRestrictions;
  nwapi::GetFileServerInformation getFileServerInformation;
  nwapi::AllocTemporaryDirectoryHandle allocTemporaryDirectoryHandle;
  nwapi::GetDirSpaceLimitList getDirSpaceLimitList;
  nwapi::DeallocateDirectoryHandle deallocateDirectoryHandle;
  nwapi::LocaleConv localeConv;
  nwapi::InitUnicodeTables initUnicodeTables;
  nwapi::FreeUnicodeTables freeUnicodeTables;
  nwapi::CreateContextHandle createContextHandle;
  nwapi::IsDsAuthenticated isDsAuthenticated;
  nwapi::AllocBuf allocBuf;
  nwapi::InitBuf initBuf;
  nwapi::PutAttrName putAttrName;
  nwapi::WhoAmI whoAmI;
  nwapi::Read read;
  nwapi::GetAttrCount getAttrCount;
  nwapi::GetAttrName getAttrName;
  nwapi::GetAttrVal getAttrVal;
  nwapi::FreeBuf freeBuf;
  nwapi::FreeContext freeContext;
};

// The entry points when all four libraries load and every ordinal resolves,
// else nullptr. Decided at the first call and kept for the process. A library
// that is present but incomplete is reported to the NetWare debug output.
const ClientEntryPoints* BoundClientLibraries();

// One attempt, for the first call above: fills *entries or says why not in
// *reason (empty when no library of the client is there at all). Libraries of
// a failed attempt are released again.
bool BindClientLibraries(ClientEntryPoints* entries, std::string* reason);
