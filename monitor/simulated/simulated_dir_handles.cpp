// The directory handles of the simulated client and the space limit lists
// read through them.
#include <cstring>

#include "simulated/server_paths.h"
#include "simulated/sim_status.h"
#include "simulated/simulated_client.h"
#include "netware/space_limit_list.h"

std::optional<NwDirHandle> SimulatedNetWareClient::AllocateDirHandle(NwConnection connection,
                                                                     const std::string& path) {
  for (int value = 1; value <= 255; ++value) {
    NwDirHandle handle = static_cast<NwDirHandle>(value);
    if (dirHandles_.count(handle) == 0) {
      dirHandles_[handle] = OpenDirHandle{connection, path};
      return handle;
    }
  }
  return std::nullopt;
}

uint32_t SimulatedNetWareClient::OpenTempDirHandle(NwConnection connection, NwDirHandle baseHandle,
                                                   const char* path, NwDirHandle* newHandle,
                                                   uint8_t* rightsMask) {
  if (auto answer = Enter(ClientOperation::OpenTempDirHandle)) return *answer;
  const ServerDescription* server = ServerOf(connection);
  if (server == nullptr) return simstatus::kInvalidConnection;
  if (path == nullptr || newHandle == nullptr) return simstatus::kInvalidParameter;
  std::string full = path;
  if (baseHandle != 0) {
    auto base = dirHandles_.find(baseHandle);
    if (base == dirHandles_.end() || base->second.connection != connection) {
      return simstatus::kBadDirHandle;
    }
    full = JoinPath(base->second.path, full);
  }
  std::optional<std::string> longForm = LongFormOf(server->name, full);
  if (!longForm) return simstatus::kInvalidPath;
  auto handle = AllocateDirHandle(connection, *longForm);
  if (!handle) return simstatus::kNoFreeDirHandle;
  *newHandle = *handle;
  if (rightsMask != nullptr) *rightsMask = 0xFF;
  return 0;
}

uint32_t SimulatedNetWareClient::ReadDirSpaceLimits(NwConnection connection, NwDirHandle dirHandle,
                                                    uint8_t* reply, size_t replySize,
                                                    size_t* replyLength) {
  if (auto answer = Enter(ClientOperation::ReadDirSpaceLimits)) return *answer;
  const ServerDescription* server = ServerOf(connection);
  if (server == nullptr) return simstatus::kInvalidConnection;
  auto open = dirHandles_.find(dirHandle);
  if (open == dirHandles_.end() || open->second.connection != connection) {
    return simstatus::kBadDirHandle;
  }
  if (reply == nullptr || replyLength == nullptr) return simstatus::kInvalidParameter;

  // A directory without a list of its own reports its nearest listed parent's.
  const LimitListDescription* best = nullptr;
  for (const LimitListDescription& list : network_.limitLists) {
    std::string rest;
    if (EqualsIgnoringCase(list.server, server->name) &&
        PathUnder(open->second.path, list.path, &rest) &&
        (best == nullptr || list.path.size() > best->path.size())) {
      best = &list;
    }
  }
  std::vector<uint8_t> bytes;
  if (best == nullptr) {
    bytes = EncodeDirSpaceLimitList(0, {});
  } else {
    int count =
        best->announcedCount >= 0 ? best->announcedCount : static_cast<int>(best->entries.size());
    bytes = EncodeDirSpaceLimitList(static_cast<uint8_t>(count), best->entries);
  }
  size_t length = bytes.size() < replySize ? bytes.size() : replySize;
  std::memcpy(reply, bytes.data(), length);
  *replyLength = length;
  return 0;
}

uint32_t SimulatedNetWareClient::CloseDirHandle(NwConnection connection, NwDirHandle dirHandle) {
  if (auto answer = Enter(ClientOperation::CloseDirHandle)) return *answer;
  auto open = dirHandles_.find(dirHandle);
  if (open == dirHandles_.end() || open->second.connection != connection) {
    return simstatus::kBadDirHandle;
  }
  dirHandles_.erase(open);
  return 0;
}
