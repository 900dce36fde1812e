// Our own declarations of the NetWare client's C interface, written from its
// published reference: the 27 entry points the monitor uses, their calling
// convention, and the records that cross the boundary. Shared by the run-time
// binding and by the stand-in libraries of the tests, so both sides agree.
//
// What the reference states and what it does not:
// - Prototypes, parameter order and widths, the NW_NS_PATH record, the 512-byte
//   reply of the directory space limit list with its 9-byte entries, the sizes
//   of the name buffers (server 48, volume 17, path 256), ConnectionItem
//   selectors 5 and 6, and that the directory buffer is a pointer the client
//   allocates: documented.
// - The calling convention: the reference writes N_API / N_EXTERN_LIBRARY
//   without spelling out what they expand to on 32-bit Windows; we take
//   __stdcall, the convention of 32-bit Windows system libraries. Not
//   confirmed from documentation. On x86-64 Windows has one calling
//   convention, which every compiler uses whatever the declaration names
//   (documented by Windows' x64 ABI), so there is nothing to choose.
// - The width of NWCCODE (file server calls): taken as 32 bits, as the monitor
//   treats every status; not confirmed. The directory calls' NWDSCCODE is a
//   signed 32-bit value (negative errors): documented.
// - VolumeNameOfPath (CALWIN32 104) is taken to be the path parser that yields
//   server, connection, volume and directory (NWParsePath); we ask only for
//   the volume and the directory part. Which function sits at ordinal 104 is
//   not confirmed from documentation.
// - The locale record: only the two numbers at offsets 56 and 60 and a size of
//   128 bytes are relied on.
// - 64-bit: the records above hold no pointer except NW_NS_PATH, whose
//   pointers take the platform's width (its fields then sit at 0, 8 and 16).
//   The names and the ordinals of the four libraries are those of the 32-bit
//   client, and the connection and context handles are 32-bit numbers there;
//   no documentation gives either for a 64-bit client, so the 64-bit build
//   never binds a client by them (make_library_client_win.cpp). There the
//   declarations serve the binding's tests against our own stand-ins.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "core/quota_types.h"
#include "netware/netware_client.h"

#if !defined(_WIN32)
#error "The NetWare client libraries are Windows DLLs"
#endif

#if defined(_WIN64)
#define NW_CALL
#else
#define NW_CALL __stdcall
#endif

namespace nwapi {

using Status = uint32_t;      // NWCCODE and the other 32-bit answers
using DirStatus = int32_t;    // NWDSCCODE
using Connection = uint32_t;  // NWCONN_HANDLE
using DirHandle = uint8_t;    // NWDIR_HANDLE
using Context = uint32_t;     // NWDSContextHandle
using Buffer = void*;         // pBuf_T: opaque, allocated and freed by the client

// The seam carries directory buffers as pointer-sized numbers.
static_assert(sizeof(Buffer) <= sizeof(NwDirBuffer), "a buffer pointer must fit the seam's handle");

#pragma pack(push, 1)
// Arguments of the name-space conversion. Published as a packed record; the
// last field sits at offset 8 either way, and the client only reads it.
struct NsPath {
  char* sourcePath;
  char* targetPath;
  uint16_t targetSize;
};
#if defined(_WIN64)
static_assert(offsetof(NsPath, sourcePath) == 0, "NW_NS_PATH layout");
static_assert(offsetof(NsPath, targetPath) == 8, "NW_NS_PATH layout");
static_assert(offsetof(NsPath, targetSize) == 16, "NW_NS_PATH layout");
static_assert(sizeof(NsPath) == 18, "NW_NS_PATH layout");
#else
static_assert(offsetof(NsPath, sourcePath) == 0, "NW_NS_PATH layout");
static_assert(offsetof(NsPath, targetPath) == 4, "NW_NS_PATH layout");
static_assert(offsetof(NsPath, targetSize) == 8, "NW_NS_PATH layout");
static_assert(sizeof(NsPath) == 10, "NW_NS_PATH layout");
#endif

// One entry of the directory space limit list, unaligned as on the wire.
struct LimitEntry {
  uint8_t level;
  int32_t limit;
  int32_t remaining;
};
static_assert(offsetof(LimitEntry, level) == 0, "limit list entry layout");
static_assert(offsetof(LimitEntry, limit) == 1, "limit list entry layout");
static_assert(offsetof(LimitEntry, remaining) == 5, "limit list entry layout");
static_assert(sizeof(LimitEntry) == 9, "limit list entry layout");
#pragma pack(pop)

// The reply buffer of ReadDirSpaceLimits, as the reference sizes it.
constexpr size_t kLimitListSize = 512;

// The client's locale record; only the two numbers the character conversion
// takes are named.
struct LocaleRecord {
  uint8_t leading[56];
  int32_t codePage;
  int32_t country;
  uint8_t trailing[64];
};
static_assert(offsetof(LocaleRecord, codePage) == 56, "locale record layout");
static_assert(offsetof(LocaleRecord, country) == 60, "locale record layout");
static_assert(sizeof(LocaleRecord) == 128, "locale record layout");

// Buffer sizes the reference asks the caller to provide. The server name's is
// the one the monitor's reading is built on (kServerNameSize,
// core/quota_types.h); the binding sizes the buffer the client fills from it,
// so it must stay the reference's.
static_assert(kServerNameSize == 48, "the reference's server name buffer");
// A connection's object name (a bindery name); the reading's login name is
// copied out of it into a buffer of its own size (kLoginNameSize).
constexpr size_t kObjectNameSize = 48;
constexpr size_t kVolumeNameSize = 17;
constexpr size_t kPathSize = 256;
// Distinguished and schema names, room for 16-bit characters included.
constexpr size_t kDistinguishedNameSize = (256 + 1) * 2;
constexpr size_t kSchemaNameSize = (32 + 1) * 2;

// --- CALWIN32 ---
using CallsInit = Status(NW_CALL*)(void* in, void* out);
using ParseNetWarePath = Status(NW_CALL*)(const char* path, Connection* conn, DirHandle* dirHandle,
                                          char* newPath);
using GetNsPath = Status(NW_CALL*)(Connection conn, uint8_t dirHandle, uint16_t fileFlag,
                                   uint8_t sourceNameSpace, uint8_t targetNameSpace, NsPath* path);
using ParsePath = Status(NW_CALL*)(const char* path, char* serverName, Connection* conn,
                                   char* volumeName, char* dirPath);
using GetVolumeNumber = Status(NW_CALL*)(Connection conn, const char* volumeName,
                                         uint16_t* volumeNumber);
using GetConnectionInformation = Status(NW_CALL*)(Connection conn, uint16_t connNumber,
                                                  char* objectName, uint16_t* objectType,
                                                  uint32_t* objectId, uint8_t* loginTime);
using GetObjDiskRestrictions = Status(NW_CALL*)(Connection conn, uint8_t volumeNumber,
                                                uint32_t objectId, uint32_t* restriction,
                                                uint32_t* inUse);
using GetFileServerInformation = Status(NW_CALL*)(Connection conn, char* serverName,
                                                  uint8_t* majorVersion, uint8_t* minorVersion,
                                                  uint8_t* revision, uint16_t* maxConnections,
                                                  uint16_t* maxConnectionsUsed,
                                                  uint16_t* connectionsInUse, uint16_t* volumeCount,
                                                  uint8_t* sftLevel, uint8_t* ttsLevel);
using AllocTemporaryDirectoryHandle = Status(NW_CALL*)(Connection conn, DirHandle base,
                                                       const char* path, DirHandle* newHandle,
                                                       uint8_t* rightsMask);
using GetDirSpaceLimitList = Status(NW_CALL*)(Connection conn, DirHandle dirHandle, uint8_t* reply);
using DeallocateDirectoryHandle = Status(NW_CALL*)(Connection conn, DirHandle dirHandle);

// --- CLXWIN32 ---
using GetConnInfo = Status(NW_CALL*)(Connection conn, uint32_t infoType, uint32_t length,
                                     void* buffer);

// --- LOCWIN32 ---
// Answers the record it filled, or nullptr.
using LocaleConv = LocaleRecord*(NW_CALL*)(LocaleRecord* record);
using InitUnicodeTables = int32_t(NW_CALL*)(int32_t country, int32_t codePage);
using FreeUnicodeTables = int32_t(NW_CALL*)();

// --- NETWIN32 ---
using CreateContextHandle = DirStatus(NW_CALL*)(Context* context);
using IsDsAuthenticated = int32_t(NW_CALL*)();
using AllocBuf = DirStatus(NW_CALL*)(size_t size, Buffer* buffer);
using InitBuf = DirStatus(NW_CALL*)(Context context, uint32_t operation, Buffer buffer);
using PutAttrName = DirStatus(NW_CALL*)(Context context, Buffer buffer, const char* name);
using WhoAmI = DirStatus(NW_CALL*)(Context context, char* objectName);
using Read = DirStatus(NW_CALL*)(Context context, const char* objectName, uint32_t infoType,
                                 uint8_t allAttributes, Buffer attributeNames,
                                 int32_t* iterationHandle, Buffer reply);
using GetAttrCount = DirStatus(NW_CALL*)(Context context, Buffer buffer, uint32_t* count);
using GetAttrName = DirStatus(NW_CALL*)(Context context, Buffer buffer, char* name,
                                        uint32_t* valueCount, uint32_t* syntaxId);
using GetAttrVal = DirStatus(NW_CALL*)(Context context, Buffer buffer, uint32_t syntaxId,
                                       void* value);
using FreeBuf = DirStatus(NW_CALL*)(Buffer buffer);
using FreeContext = DirStatus(NW_CALL*)(Context context);

}  // namespace nwapi
