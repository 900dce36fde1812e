// NetWareClient over the entry points of the client libraries. It fits the
// seam's sized outputs to the client's fixed-size ones: the client writes
// into buffers of the sizes its reference asks for, and the text is copied
// out only when it fits the caller's buffer.
#pragma once

#include "netware/client_libraries/client_binding_win.h"
#include "netware/netware_client.h"

// Answers of the binding itself, for outputs it cannot hand over.
constexpr uint32_t kBindingBufferTooSmall = 0x880E;  // the client's own "buffer overflow"
constexpr uint32_t kBindingNoValue = 0x8836;         // a required output is missing
// A value of a syntax whose size the binding does not know: reading it could
// overrun the caller's place.
constexpr uint32_t kBindingUnknownSyntax = static_cast<uint32_t>(-326);

class LibraryNetWareClient : public NetWareClient {
 public:
  explicit LibraryNetWareClient(const ClientEntryPoints& entries) : nw_(entries) {}

  uint32_t StartClient(const void* reserved1, const void* reserved2) override;
  uint32_t ResolvePath(const char* path, NwConnection* connection, NwDirHandle* dirHandle,
                       char* serverPath, size_t serverPathSize) override;
  uint32_t ConvertNameSpace(NwConnection connection, NwDirHandle dirHandle, uint8_t flag,
                            uint8_t sourceNameSpace, uint8_t targetNameSpace, const char* source,
                            char* target, uint16_t targetSize) override;
  uint32_t VolumeNameOfPath(const char* path, char* volumeName, size_t volumeNameSize) override;
  uint32_t VolumeNumber(NwConnection connection, const char* volumeName,
                        uint16_t* volumeNumber) override;
  uint32_t ConnectionItem(NwConnection connection, uint32_t selector, uint32_t size,
                          void* item) override;
  uint32_t LoginNameOfConnection(NwConnection connection, uint16_t connectionNumber,
                                 char* loginName, size_t loginNameSize, uint16_t* objectType,
                                 uint32_t* objectId, uint8_t loginTime[7]) override;
  uint32_t UserVolumeRestriction(NwConnection connection, uint8_t volumeNumber, uint32_t objectId,
                                 uint32_t* restrictionBlocks, uint32_t* inUseBlocks) override;
  uint32_t QueryServerName(NwConnection connection, char* serverName, size_t serverNameSize,
                           NwServerDetails* details) override;
  uint32_t OpenTempDirHandle(NwConnection connection, NwDirHandle baseHandle, const char* path,
                             NwDirHandle* newHandle, uint8_t* rightsMask) override;
  uint32_t ReadDirSpaceLimits(NwConnection connection, NwDirHandle dirHandle, uint8_t* reply,
                              size_t replySize, size_t* replyLength) override;
  uint32_t CloseDirHandle(NwConnection connection, NwDirHandle dirHandle) override;
  uint32_t LocaleNumbers(uint8_t* localeRecord, size_t localeRecordSize) override;
  uint32_t StartCharConversion(uint32_t first, uint32_t second) override;
  uint32_t EndCharConversion() override;
  uint32_t OpenDirContext(NwDirContext* context) override;
  uint32_t IsDirAuthenticated() override;
  uint32_t AllocDirBuffer(size_t size, NwDirBuffer* buffer) override;
  uint32_t PrepareDirBuffer(NwDirContext context, uint32_t operation, NwDirBuffer buffer) override;
  uint32_t AddAttributeName(NwDirContext context, NwDirBuffer buffer,
                            const char* attributeName) override;
  uint32_t LoggedInObjectName(NwDirContext context, char* objectName,
                              size_t objectNameSize) override;
  uint32_t ReadObject(NwDirContext context, const char* objectName, uint32_t infoType,
                      uint8_t allAttributes, NwDirBuffer attributeNames, int32_t* iterationHandle,
                      NwDirBuffer reply) override;
  uint32_t ReplyAttributeCount(NwDirContext context, NwDirBuffer reply, uint32_t* count) override;
  uint32_t NextAttributeName(NwDirContext context, NwDirBuffer reply, char* attributeName,
                             size_t attributeNameSize, uint32_t* valueCount,
                             uint32_t* syntaxId) override;
  uint32_t NextAttributeValue(NwDirContext context, NwDirBuffer reply, uint32_t syntaxId,
                              void* value, size_t valueSize) override;
  uint32_t FreeDirBuffer(NwDirBuffer buffer) override;
  uint32_t CloseDirContext(NwDirContext context) override;

 private:
  const ClientEntryPoints& nw_;
};
