#include "simulated/client_operation.h"

namespace {

constexpr const char* kNames[kClientOperationCount] = {
    "StartClient",        "ResolvePath",         "ConvertNameSpace",      "VolumeNameOfPath",
    "VolumeNumber",       "ConnectionItem",      "LoginNameOfConnection", "UserVolumeRestriction",
    "QueryServerName",    "OpenTempDirHandle",   "ReadDirSpaceLimits",    "CloseDirHandle",
    "LocaleNumbers",      "StartCharConversion", "EndCharConversion",     "OpenDirContext",
    "IsDirAuthenticated", "AllocDirBuffer",      "PrepareDirBuffer",      "AddAttributeName",
    "LoggedInObjectName", "ReadObject",          "ReplyAttributeCount",   "NextAttributeName",
    "NextAttributeValue", "FreeDirBuffer",       "CloseDirContext",
};

}  // namespace

const char* ClientOperationName(ClientOperation operation) {
  return kNames[static_cast<int>(operation)];
}

bool ClientOperationFromName(const std::string& name, ClientOperation* operation) {
  for (int i = 0; i < kClientOperationCount; ++i) {
    if (name == kNames[i]) {
      *operation = static_cast<ClientOperation>(i);
      return true;
    }
  }
  return false;
}
