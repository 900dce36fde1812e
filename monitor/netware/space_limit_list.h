// The directory space limit list as the server sends it: a packed record of
// one count byte followed by 9-byte entries (level, limit, remaining), the
// numbers little-endian and unaligned.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Limit or remaining value meaning "no limit at this level".
constexpr int32_t kNoDirLimit = 0x7FFFFFFF;

struct DirSpaceLimitEntry {
  uint8_t level = 0;
  int32_t limitBlocks = 0;      // negative counts as a limit of 0
  int32_t remainingBlocks = 0;  // negative: the directory is over its limit
};

constexpr size_t kDirSpaceLimitEntrySize = 9;
// A count byte cannot announce more than 255 entries.
constexpr size_t kDirSpaceLimitListMaxSize = 1 + 255 * kDirSpaceLimitEntrySize;

// The entries that the count announces and that lie wholly inside the reply;
// a reply shorter than its count claims yields only what it holds.
std::vector<DirSpaceLimitEntry> DecodeDirSpaceLimitList(const uint8_t* reply, size_t length);

// The packed record with the given count byte (which may claim more or fewer
// entries than follow it).
std::vector<uint8_t> EncodeDirSpaceLimitList(uint8_t announcedCount,
                                             const std::vector<DirSpaceLimitEntry>& entries);
