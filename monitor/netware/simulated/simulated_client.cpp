#include "netware/simulated/simulated_client.h"

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "netware/debug_output.h"
#include "netware/simulated/description_file.h"
#include "netware/simulated/server_paths.h"
#include "netware/simulated/sim_status.h"
#include "netware/space_limit_list.h"

namespace {

constexpr size_t kLocaleFirstOffset = 60;
constexpr size_t kLocaleSecondOffset = 56;
constexpr size_t kLocaleRecordMinSize = 64;
constexpr uint16_t kUserObjectType = 1;

// Writes text with its NUL if it fits.
bool CopyOut(const std::string& text, char* out, size_t size) {
  if (out == nullptr || text.size() + 1 > size) return false;
  std::memcpy(out, text.c_str(), text.size() + 1);
  return true;
}

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

void PutNumber(uint8_t* record, size_t offset, uint32_t value) {
  std::memcpy(record + offset, &value, sizeof value);
}

}  // namespace

std::optional<uint32_t> SimulatedNetWareClient::Enter(ClientOperation operation,
                                                      const std::string& detail,
                                                      int64_t qualifier) {
  std::string entry = ClientOperationName(operation);
  if (!detail.empty()) entry += " " + detail;
  callLog_.push_back(entry);
  for (const FailureRule& rule : network_.failures) {
    if (rule.operation == operation && (rule.qualifier == -1 || rule.qualifier == qualifier)) {
      return rule.status;
    }
  }
  if (!started_) return simstatus::kNotStarted;
  return std::nullopt;
}

// --- File server access ---

uint32_t SimulatedNetWareClient::StartClient(const void*, const void*) {
  callLog_.push_back(ClientOperationName(ClientOperation::StartClient));
  started_ = false;
  const char* path = std::getenv(kNetworkVariable);
  if (path == nullptr || *path == '\0') {
    NetWareDebugPrint("BRIMLET_NETWORK is not set: no NetWare network to talk to\n");
    return simstatus::kNoNetwork;
  }
  NetworkDescription fresh;
  std::string message;
  if (!LoadNetworkDescription(path, &fresh, &message)) {
    NetWareDebugPrint((message + "\n").c_str());
    return simstatus::kNoNetwork;
  }
  network_ = std::move(fresh);
  for (const FailureRule& rule : network_.failures) {
    if (rule.operation == ClientOperation::StartClient) return rule.status;
  }
  started_ = true;
  return 0;
}

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
  CopyOut(full, serverPath, serverPathSize);
  return 0;
}

uint32_t SimulatedNetWareClient::ConvertNameSpace(NwConnection connection, NwDirHandle dirHandle,
                                                  uint8_t, uint8_t sourceNameSpace,
                                                  uint8_t targetNameSpace, const char* source,
                                                  char* target, uint16_t targetSize) {
  std::string detail = std::to_string(sourceNameSpace) + ">" + std::to_string(targetNameSpace);
  if (auto answer = Enter(ClientOperation::ConvertNameSpace, detail, sourceNameSpace)) {
    return *answer;
  }
  const ServerDescription* server = ServerOf(connection);
  if (server == nullptr) return simstatus::kInvalidConnection;
  if (dirHandle != 0 && dirHandles_.count(dirHandle) == 0) return simstatus::kBadDirHandle;
  if (source == nullptr || target == nullptr) return simstatus::kInvalidParameter;
  if (targetNameSpace != kNameSpaceLong ||
      (sourceNameSpace != kNameSpaceDos && sourceNameSpace != kNameSpaceLong)) {
    return simstatus::kBadNameSpace;
  }
  if (sourceNameSpace == kNameSpaceDos && !IsShortNamePath(source)) {
    return simstatus::kInvalidName;
  }
  std::optional<std::string> longForm = LongFormOf(server->name, source);
  if (!longForm) return simstatus::kInvalidPath;
  if (!CopyOut(*longForm, target, targetSize)) return simstatus::kBufferTooSmall;
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
  if (!CopyOut(drive->volume, volumeName, volumeNameSize)) return simstatus::kBufferTooSmall;
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
  if (loginName != nullptr && !CopyOut(server->loginName, loginName, loginNameSize)) {
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
  if (serverName != nullptr && !CopyOut(server->name, serverName, serverNameSize)) {
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

// --- Locale and character conversion ---

uint32_t SimulatedNetWareClient::LocaleNumbers(uint8_t* localeRecord, size_t localeRecordSize) {
  if (auto answer = Enter(ClientOperation::LocaleNumbers)) return *answer;
  if (localeRecord == nullptr || localeRecordSize < kLocaleRecordMinSize) {
    return simstatus::kBufferTooSmall;
  }
  std::memset(localeRecord, 0, localeRecordSize);
  PutNumber(localeRecord, kLocaleFirstOffset, kSimulatedCountry);
  PutNumber(localeRecord, kLocaleSecondOffset, kSimulatedCodePage);
  return 0;
}

uint32_t SimulatedNetWareClient::StartCharConversion(uint32_t first, uint32_t second) {
  if (auto answer = Enter(ClientOperation::StartCharConversion)) return *answer;
  if (first != kSimulatedCountry || second != kSimulatedCodePage) return simstatus::kBadLocale;
  ++conversions_;
  return 0;
}

uint32_t SimulatedNetWareClient::EndCharConversion() {
  if (auto answer = Enter(ClientOperation::EndCharConversion)) return *answer;
  if (conversions_ == 0) return simstatus::kNoConversion;
  --conversions_;
  return 0;
}

// --- Directory access ---

SimulatedNetWareClient::DirBufferState* SimulatedNetWareClient::BufferOf(NwDirBuffer buffer) {
  auto found = buffers_.find(buffer);
  return found == buffers_.end() ? nullptr : &found->second;
}

uint32_t SimulatedNetWareClient::OpenDirContext(NwDirContext* context) {
  if (auto answer = Enter(ClientOperation::OpenDirContext)) return *answer;
  if (context == nullptr) return simstatus::kInvalidParameter;
  *context = nextContext_++;
  contexts_.insert(*context);
  return 0;
}

uint32_t SimulatedNetWareClient::IsDirAuthenticated() {
  if (auto answer = Enter(ClientOperation::IsDirAuthenticated)) {
    return *answer == simstatus::kNotStarted ? 0 : *answer;
  }
  return network_.directory.authenticated ? 1 : 0;
}

uint32_t SimulatedNetWareClient::AllocDirBuffer(size_t size, NwDirBuffer* buffer) {
  if (auto answer = Enter(ClientOperation::AllocDirBuffer)) return *answer;
  if (buffer == nullptr || size == 0) return simstatus::kInvalidParameter;
  *buffer = nextBuffer_++;
  buffers_[*buffer].size = size;
  return 0;
}

uint32_t SimulatedNetWareClient::PrepareDirBuffer(NwDirContext context, uint32_t operation,
                                                  NwDirBuffer buffer) {
  if (auto answer = Enter(ClientOperation::PrepareDirBuffer, std::to_string(buffer))) {
    return *answer;
  }
  if (contexts_.count(context) == 0) return simstatus::kDirBadContext;
  DirBufferState* state = BufferOf(buffer);
  if (state == nullptr) return simstatus::kDirBadBuffer;
  state->preparedForRead = operation == kDirOperationRead;
  state->requestedNames.clear();
  return 0;
}

uint32_t SimulatedNetWareClient::AddAttributeName(NwDirContext context, NwDirBuffer buffer,
                                                  const char* attributeName) {
  if (auto answer = Enter(ClientOperation::AddAttributeName, attributeName ? attributeName : "")) {
    return *answer;
  }
  if (contexts_.count(context) == 0) return simstatus::kDirBadContext;
  DirBufferState* state = BufferOf(buffer);
  if (state == nullptr) return simstatus::kDirBadBuffer;
  if (!state->preparedForRead) return simstatus::kDirBufferNotPrepared;
  if (attributeName == nullptr) return simstatus::kInvalidParameter;
  size_t used = 0;
  for (const std::string& name : state->requestedNames) used += name.size() + 1;
  if (used + std::strlen(attributeName) + 1 > state->size) return simstatus::kBufferTooSmall;
  state->requestedNames.push_back(attributeName);
  return 0;
}

uint32_t SimulatedNetWareClient::LoggedInObjectName(NwDirContext context, char* objectName,
                                                    size_t objectNameSize) {
  if (auto answer = Enter(ClientOperation::LoggedInObjectName)) return *answer;
  if (contexts_.count(context) == 0) return simstatus::kDirBadContext;
  if (network_.directory.objectName.empty()) return simstatus::kDirNotLoggedIn;
  if (!CopyOut(network_.directory.objectName, objectName, objectNameSize)) {
    return simstatus::kBufferTooSmall;
  }
  return 0;
}

uint32_t SimulatedNetWareClient::ReadObject(NwDirContext context, const char* objectName,
                                            uint32_t infoType, uint8_t allAttributes,
                                            NwDirBuffer attributeNames, int32_t* iterationHandle,
                                            NwDirBuffer reply) {
  if (auto answer = Enter(ClientOperation::ReadObject)) return *answer;
  if (contexts_.count(context) == 0) return simstatus::kDirBadContext;
  if (objectName == nullptr || network_.directory.objectName.empty() ||
      !EqualsIgnoringCase(objectName, network_.directory.objectName)) {
    return simstatus::kDirNoSuchObject;
  }
  if (infoType != kDirInfoNamesAndValues) return simstatus::kDirBadInfoType;
  DirBufferState* request = allAttributes ? nullptr : BufferOf(attributeNames);
  if (!allAttributes && request == nullptr) return simstatus::kDirBadBuffer;
  if (request != nullptr && !request->preparedForRead) return simstatus::kDirBufferNotPrepared;
  DirBufferState* answer = BufferOf(reply);
  if (answer == nullptr) return simstatus::kDirBadBuffer;

  // Directory names match without regard to case; the reply spells each
  // attribute as the object carries it.
  std::vector<DirectoryAttribute> attributes;
  for (const DirectoryAttribute& attribute : network_.directory.attributes) {
    bool wanted = allAttributes != 0;
    for (size_t i = 0; request != nullptr && !wanted && i < request->requestedNames.size(); ++i) {
      wanted = EqualsIgnoringCase(request->requestedNames[i], attribute.name);
    }
    if (wanted) attributes.push_back(attribute);
  }
  answer->holdsReply = true;
  answer->reply = std::move(attributes);
  answer->nextAttribute = 0;
  answer->nextValue = 0;
  if (iterationHandle != nullptr) *iterationHandle = -1;  // everything came in one reply
  return 0;
}

uint32_t SimulatedNetWareClient::ReplyAttributeCount(NwDirContext context, NwDirBuffer reply,
                                                     uint32_t* count) {
  if (auto answer = Enter(ClientOperation::ReplyAttributeCount)) return *answer;
  if (contexts_.count(context) == 0) return simstatus::kDirBadContext;
  DirBufferState* state = BufferOf(reply);
  if (state == nullptr) return simstatus::kDirBadBuffer;
  if (!state->holdsReply) return simstatus::kDirNoReply;
  if (count == nullptr) return simstatus::kInvalidParameter;
  *count = static_cast<uint32_t>(state->reply.size());
  return 0;
}

uint32_t SimulatedNetWareClient::NextAttributeName(NwDirContext context, NwDirBuffer reply,
                                                   char* attributeName, size_t attributeNameSize,
                                                   uint32_t* valueCount, uint32_t* syntaxId) {
  if (auto answer = Enter(ClientOperation::NextAttributeName)) return *answer;
  if (contexts_.count(context) == 0) return simstatus::kDirBadContext;
  DirBufferState* state = BufferOf(reply);
  if (state == nullptr) return simstatus::kDirBadBuffer;
  if (!state->holdsReply) return simstatus::kDirNoReply;
  if (state->nextAttribute >= state->reply.size()) return simstatus::kDirNoMoreAttributes;
  const DirectoryAttribute& attribute = state->reply[state->nextAttribute];
  if (!CopyOut(attribute.name, attributeName, attributeNameSize)) {
    return simstatus::kBufferTooSmall;
  }
  if (valueCount != nullptr) *valueCount = static_cast<uint32_t>(attribute.values.size());
  if (syntaxId != nullptr) *syntaxId = attribute.syntax;
  ++state->nextAttribute;
  state->nextValue = 0;
  return 0;
}

uint32_t SimulatedNetWareClient::NextAttributeValue(NwDirContext context, NwDirBuffer reply,
                                                    uint32_t syntaxId, void* value,
                                                    size_t valueSize) {
  if (auto answer = Enter(ClientOperation::NextAttributeValue)) return *answer;
  if (contexts_.count(context) == 0) return simstatus::kDirBadContext;
  DirBufferState* state = BufferOf(reply);
  if (state == nullptr) return simstatus::kDirBadBuffer;
  if (!state->holdsReply || state->nextAttribute == 0) return simstatus::kDirNoMoreValues;
  const DirectoryAttribute& attribute = state->reply[state->nextAttribute - 1];
  if (syntaxId != attribute.syntax) return simstatus::kDirSyntaxMismatch;
  if (state->nextValue >= attribute.values.size()) return simstatus::kDirNoMoreValues;
  if (value == nullptr) return simstatus::kInvalidParameter;
  int32_t number = attribute.values[state->nextValue];
  if (syntaxId == kSyntaxBoolean) {
    if (valueSize < 1) return simstatus::kBufferTooSmall;
    *static_cast<uint8_t*>(value) = number != 0 ? 1 : 0;
  } else {
    if (valueSize < sizeof number) return simstatus::kBufferTooSmall;
    std::memcpy(value, &number, sizeof number);
  }
  ++state->nextValue;
  return 0;
}

uint32_t SimulatedNetWareClient::FreeDirBuffer(NwDirBuffer buffer) {
  if (auto answer = Enter(ClientOperation::FreeDirBuffer, std::to_string(buffer))) {
    return *answer;
  }
  if (buffers_.erase(buffer) == 0) return simstatus::kDirBadBuffer;
  return 0;
}

uint32_t SimulatedNetWareClient::CloseDirContext(NwDirContext context) {
  if (auto answer = Enter(ClientOperation::CloseDirContext)) return *answer;
  if (contexts_.erase(context) == 0) return simstatus::kDirBadContext;
  return 0;
}

OpenObjectCounts SimulatedNetWareClient::OpenObjects() const {
  OpenObjectCounts counts;
  counts.connections = static_cast<int>(connections_.size());
  counts.dirHandles = static_cast<int>(dirHandles_.size());
  counts.contexts = static_cast<int>(contexts_.size());
  counts.buffers = static_cast<int>(buffers_.size());
  counts.conversions = conversions_;
  return counts;
}
