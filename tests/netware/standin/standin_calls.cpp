// CALWIN32.DLL: the file server calls, and the simulated network itself.
#include <cstring>

#include "standin.h"

namespace {

SimulatedNetWareClient& Simulation() {
  static SimulatedNetWareClient client;
  return client;
}

void PutText(char* out, const char* text) {
  if (out != nullptr) std::strcpy(out, text);
}

}  // namespace

NetWareClient* StandinClient() { return &Simulation(); }

void StandinOpenObjects(OpenObjectCounts* counts) { *counts = Simulation().OpenObjects(); }

extern "C" {

nwapi::Status NW_CALL StandinCallsInit(void* in, void* out) {
  return Simulation().StartClient(in, out);
}

nwapi::Status NW_CALL StandinParseNetWarePath(const char* path, nwapi::Connection* conn,
                                              nwapi::DirHandle* dirHandle, char* newPath) {
  return Simulation().ResolvePath(path, conn, dirHandle, newPath, nwapi::kPathSize);
}

nwapi::Status NW_CALL StandinGetNsPath(nwapi::Connection conn, uint8_t dirHandle, uint16_t fileFlag,
                                       uint8_t sourceNameSpace, uint8_t targetNameSpace,
                                       nwapi::NsPath* path) {
  if (path == nullptr) return 0x8836;
  return Simulation().ConvertNameSpace(conn, dirHandle, static_cast<uint8_t>(fileFlag),
                                       sourceNameSpace, targetNameSpace, path->sourcePath,
                                       path->targetPath, path->targetSize);
}

nwapi::Status NW_CALL StandinParsePath(const char* path, char* serverName, nwapi::Connection* conn,
                                       char* volumeName, char* dirPath) {
  uint32_t status = Simulation().VolumeNameOfPath(path, volumeName, nwapi::kVolumeNameSize);
  if (status != 0) return status;
  // The simulation knows only the volume; the other parts stay empty.
  PutText(serverName, "");
  PutText(dirPath, "");
  if (conn != nullptr) *conn = 0;
  return 0;
}

nwapi::Status NW_CALL StandinGetVolumeNumber(nwapi::Connection conn, const char* volumeName,
                                             uint16_t* volumeNumber) {
  return Simulation().VolumeNumber(conn, volumeName, volumeNumber);
}

nwapi::Status NW_CALL StandinGetConnectionInformation(nwapi::Connection conn, uint16_t number,
                                                      char* objectName, uint16_t* objectType,
                                                      uint32_t* objectId, uint8_t* loginTime) {
  return Simulation().LoginNameOfConnection(conn, number, objectName,
                                            objectName != nullptr ? nwapi::kObjectNameSize : 0,
                                            objectType, objectId, loginTime);
}

nwapi::Status NW_CALL StandinGetObjDiskRestrictions(nwapi::Connection conn, uint8_t volumeNumber,
                                                    uint32_t objectId, uint32_t* restriction,
                                                    uint32_t* inUse) {
  return Simulation().UserVolumeRestriction(conn, volumeNumber, objectId, restriction, inUse);
}

nwapi::Status NW_CALL StandinGetFileServerInformation(
    nwapi::Connection conn, char* serverName, uint8_t* majorVersion, uint8_t* minorVersion,
    uint8_t* revision, uint16_t* maxConnections, uint16_t* maxConnectionsUsed,
    uint16_t* connectionsInUse, uint16_t* volumeCount, uint8_t* sftLevel, uint8_t* ttsLevel) {
  char name[kServerNameSize];
  NwServerDetails details;
  uint32_t status = Simulation().QueryServerName(conn, name, sizeof name, &details);
  if (status != 0) return status;
  PutText(serverName, name);
  if (majorVersion) *majorVersion = details.majorVersion;
  if (minorVersion) *minorVersion = details.minorVersion;
  if (revision) *revision = details.revision;
  if (maxConnections) *maxConnections = details.maxConnections;
  if (maxConnectionsUsed) *maxConnectionsUsed = details.maxConnectionsUsed;
  if (connectionsInUse) *connectionsInUse = details.connectionsInUse;
  if (volumeCount) *volumeCount = details.volumeCount;
  if (sftLevel) *sftLevel = details.sftLevel;
  if (ttsLevel) *ttsLevel = details.ttsLevel;
  return 0;
}

nwapi::Status NW_CALL StandinAllocTemporaryDirectoryHandle(nwapi::Connection conn,
                                                           nwapi::DirHandle base, const char* path,
                                                           nwapi::DirHandle* newHandle,
                                                           uint8_t* rightsMask) {
  return Simulation().OpenTempDirHandle(conn, base, path, newHandle, rightsMask);
}

nwapi::Status NW_CALL StandinGetDirSpaceLimitList(nwapi::Connection conn,
                                                  nwapi::DirHandle dirHandle, uint8_t* reply) {
  size_t length = 0;
  return Simulation().ReadDirSpaceLimits(conn, dirHandle, reply, nwapi::kLimitListSize, &length);
}

nwapi::Status NW_CALL StandinDeallocateDirectoryHandle(nwapi::Connection conn,
                                                       nwapi::DirHandle dirHandle) {
  return Simulation().CloseDirHandle(conn, dirHandle);
}

}  // extern "C"
