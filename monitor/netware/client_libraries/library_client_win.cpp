#include "netware/client_libraries/library_client_win.h"

#include <cstring>

#include "core/fixed_text.h"

namespace {

// The client's answer when it succeeded, else that status; then the text,
// which the client NUL-terminated inside `scratch`, if it fits `out`.
uint32_t TextAnswer(uint32_t status, const char* scratch, size_t scratchSize, char* out,
                    size_t outSize) {
  if (status != 0) return status;
  size_t length = strnlen(scratch, scratchSize);
  if (length == scratchSize) return kBindingBufferTooSmall;  // no terminator
  return CopyToBuffer(out, outSize, std::string_view(scratch, length)) ? 0 : kBindingBufferTooSmall;
}

nwapi::Buffer AsPointer(NwDirBuffer buffer) { return reinterpret_cast<nwapi::Buffer>(buffer); }

uint32_t AsStatus(nwapi::DirStatus status) { return static_cast<uint32_t>(status); }

// Bytes one value of a syntax takes; 0 for a syntax the monitor never reads.
size_t ValueSizeOf(uint32_t syntaxId) {
  switch (syntaxId) {
    case kSyntaxBoolean:
      return 1;
    case kSyntaxInteger:
    case kSyntaxCounter:
      return 4;
    default:
      return 0;
  }
}

}  // namespace

uint32_t LibraryNetWareClient::StartClient(const void* reserved1, const void* reserved2) {
  return nw_.CallsInit(const_cast<void*>(reserved1), const_cast<void*>(reserved2));
}

uint32_t LibraryNetWareClient::ResolvePath(const char* path, NwConnection* connection,
                                           NwDirHandle* dirHandle, char* serverPath,
                                           size_t serverPathSize) {
  if (connection == nullptr || dirHandle == nullptr) return kBindingNoValue;
  char scratch[nwapi::kPathSize * 2] = "";
  uint32_t status = nw_.ParseNetWarePath(path, connection, dirHandle, scratch);
  return TextAnswer(status, scratch, sizeof scratch, serverPath, serverPathSize);
}

uint32_t LibraryNetWareClient::ConvertNameSpace(NwConnection connection, NwDirHandle dirHandle,
                                                uint8_t flag, uint8_t sourceNameSpace,
                                                uint8_t targetNameSpace, const char* source,
                                                char* target, uint16_t targetSize) {
  if (target == nullptr || targetSize == 0) return kBindingNoValue;
  // The record's source is not const; hand the client a copy of ours.
  char sourceCopy[nwapi::kPathSize * 2];
  if (source == nullptr || std::strlen(source) + 1 > sizeof sourceCopy) return kBindingNoValue;
  std::strcpy(sourceCopy, source);
  nwapi::NsPath paths{sourceCopy, target, targetSize};
  uint32_t status =
      nw_.GetNsPath(connection, dirHandle, flag, sourceNameSpace, targetNameSpace, &paths);
  if (status == 0 && strnlen(target, targetSize) == targetSize) return kBindingBufferTooSmall;
  return status;
}

uint32_t LibraryNetWareClient::VolumeNameOfPath(const char* path, char* volumeName,
                                                size_t volumeNameSize) {
  char volume[nwapi::kVolumeNameSize * 4] = "";
  char directory[nwapi::kPathSize * 2] = "";
  // No connection asked for: the parser would open a new one to be closed.
  uint32_t status = nw_.ParsePath(path, nullptr, nullptr, volume, directory);
  return TextAnswer(status, volume, sizeof volume, volumeName, volumeNameSize);
}

uint32_t LibraryNetWareClient::VolumeNumber(NwConnection connection, const char* volumeName,
                                            uint16_t* volumeNumber) {
  if (volumeNumber == nullptr) return kBindingNoValue;
  return nw_.GetVolumeNumber(connection, volumeName, volumeNumber);
}

uint32_t LibraryNetWareClient::ConnectionItem(NwConnection connection, uint32_t selector,
                                              uint32_t size, void* item) {
  if (item == nullptr) return kBindingNoValue;
  return nw_.GetConnInfo(connection, selector, size, item);
}

uint32_t LibraryNetWareClient::LoginNameOfConnection(NwConnection connection,
                                                     uint16_t connectionNumber, char* loginName,
                                                     size_t loginNameSize, uint16_t* objectType,
                                                     uint32_t* objectId, uint8_t loginTime[7]) {
  char name[nwapi::kObjectNameSize * 4] = "";
  uint32_t status = nw_.GetConnectionInformation(connection, connectionNumber,
                                                 loginName != nullptr ? name : nullptr, objectType,
                                                 objectId, loginTime);
  if (loginName == nullptr) return status;
  return TextAnswer(status, name, sizeof name, loginName, loginNameSize);
}

uint32_t LibraryNetWareClient::UserVolumeRestriction(NwConnection connection, uint8_t volumeNumber,
                                                     uint32_t objectId, uint32_t* restrictionBlocks,
                                                     uint32_t* inUseBlocks) {
  if (restrictionBlocks == nullptr || inUseBlocks == nullptr) return kBindingNoValue;
  return nw_.GetObjDiskRestrictions(connection, volumeNumber, objectId, restrictionBlocks,
                                    inUseBlocks);
}

uint32_t LibraryNetWareClient::QueryServerName(NwConnection connection, char* serverName,
                                               size_t serverNameSize, NwServerDetails* details) {
  char name[kServerNameSize * 2] = "";
  NwServerDetails facts;
  uint32_t status = nw_.GetFileServerInformation(
      connection, name, &facts.majorVersion, &facts.minorVersion, &facts.revision,
      &facts.maxConnections, &facts.maxConnectionsUsed, &facts.connectionsInUse, &facts.volumeCount,
      &facts.sftLevel, &facts.ttsLevel);
  if (status == 0 && details != nullptr) *details = facts;
  return TextAnswer(status, name, sizeof name, serverName, serverNameSize);
}

uint32_t LibraryNetWareClient::OpenTempDirHandle(NwConnection connection, NwDirHandle baseHandle,
                                                 const char* path, NwDirHandle* newHandle,
                                                 uint8_t* rightsMask) {
  if (newHandle == nullptr) return kBindingNoValue;
  uint8_t rights = 0;
  uint32_t status =
      nw_.AllocTemporaryDirectoryHandle(connection, baseHandle, path, newHandle, &rights);
  if (status == 0 && rightsMask != nullptr) *rightsMask = rights;
  return status;
}

uint32_t LibraryNetWareClient::ReadDirSpaceLimits(NwConnection connection, NwDirHandle dirHandle,
                                                  uint8_t* reply, size_t replySize,
                                                  size_t* replyLength) {
  if (reply == nullptr || replyLength == nullptr) return kBindingNoValue;
  *replyLength = 0;
  uint8_t list[nwapi::kLimitListSize] = {};
  uint32_t status = nw_.GetDirSpaceLimitList(connection, dirHandle, list);
  if (status != 0) return status;
  // The client does not say how much it wrote; the count byte tells the
  // reader how much of the 512 bytes is meant.
  size_t length = replySize < sizeof list ? replySize : sizeof list;
  std::memcpy(reply, list, length);
  *replyLength = length;
  return 0;
}

uint32_t LibraryNetWareClient::CloseDirHandle(NwConnection connection, NwDirHandle dirHandle) {
  return nw_.DeallocateDirectoryHandle(connection, dirHandle);
}

uint32_t LibraryNetWareClient::LocaleNumbers(uint8_t* localeRecord, size_t localeRecordSize) {
  if (localeRecord == nullptr) return kBindingNoValue;
  nwapi::LocaleRecord record{};
  nwapi::LocaleRecord* filled = nw_.LocaleConv(&record);
  size_t length = localeRecordSize < sizeof record ? localeRecordSize : sizeof record;
  std::memcpy(localeRecord, &record, length);
  // The client answers a pointer, not a status.
  return filled != nullptr ? 0 : kBindingNoValue;
}

uint32_t LibraryNetWareClient::StartCharConversion(uint32_t first, uint32_t second) {
  return static_cast<uint32_t>(
      nw_.InitUnicodeTables(static_cast<int32_t>(first), static_cast<int32_t>(second)));
}

uint32_t LibraryNetWareClient::EndCharConversion() {
  return static_cast<uint32_t>(nw_.FreeUnicodeTables());
}

uint32_t LibraryNetWareClient::OpenDirContext(NwDirContext* context) {
  if (context == nullptr) return kBindingNoValue;
  nwapi::Context handle = 0;
  nwapi::DirStatus status = nw_.CreateContextHandle(&handle);
  if (status == 0) *context = handle;
  return AsStatus(status);
}

uint32_t LibraryNetWareClient::IsDirAuthenticated() {
  return static_cast<uint32_t>(nw_.IsDsAuthenticated());
}

uint32_t LibraryNetWareClient::AllocDirBuffer(size_t size, NwDirBuffer* buffer) {
  if (buffer == nullptr) return kBindingNoValue;
  nwapi::Buffer allocated = nullptr;
  nwapi::DirStatus status = nw_.AllocBuf(size, &allocated);
  if (status == 0) *buffer = reinterpret_cast<NwDirBuffer>(allocated);
  return AsStatus(status);
}

uint32_t LibraryNetWareClient::PrepareDirBuffer(NwDirContext context, uint32_t operation,
                                                NwDirBuffer buffer) {
  return AsStatus(nw_.InitBuf(context, operation, AsPointer(buffer)));
}

uint32_t LibraryNetWareClient::AddAttributeName(NwDirContext context, NwDirBuffer buffer,
                                                const char* attributeName) {
  return AsStatus(nw_.PutAttrName(context, AsPointer(buffer), attributeName));
}

uint32_t LibraryNetWareClient::LoggedInObjectName(NwDirContext context, char* objectName,
                                                  size_t objectNameSize) {
  char name[nwapi::kDistinguishedNameSize] = "";
  uint32_t status = AsStatus(nw_.WhoAmI(context, name));
  return TextAnswer(status, name, sizeof name, objectName, objectNameSize);
}

uint32_t LibraryNetWareClient::ReadObject(NwDirContext context, const char* objectName,
                                          uint32_t infoType, uint8_t allAttributes,
                                          NwDirBuffer attributeNames, int32_t* iterationHandle,
                                          NwDirBuffer reply) {
  if (iterationHandle == nullptr) return kBindingNoValue;
  return AsStatus(nw_.Read(context, objectName, infoType, allAttributes, AsPointer(attributeNames),
                           iterationHandle, AsPointer(reply)));
}

uint32_t LibraryNetWareClient::ReplyAttributeCount(NwDirContext context, NwDirBuffer reply,
                                                   uint32_t* count) {
  if (count == nullptr) return kBindingNoValue;
  return AsStatus(nw_.GetAttrCount(context, AsPointer(reply), count));
}

uint32_t LibraryNetWareClient::NextAttributeName(NwDirContext context, NwDirBuffer reply,
                                                 char* attributeName, size_t attributeNameSize,
                                                 uint32_t* valueCount, uint32_t* syntaxId) {
  if (valueCount == nullptr || syntaxId == nullptr) return kBindingNoValue;
  char name[nwapi::kSchemaNameSize * 2] = "";
  uint32_t status =
      AsStatus(nw_.GetAttrName(context, AsPointer(reply), name, valueCount, syntaxId));
  return TextAnswer(status, name, sizeof name, attributeName, attributeNameSize);
}

uint32_t LibraryNetWareClient::NextAttributeValue(NwDirContext context, NwDirBuffer reply,
                                                  uint32_t syntaxId, void* value,
                                                  size_t valueSize) {
  size_t size = ValueSizeOf(syntaxId);
  if (size == 0) return kBindingUnknownSyntax;
  if (value == nullptr || valueSize < size) return kBindingBufferTooSmall;
  alignas(8) uint8_t scratch[16] = {};
  uint32_t status = AsStatus(nw_.GetAttrVal(context, AsPointer(reply), syntaxId, scratch));
  if (status == 0) std::memcpy(value, scratch, size);
  return status;
}

uint32_t LibraryNetWareClient::FreeDirBuffer(NwDirBuffer buffer) {
  return AsStatus(nw_.FreeBuf(AsPointer(buffer)));
}

uint32_t LibraryNetWareClient::CloseDirContext(NwDirContext context) {
  return AsStatus(nw_.FreeContext(context));
}
