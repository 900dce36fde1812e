// The file server operations of the simulated client: paths, volumes and
// the connection's items.
#include <cstring>
#include <initializer_list>

#include "core/fixed_text.h"
#include "simulated/description_values.h"
#include "simulated/server_paths.h"
#include "simulated/sim_status.h"
#include "simulated/simulated_client.h"

namespace {

constexpr uint16_t kUserObjectType = 1;
constexpr uint16_t kConvertTargetMinSize = kMaxServerPathLength + 1;

}  // namespace

const ServerDescription* SimulatedNetWareClient::ServerOf(NwConnection connection) const {
  auto open = connections_.find(connection);
  if (open == connections_.end()) return nullptr;
  for (const ServerDescription& server : network_.servers) {
    if (EqualsIgnoringCase(server.name, open->second)) return &server;
  }
  return nullptr;  // the server left the description
}

// The mapping with the longest local path that holds localPath.
const DriveMapping* SimulatedNetWareClient::MappingOf(const std::string& localPath,
                                                      std::string* rest) const {
  const DriveMapping* best = nullptr;
  for (const DriveMapping& drive : network_.drives) {
    std::string below;
    if (PathUnder(localPath, drive.localPath, &below) &&
        (best == nullptr || drive.localPath.size() > best->localPath.size())) {
      best = &drive;
      *rest = below;
    }
  }
  return best;
}

// A server path in either name space's form, turned into the long form, if it
// lies under a mapped path of the server.
std::optional<std::string> SimulatedNetWareClient::LongFormOf(const std::string& server,
                                                              const std::string& path) const {
  std::optional<std::string> best;
  size_t bestRootLength = 0;
  for (const DriveMapping& drive : network_.drives) {
    if (!EqualsIgnoringCase(drive.server, server)) continue;
    for (const std::string* root : {&drive.serverPath, &drive.longPath}) {
      std::string rest;
      if (PathUnder(path, *root, &rest) && (!best || root->size() > bestRootLength)) {
        best = JoinPath(drive.longPath, rest);
        bestRootLength = root->size();
      }
    }
  }
  return best;
}

uint32_t SimulatedNetWareClient::ResolvePath(const char* path, NwConnection* connection,
                                             NwDirHandle* dirHandle, char* serverPath,
                                             size_t serverPathSize) {
  if (auto answer = Enter(ClientOperation::ResolvePath)) return *answer;
  if (path == nullptr || connection == nullptr || dirHandle == nullptr || serverPath == nullptr) {
    return simstatus::kInvalidParameter;
  }
  std::string rest;
  const DriveMapping* drive = MappingOf(path, &rest);
  if (drive == nullptr) return simstatus::kInvalidPath;
  std::string full = JoinPath(drive->serverPath, rest);
  if (full.size() + 1 > serverPathSize) return simstatus::kBufferTooSmall;

  // The mapping's connection and directory handle exist once per client and
  // are handed out again on every later resolve: they belong to the drive.
  NwConnection handle = 0;
  for (const auto& [open, server] : connections_) {
    if (EqualsIgnoringCase(server, drive->server)) handle = open;
  }
  if (handle == 0) {
    handle = nextConnection_++;
    connections_[handle] = drive->server;
  }
  std::string driveKey = Upper(drive->localPath);
  auto existing = driveHandles_.find(driveKey);
  NwDirHandle driveHandle = 0;
  if (existing != driveHandles_.end() && dirHandles_.count(existing->second) != 0) {
    driveHandle = existing->second;
  } else {
    auto allocated = AllocateDirHandle(handle, drive->longPath);
    if (!allocated) return simstatus::kNoFreeDirHandle;
    driveHandle = *allocated;
    driveHandles_[driveKey] = driveHandle;
  }
  *connection = handle;
  *dirHandle = driveHandle;
  CopyToBuffer(serverPath, serverPathSize, full);
  return 0;
}

uint32_t SimulatedNetWareClient::ConvertNameSpace(NwConnection connection, NwDirHandle dirHandle,
                                                  uint8_t flag, uint8_t sourceNameSpace,
                                                  uint8_t targetNameSpace, const char* source,
                                                  char* target, uint16_t targetSize) {
  std::string detail = std::to_string(sourceNameSpace) + ">" + std::to_string(targetNameSpace);
  if (auto answer = Enter(ClientOperation::ConvertNameSpace, detail, sourceNameSpace)) {
    return *answer;
  }
  const ServerDescription* server = ServerOf(connection);
  if (server == nullptr) return simstatus::kInvalidConnection;
  // Only whole server paths are converted here: relative to no handle, with
  // no flag, into a target that holds the longest path a server gives.
  if (dirHandle != 0) return simstatus::kBadDirHandle;
  if (flag != 0 || source == nullptr || target == nullptr) return simstatus::kInvalidParameter;
  if (targetSize < kConvertTargetMinSize) return simstatus::kBufferTooSmall;
  if (targetNameSpace != kNameSpaceLong ||
      (sourceNameSpace != kNameSpaceDos && sourceNameSpace != kNameSpaceLong)) {
    return simstatus::kBadNameSpace;
  }
  if (sourceNameSpace == kNameSpaceDos && !IsShortNamePath(source)) {
    return simstatus::kInvalidName;
  }
  std::optional<std::string> longForm = LongFormOf(server->name, source);
  if (!longForm) return simstatus::kInvalidPath;
  if (!CopyToBuffer(target, targetSize, *longForm)) return simstatus::kBufferTooSmall;
  return 0;
}

uint32_t SimulatedNetWareClient::VolumeNameOfPath(const char* path, char* volumeName,
                                                  size_t volumeNameSize) {
  if (auto answer = Enter(ClientOperation::VolumeNameOfPath)) return *answer;
  if (path == nullptr || volumeName == nullptr) return simstatus::kInvalidParameter;
  // Only local paths are known here; a server path is not one.
  std::string rest;
  const DriveMapping* drive = MappingOf(path, &rest);
  if (drive == nullptr) return simstatus::kInvalidPath;
  if (!CopyToBuffer(volumeName, volumeNameSize, drive->volume)) return simstatus::kBufferTooSmall;
  return 0;
}

uint32_t SimulatedNetWareClient::VolumeNumber(NwConnection connection, const char* volumeName,
                                              uint16_t* volumeNumber) {
  if (auto answer = Enter(ClientOperation::VolumeNumber)) return *answer;
  const ServerDescription* server = ServerOf(connection);
  if (server == nullptr) return simstatus::kInvalidConnection;
  if (volumeName == nullptr || volumeNumber == nullptr) return simstatus::kInvalidParameter;
  for (const VolumeDescription& volume : network_.volumes) {
    if (EqualsIgnoringCase(volume.server, server->name) &&
        EqualsIgnoringCase(volume.name, volumeName)) {
      *volumeNumber = volume.number;
      return 0;
    }
  }
  return simstatus::kNoSuchVolume;
}

uint32_t SimulatedNetWareClient::ConnectionItem(NwConnection connection, uint32_t selector,
                                                uint32_t size, void* item) {
  if (auto answer = Enter(ClientOperation::ConnectionItem, std::to_string(selector), selector)) {
    return *answer;
  }
  const ServerDescription* server = ServerOf(connection);
  if (server == nullptr) return simstatus::kInvalidConnection;
  if (item == nullptr) return simstatus::kInvalidParameter;
  uint32_t value = 0;
  if (selector == kItemConnectionNumber) {
    value = server->connectionNumber;
  } else if (selector == kItemUserObjectId) {
    value = server->userObjectId;
  } else {
    return simstatus::kUnknownItem;
  }
  if (size < sizeof value) return simstatus::kBufferTooSmall;
  std::memcpy(item, &value, sizeof value);
  return 0;
}

uint32_t SimulatedNetWareClient::LoginNameOfConnection(NwConnection connection,
                                                       uint16_t connectionNumber, char* loginName,
                                                       size_t loginNameSize, uint16_t* objectType,
                                                       uint32_t* objectId, uint8_t loginTime[7]) {
  if (auto answer = Enter(ClientOperation::LoginNameOfConnection)) return *answer;
  const ServerDescription* server = ServerOf(connection);
  if (server == nullptr) return simstatus::kInvalidConnection;
  if ((server->connectionNumber & 0xFFFF) != connectionNumber) {
    return simstatus::kNoSuchConnectionNumber;
  }
  if (loginName != nullptr && !CopyToBuffer(loginName, loginNameSize, server->loginName)) {
    return simstatus::kBufferTooSmall;
  }
  if (objectType != nullptr) *objectType = kUserObjectType;
  if (objectId != nullptr) *objectId = server->userObjectId;
  if (loginTime != nullptr) {
    const uint8_t monday[7] = {126, 12, 7, 8, 0, 0, 1};  // year-1900, month, day, h, m, s, weekday
    std::memcpy(loginTime, monday, sizeof monday);
  }
  return 0;
}

uint32_t SimulatedNetWareClient::UserVolumeRestriction(NwConnection connection,
                                                       uint8_t volumeNumber, uint32_t objectId,
                                                       uint32_t* restrictionBlocks,
                                                       uint32_t* inUseBlocks) {
  if (auto answer = Enter(ClientOperation::UserVolumeRestriction)) return *answer;
  const ServerDescription* server = ServerOf(connection);
  if (server == nullptr) return simstatus::kInvalidConnection;
  if (restrictionBlocks == nullptr || inUseBlocks == nullptr) {
    return simstatus::kInvalidParameter;
  }
  if (objectId != server->userObjectId) return simstatus::kNoSuchObject;
  for (const VolumeDescription& volume : network_.volumes) {
    if (EqualsIgnoringCase(volume.server, server->name) && (volume.number & 0xFF) == volumeNumber) {
      *restrictionBlocks = volume.restrictionBlocks;
      *inUseBlocks = volume.inUseBlocks;
      return 0;
    }
  }
  return simstatus::kNoSuchVolume;
}

uint32_t SimulatedNetWareClient::QueryServerName(NwConnection connection, char* serverName,
                                                 size_t serverNameSize, NwServerDetails* details) {
  if (auto answer = Enter(ClientOperation::QueryServerName)) return *answer;
  const ServerDescription* server = ServerOf(connection);
  if (server == nullptr) return simstatus::kInvalidConnection;
  if (serverName != nullptr && !CopyToBuffer(serverName, serverNameSize, server->name)) {
    return simstatus::kBufferTooSmall;
  }
  if (details != nullptr) {
    *details = NwServerDetails{};
    details->majorVersion = 4;
    details->minorVersion = 11;
    details->maxConnections = 250;
    details->maxConnectionsUsed = 1;
    details->connectionsInUse = 1;
    for (const VolumeDescription& volume : network_.volumes) {
      if (EqualsIgnoringCase(volume.server, server->name)) ++details->volumeCount;
    }
  }
  return 0;
}
