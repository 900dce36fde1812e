// Turns the byte counts Windows gives for a drive (total and free to the
// caller, both honouring the caller's disk quota) into the kilobyte figures
// of a QuotaReading.
#pragma once

#include <cstdint>

#include "core/quota_types.h"

struct DriveFigures {
  uint32_t usedKb = 0;
  uint32_t limitKb = 0;
  uint32_t freeKb = 0;
  RestrictionResult result = QueryFailed;
};

// Kilobytes of 1024 bytes, rounded down. A figure beyond what 32-bit
// kilobytes hold (4 TiB) is clamped to 0xFFFFFFFF, never wrapped, and such a
// drive reads as having no limit: its percentage would be meaningless.
DriveFigures DriveFiguresOf(uint64_t totalBytes, uint64_t freeBytes);
