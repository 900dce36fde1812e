// The client of a workstation without NetWare: nothing starts, so the queries
// fail at their first step and the monitor shows the unknown level.
#pragma once

#include "netware/netware_client.h"

class NoNetWareClient : public NetWareClient {
 public:
  uint32_t StartClient(const void*, const void*) override;
  uint32_t ResolvePath(const char*, NwConnection*, NwDirHandle*, char*, size_t) override;
  uint32_t ConvertNameSpace(NwConnection, NwDirHandle, uint8_t, uint8_t, uint8_t, const char*,
                            char*, uint16_t) override;
  uint32_t VolumeNameOfPath(const char*, char*, size_t) override;
  uint32_t VolumeNumber(NwConnection, const char*, uint16_t*) override;
  uint32_t ConnectionItem(NwConnection, uint32_t, uint32_t, void*) override;
  uint32_t LoginNameOfConnection(NwConnection, uint16_t, char*, size_t, uint16_t*, uint32_t*,
                                 uint8_t[7]) override;
  uint32_t UserVolumeRestriction(NwConnection, uint8_t, uint32_t, uint32_t*, uint32_t*) override;
  uint32_t QueryServerName(NwConnection, char*, size_t, NwServerDetails*) override;
  uint32_t OpenTempDirHandle(NwConnection, NwDirHandle, const char*, NwDirHandle*,
                             uint8_t*) override;
  uint32_t ReadDirSpaceLimits(NwConnection, NwDirHandle, uint8_t*, size_t, size_t*) override;
  uint32_t CloseDirHandle(NwConnection, NwDirHandle) override;
  uint32_t LocaleNumbers(uint8_t*, size_t) override;
  uint32_t StartCharConversion(uint32_t, uint32_t) override;
  uint32_t EndCharConversion() override;
  uint32_t OpenDirContext(NwDirContext*) override;
  uint32_t IsDirAuthenticated() override;
  uint32_t AllocDirBuffer(size_t, NwDirBuffer*) override;
  uint32_t PrepareDirBuffer(NwDirContext, uint32_t, NwDirBuffer) override;
  uint32_t AddAttributeName(NwDirContext, NwDirBuffer, const char*) override;
  uint32_t LoggedInObjectName(NwDirContext, char*, size_t) override;
  uint32_t ReadObject(NwDirContext, const char*, uint32_t, uint8_t, NwDirBuffer, int32_t*,
                      NwDirBuffer) override;
  uint32_t ReplyAttributeCount(NwDirContext, NwDirBuffer, uint32_t*) override;
  uint32_t NextAttributeName(NwDirContext, NwDirBuffer, char*, size_t, uint32_t*,
                             uint32_t*) override;
  uint32_t NextAttributeValue(NwDirContext, NwDirBuffer, uint32_t, void*, size_t) override;
  uint32_t FreeDirBuffer(NwDirBuffer) override;
  uint32_t CloseDirContext(NwDirContext) override;
};
