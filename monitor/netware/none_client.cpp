#include "netware/none_client.h"

#include "netware/make_client.h"

// Every operation fails alike; IsDirAuthenticated answers "not authenticated".
uint32_t NoNetWareClient::StartClient(const void*, const void*) { return kNoClientStatus; }
uint32_t NoNetWareClient::ResolvePath(const char*, NwConnection*, NwDirHandle*, char*, size_t) {
  return kNoClientStatus;
}
uint32_t NoNetWareClient::ConvertNameSpace(NwConnection, NwDirHandle, uint8_t, uint8_t, uint8_t,
                                           const char*, char*, uint16_t) {
  return kNoClientStatus;
}
uint32_t NoNetWareClient::VolumeNameOfPath(const char*, char*, size_t) { return kNoClientStatus; }
uint32_t NoNetWareClient::VolumeNumber(NwConnection, const char*, uint16_t*) {
  return kNoClientStatus;
}
uint32_t NoNetWareClient::ConnectionItem(NwConnection, uint32_t, uint32_t, void*) {
  return kNoClientStatus;
}
uint32_t NoNetWareClient::LoginNameOfConnection(NwConnection, uint16_t, char*, size_t, uint16_t*,
                                                uint32_t*, uint8_t[7]) {
  return kNoClientStatus;
}
uint32_t NoNetWareClient::UserVolumeRestriction(NwConnection, uint8_t, uint32_t, uint32_t*,
                                                uint32_t*) {
  return kNoClientStatus;
}
uint32_t NoNetWareClient::QueryServerName(NwConnection, char*, size_t, NwServerDetails*) {
  return kNoClientStatus;
}
uint32_t NoNetWareClient::OpenTempDirHandle(NwConnection, NwDirHandle, const char*, NwDirHandle*,
                                            uint8_t*) {
  return kNoClientStatus;
}
uint32_t NoNetWareClient::ReadDirSpaceLimits(NwConnection, NwDirHandle, uint8_t*, size_t, size_t*) {
  return kNoClientStatus;
}
uint32_t NoNetWareClient::CloseDirHandle(NwConnection, NwDirHandle) { return kNoClientStatus; }
uint32_t NoNetWareClient::LocaleNumbers(uint8_t*, size_t) { return kNoClientStatus; }
uint32_t NoNetWareClient::StartCharConversion(uint32_t, uint32_t) { return kNoClientStatus; }
uint32_t NoNetWareClient::EndCharConversion() { return kNoClientStatus; }
uint32_t NoNetWareClient::OpenDirContext(NwDirContext*) { return kNoClientStatus; }
uint32_t NoNetWareClient::IsDirAuthenticated() { return 0; }
uint32_t NoNetWareClient::AllocDirBuffer(size_t, NwDirBuffer*) { return kNoClientStatus; }
uint32_t NoNetWareClient::PrepareDirBuffer(NwDirContext, uint32_t, NwDirBuffer) {
  return kNoClientStatus;
}
uint32_t NoNetWareClient::AddAttributeName(NwDirContext, NwDirBuffer, const char*) {
  return kNoClientStatus;
}
uint32_t NoNetWareClient::LoggedInObjectName(NwDirContext, char*, size_t) {
  return kNoClientStatus;
}
uint32_t NoNetWareClient::ReadObject(NwDirContext, const char*, uint32_t, uint8_t, NwDirBuffer,
                                     int32_t*, NwDirBuffer) {
  return kNoClientStatus;
}
uint32_t NoNetWareClient::ReplyAttributeCount(NwDirContext, NwDirBuffer, uint32_t*) {
  return kNoClientStatus;
}
uint32_t NoNetWareClient::NextAttributeName(NwDirContext, NwDirBuffer, char*, size_t, uint32_t*,
                                            uint32_t*) {
  return kNoClientStatus;
}
uint32_t NoNetWareClient::NextAttributeValue(NwDirContext, NwDirBuffer, uint32_t, void*, size_t) {
  return kNoClientStatus;
}
uint32_t NoNetWareClient::FreeDirBuffer(NwDirBuffer) { return kNoClientStatus; }
uint32_t NoNetWareClient::CloseDirContext(NwDirContext) { return kNoClientStatus; }
