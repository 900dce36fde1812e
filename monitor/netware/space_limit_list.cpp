#include "netware/space_limit_list.h"

namespace {

int32_t ReadInt32LittleEndian(const uint8_t* bytes) {
  uint32_t value = uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 |
                   uint32_t(bytes[3]) << 24;
  return static_cast<int32_t>(value);
}

void AppendInt32LittleEndian(int32_t value, std::vector<uint8_t>* bytes) {
  uint32_t bits = static_cast<uint32_t>(value);
  for (int shift = 0; shift < 32; shift += 8) bytes->push_back(uint8_t(bits >> shift));
}

}  // namespace

std::vector<DirSpaceLimitEntry> DecodeDirSpaceLimitList(const uint8_t* reply, size_t length) {
  std::vector<DirSpaceLimitEntry> entries;
  if (reply == nullptr || length == 0) return entries;
  size_t announced = reply[0];
  size_t held = (length - 1) / kDirSpaceLimitEntrySize;
  size_t count = announced < held ? announced : held;
  entries.reserve(count);
  for (size_t i = 0; i < count; ++i) {
    const uint8_t* entry = reply + 1 + i * kDirSpaceLimitEntrySize;
    DirSpaceLimitEntry decoded;
    decoded.level = entry[0];
    decoded.limitBlocks = ReadInt32LittleEndian(entry + 1);
    decoded.remainingBlocks = ReadInt32LittleEndian(entry + 5);
    entries.push_back(decoded);
  }
  return entries;
}

std::vector<uint8_t> EncodeDirSpaceLimitList(uint8_t announcedCount,
                                             const std::vector<DirSpaceLimitEntry>& entries) {
  std::vector<uint8_t> bytes;
  bytes.reserve(1 + entries.size() * kDirSpaceLimitEntrySize);
  bytes.push_back(announcedCount);
  for (const DirSpaceLimitEntry& entry : entries) {
    bytes.push_back(entry.level);
    AppendInt32LittleEndian(entry.limitBlocks, &bytes);
    AppendInt32LittleEndian(entry.remainingBlocks, &bytes);
  }
  return bytes;
}
