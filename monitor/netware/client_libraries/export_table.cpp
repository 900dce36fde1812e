#include "netware/client_libraries/export_table.h"

#include <cstring>

namespace {

// Offsets in a PE image, as the format defines them.
constexpr size_t kDosSize = 64;
constexpr size_t kNewHeaderOffset = 0x3C;         // e_lfanew
constexpr size_t kFileHeaderSize = 20;            // after the "PE\0\0" signature
constexpr size_t kOptionalHeaderSizeOffset = 16;  // in the file header
constexpr uint16_t kMagic32 = 0x10B;
constexpr uint16_t kMagic64 = 0x20B;
constexpr size_t kSizeOfImageOffset = 56;  // in the optional header, both kinds
// Where NumberOfRvaAndSizes stands in the optional header; the data
// directories follow it, the export table's first.
constexpr size_t kDirectoryCountOffset32 = 92;
constexpr size_t kDirectoryCountOffset64 = 108;
constexpr size_t kExportDirectorySize = 40;
constexpr size_t kExportBaseOffset = 16;
constexpr size_t kExportCountOffset = 20;
constexpr size_t kExportFunctionsOffset = 28;

uint16_t Read16(const unsigned char* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

uint32_t Read32(const unsigned char* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

// True when [offset, offset + length) lies within `limit`, without overflow.
bool Within(uint64_t offset, uint64_t length, uint64_t limit) {
  return offset <= limit && length <= limit - offset;
}

}  // namespace

OrdinalExport FindOrdinalExport(const unsigned char* image, size_t headerBytes, uint16_t ordinal) {
  if (image == nullptr || headerBytes < kDosSize) return OrdinalExport::BadImage;
  if (image[0] != 'M' || image[1] != 'Z') return OrdinalExport::BadImage;
  uint64_t pe = Read32(image + kNewHeaderOffset);
  if (!Within(pe, 4 + kFileHeaderSize + 2, headerBytes) ||
      std::memcmp(image + pe, "PE\0\0", 4) != 0) {
    return OrdinalExport::BadImage;
  }
  uint64_t optional = pe + 4 + kFileHeaderSize;
  uint64_t optionalSize = Read16(image + pe + 4 + kOptionalHeaderSizeOffset);
  if (!Within(optional, optionalSize, headerBytes)) return OrdinalExport::BadImage;
  uint16_t magic = Read16(image + optional);
  uint64_t countOffset;
  if (magic == kMagic32) {
    countOffset = kDirectoryCountOffset32;
  } else if (magic == kMagic64) {
    countOffset = kDirectoryCountOffset64;
  } else {
    return OrdinalExport::BadImage;
  }
  // The count and the export table's entry (address and size) must lie
  // inside the optional header as its own size gives it.
  if (optionalSize < countOffset + 4 + 8) return OrdinalExport::BadImage;
  uint64_t sizeOfImage = Read32(image + optional + kSizeOfImageOffset);
  if (Read32(image + optional + countOffset) < 1) return OrdinalExport::NotExported;
  uint64_t exportRva = Read32(image + optional + countOffset + 4);
  if (exportRva == 0) return OrdinalExport::NotExported;
  if (!Within(exportRva, kExportDirectorySize, sizeOfImage)) return OrdinalExport::BadImage;

  const unsigned char* directory = image + exportRva;
  uint32_t base = Read32(directory + kExportBaseOffset);
  uint64_t count = Read32(directory + kExportCountOffset);
  uint64_t functions = Read32(directory + kExportFunctionsOffset);
  if (!Within(functions, count * 4, sizeOfImage)) return OrdinalExport::BadImage;
  if (ordinal < base || ordinal - base >= count) return OrdinalExport::NotExported;
  uint32_t address = Read32(image + functions + (ordinal - base) * 4);
  if (address == 0) return OrdinalExport::NotExported;
  if (address >= sizeOfImage) return OrdinalExport::BadImage;
  return OrdinalExport::Exported;
}
