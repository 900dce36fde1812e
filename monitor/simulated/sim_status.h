// Statuses the simulated client answers. Client-side failures use the 0x88xx
// range and server-side ones 0x89xx, as NetWare clients do; directory
// failures are small negative numbers carried in the 32-bit status.
#pragma once

#include <cstdint>

namespace simstatus {

constexpr uint32_t kNoNetwork = 0x88FF;   // no usable network description
constexpr uint32_t kNotStarted = 0x88FE;  // StartClient has not succeeded
constexpr uint32_t kInvalidConnection = 0x8801;
constexpr uint32_t kBufferTooSmall = 0x880E;
// A required output was nullptr, or a flag the client does not take was set.
constexpr uint32_t kInvalidParameter = 0x8836;
constexpr uint32_t kUnknownItem = 0x88FD;  // ConnectionItem selector or size
constexpr uint32_t kNoSuchConnectionNumber = 0x88FC;
constexpr uint32_t kBadLocale = 0x88FB;     // StartCharConversion given other numbers
constexpr uint32_t kNoConversion = 0x88FA;  // EndCharConversion without a start
constexpr uint32_t kNoSuchVolume = 0x8998;
constexpr uint32_t kBadDirHandle = 0x899B;
constexpr uint32_t kInvalidPath = 0x899C;
constexpr uint32_t kNoFreeDirHandle = 0x899D;
constexpr uint32_t kNoSuchObject = 0x89FC;
constexpr uint32_t kBadNameSpace = 0x89BF;
constexpr uint32_t kInvalidName = 0x89FF;  // not a name of the source name space

constexpr uint32_t DirectoryStatus(int32_t code) { return static_cast<uint32_t>(code); }
constexpr uint32_t kDirBadContext = DirectoryStatus(-303);
constexpr uint32_t kDirBadBuffer = DirectoryStatus(-320);
constexpr uint32_t kDirBufferNotPrepared = DirectoryStatus(-321);
constexpr uint32_t kDirBadInfoType = DirectoryStatus(-322);
constexpr uint32_t kDirNoReply = DirectoryStatus(-323);
constexpr uint32_t kDirNoMoreAttributes = DirectoryStatus(-324);
constexpr uint32_t kDirNoMoreValues = DirectoryStatus(-325);
constexpr uint32_t kDirSyntaxMismatch = DirectoryStatus(-326);
constexpr uint32_t kDirBadIteration = DirectoryStatus(-327);  // not an iteration handed out
constexpr uint32_t kDirNotLoggedIn = DirectoryStatus(-337);
constexpr uint32_t kDirNoSuchObject = DirectoryStatus(-601);

}  // namespace simstatus
