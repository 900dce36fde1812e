// The seam between the monitor and a NetWare client. The monitor talks to the
// file server and the directory only through these operations, so the queries
// run the same against the real client libraries and against our simulated
// network.
#pragma once

#include <cstddef>
#include <cstdint>

// Handles are opaque numbers handed out by the client and given back to it.
using NwConnection = uint32_t;  // a connection to a file server
using NwDirHandle = uint8_t;    // a directory handle on a connection
using NwDirContext = uint32_t;  // a directory (NDS) context
// The client hands out its directory buffers as pointers; the handle holds
// one as it is, at the platform's pointer width.
using NwDirBuffer = uintptr_t;  // a directory request or reply buffer

// Name spaces of a server path.
constexpr uint8_t kNameSpaceDos = 0;   // short 8.3 names
constexpr uint8_t kNameSpaceLong = 4;  // long names

// ConnectionItem selectors (each item is 4 bytes).
constexpr uint32_t kItemConnectionNumber = 5;
constexpr uint32_t kItemUserObjectId = 6;

// Directory buffer operations and information types.
constexpr uint32_t kDirOperationRead = 3;
constexpr uint32_t kDirInfoNamesAndValues = 1;

// Attribute value syntaxes the directory uses for the print-accounting figures.
constexpr uint32_t kSyntaxBoolean = 7;   // 1 byte, nonzero = yes
constexpr uint32_t kSyntaxInteger = 8;   // signed 32-bit
constexpr uint32_t kSyntaxCounter = 22;  // signed 32-bit

// Server facts that QueryServerName can report beside the name.
struct NwServerDetails {
  uint8_t majorVersion = 0;
  uint8_t minorVersion = 0;
  uint8_t revision = 0;
  uint16_t maxConnections = 0;
  uint16_t maxConnectionsUsed = 0;
  uint16_t connectionsInUse = 0;
  uint16_t volumeCount = 0;
  uint8_t sftLevel = 0;
  uint8_t ttsLevel = 0;
};

// Every operation answers 0 for success or a NetWare status, except
// IsDirAuthenticated, which answers nonzero when the workstation holds a
// directory authentication. Optional outputs may be nullptr. Text outputs are
// NUL-terminated and never longer than the size given for them.
class NetWareClient {
 public:
  virtual ~NetWareClient() = default;

  // --- File server access ---
  virtual uint32_t StartClient(const void* reserved1, const void* reserved2) = 0;
  virtual uint32_t ResolvePath(const char* path, NwConnection* connection, NwDirHandle* dirHandle,
                               char* serverPath, size_t serverPathSize) = 0;
  virtual uint32_t ConvertNameSpace(NwConnection connection, NwDirHandle dirHandle, uint8_t flag,
                                    uint8_t sourceNameSpace, uint8_t targetNameSpace,
                                    const char* source, char* target, uint16_t targetSize) = 0;
  virtual uint32_t VolumeNameOfPath(const char* path, char* volumeName, size_t volumeNameSize) = 0;
  virtual uint32_t VolumeNumber(NwConnection connection, const char* volumeName,
                                uint16_t* volumeNumber) = 0;
  virtual uint32_t ConnectionItem(NwConnection connection, uint32_t selector, uint32_t size,
                                  void* item) = 0;
  virtual uint32_t LoginNameOfConnection(NwConnection connection, uint16_t connectionNumber,
                                         char* loginName, size_t loginNameSize,
                                         uint16_t* objectType, uint32_t* objectId,
                                         uint8_t loginTime[7]) = 0;
  virtual uint32_t UserVolumeRestriction(NwConnection connection, uint8_t volumeNumber,
                                         uint32_t objectId, uint32_t* restrictionBlocks,
                                         uint32_t* inUseBlocks) = 0;
  virtual uint32_t QueryServerName(NwConnection connection, char* serverName, size_t serverNameSize,
                                   NwServerDetails* details) = 0;
  virtual uint32_t OpenTempDirHandle(NwConnection connection, NwDirHandle baseHandle,
                                     const char* path, NwDirHandle* newHandle,
                                     uint8_t* rightsMask) = 0;
  // Writes the packed limit list (see space_limit_list.h) into reply, at most
  // replySize bytes, and the number of bytes written into replyLength.
  virtual uint32_t ReadDirSpaceLimits(NwConnection connection, NwDirHandle dirHandle,
                                      uint8_t* reply, size_t replySize, size_t* replyLength) = 0;
  virtual uint32_t CloseDirHandle(NwConnection connection, NwDirHandle dirHandle) = 0;

  // --- Locale and character conversion ---
  virtual uint32_t LocaleNumbers(uint8_t* localeRecord, size_t localeRecordSize) = 0;
  virtual uint32_t StartCharConversion(uint32_t first, uint32_t second) = 0;
  virtual uint32_t EndCharConversion() = 0;

  // --- Directory (NDS) access ---
  virtual uint32_t OpenDirContext(NwDirContext* context) = 0;
  virtual uint32_t IsDirAuthenticated() = 0;
  virtual uint32_t AllocDirBuffer(size_t size, NwDirBuffer* buffer) = 0;
  virtual uint32_t PrepareDirBuffer(NwDirContext context, uint32_t operation,
                                    NwDirBuffer buffer) = 0;
  virtual uint32_t AddAttributeName(NwDirContext context, NwDirBuffer buffer,
                                    const char* attributeName) = 0;
  virtual uint32_t LoggedInObjectName(NwDirContext context, char* objectName,
                                      size_t objectNameSize) = 0;
  virtual uint32_t ReadObject(NwDirContext context, const char* objectName, uint32_t infoType,
                              uint8_t allAttributes, NwDirBuffer attributeNames,
                              int32_t* iterationHandle, NwDirBuffer reply) = 0;
  virtual uint32_t ReplyAttributeCount(NwDirContext context, NwDirBuffer reply,
                                       uint32_t* count) = 0;
  virtual uint32_t NextAttributeName(NwDirContext context, NwDirBuffer reply, char* attributeName,
                                     size_t attributeNameSize, uint32_t* valueCount,
                                     uint32_t* syntaxId) = 0;
  // Writes one value of the current attribute; valueSize must hold the syntax
  // (1 byte for kSyntaxBoolean, 4 for the integer syntaxes).
  virtual uint32_t NextAttributeValue(NwDirContext context, NwDirBuffer reply, uint32_t syntaxId,
                                      void* value, size_t valueSize) = 0;
  virtual uint32_t FreeDirBuffer(NwDirBuffer buffer) = 0;
  virtual uint32_t CloseDirContext(NwDirContext context) = 0;
};
