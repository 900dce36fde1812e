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

// The seam's operations are listed once, in netware_calls.def, with the
// library and ordinal of the client that answers each.
class NetWareClient {
 public:
  virtual ~NetWareClient() = default;

#define NW_OPERATION(operation, library, ordinal, entry, stackBytes, answers, parameters, ...) \
  virtual uint32_t operation parameters = 0;
#include "netware/netware_calls.def"
};
