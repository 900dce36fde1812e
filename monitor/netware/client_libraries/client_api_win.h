// Our own declarations of the NetWare client's C interface, written from its
// published reference: the calling convention, the types and records that
// cross the boundary, and the entry points the monitor uses (their prototypes
// are written in netware_calls.def beside the operations they serve). Shared by
// the run-time binding and by the stand-in libraries of the tests, so both
// sides agree.
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

// The entry points, one pointer type each, named after the client's function
// (netware_calls.def): ParseNetWarePath, GetDirSpaceLimitList, ...
#define NW_OPERATION(operation, library, ordinal, entry, stackBytes, answers, parameters, result, \
                     clientParameters)                                                            \
  using entry = result(NW_CALL*) clientParameters;
#include "netware/netware_calls.def"

#if !defined(_WIN64)
// What a 32-bit call of a function with these parameters pushes: each takes
// a multiple of four bytes. The stand-ins' exports are decorated with it.
template <typename Function>
struct StackBytes;
template <typename Result, typename... Parameters>
struct StackBytes<Result(Parameters...)> {
  static constexpr size_t value = (size_t{0} + ... + ((sizeof(Parameters) + 3) / 4 * 4));
};
#define NW_OPERATION(operation, library, ordinal, entry, stackBytes, answers, parameters, result, \
                     clientParameters)                                                            \
  static_assert(StackBytes<void clientParameters>::value == stackBytes,                           \
                "netware_calls.def: the stack bytes of " #entry);
#include "netware/netware_calls.def"
#endif

}  // namespace nwapi
