// A simulated NetWare network: what the people writing a description file
// say about servers, volumes, mapped drives, directory space limits, the
// directory's user object and the operations that are to fail.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/quota_types.h"
#include "netware/query_buffer_sizes.h"
#include "netware/restriction_figures.h"
#include "simulated/client_operation.h"
#include "netware/space_limit_list.h"

// A connection to this server exists; it is what ResolvePath hands out.
struct ServerDescription {
  std::string name;
  uint32_t connectionNumber = 0;  // only its low 16 bits name the connection
  std::string loginName;
  uint32_t userObjectId = 0;
};

struct VolumeDescription {
  std::string server;
  std::string name;
  uint16_t number = 0;  // only its low 8 bits name the volume in a restriction read
  uint32_t restrictionBlocks = kNoVolumeRestriction;
  uint32_t inUseBlocks = 0;
};

// A local path (typically a drive root such as H:\) mapped to a server path.
struct DriveMapping {
  std::string localPath;
  std::string server;
  std::string volume;
  std::string serverPath;  // as ResolvePath yields it, e.g. SYS:USERS\USER1
  std::string longPath;    // its long-name form; the same text when not given
};

// The directory space limit list the server reports for a directory and the
// directories below it that have no list of their own.
struct LimitListDescription {
  std::string server;
  std::string path;  // long-name form
  std::vector<DirSpaceLimitEntry> entries;
  int announcedCount = -1;  // the count byte sent; -1 means the number of entries
};

struct DirectoryAttribute {
  std::string name;
  uint32_t syntax = 0;
  std::vector<int32_t> values;
};

struct DirectoryDescription {
  bool authenticated = false;
  std::string objectName;  // the logged-in user object; empty: nobody logged in
  std::vector<DirectoryAttribute> attributes;
};

// Tells an operation to answer status and do nothing. A qualifier narrows the
// rule: the source name space of ConvertNameSpace, the selector of
// ConnectionItem; -1 matches every call.
struct FailureRule {
  ClientOperation operation = ClientOperation::StartClient;
  int64_t qualifier = -1;
  uint32_t status = 0;
};

struct NetworkDescription {
  std::vector<ServerDescription> servers;
  std::vector<VolumeDescription> volumes;
  std::vector<DriveMapping> drives;
  std::vector<LimitListDescription> limitLists;
  DirectoryDescription directory;
  std::vector<FailureRule> failures;
};

// Limits on the texts, so that every answer fits the buffers the queries use.
constexpr size_t kMaxServerNameLength = kServerNameSize - 1;
constexpr size_t kMaxVolumeNameLength = kVolumeNameBufferSize - 1;
constexpr size_t kMaxLoginNameLength = kLoginNameSize - 1;
constexpr size_t kMaxServerPathLength = kLongPathBufferSize - 1;
constexpr size_t kMaxObjectNameLength = kObjectNameBufferSize - 1;
constexpr size_t kMaxAttributeNameLength = kAttributeNameBufferSize - 1;
