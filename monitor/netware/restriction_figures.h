// How the raw block values of one reading become the kilobyte figures the
// monitor evaluates: which entry of the list decides, and each count times 4
// in 64 bits, so no 32-bit count wraps (0x40000000 blocks are 4294967296 KB,
// not 0). The percentage, level and shown figures are core/quota_evaluation's.
#pragma once

#include <cstdint>
#include <vector>

#include "netware/space_limit_list.h"

// Restriction value meaning the user has no disk restriction on the volume.
constexpr uint32_t kNoVolumeRestriction = 0x40000000;

struct DirectoryFigures {
  uint64_t usedKb = 0;
  uint64_t limitKb = 0;
  uint64_t freeKb = 0;
  bool limited = false;
};

struct VolumeFigures {
  uint64_t usedKb = 0;
  uint64_t limitKb = 0;
  bool limited = false;
};

// Used space from the first entry (its limit less its remaining space; 0 where
// more remains than the limit, which no use can explain); limit and free
// space from the tightest entry (least remaining space, negative counting as
// 0, last one on a tie), ignoring levels without a limit.
DirectoryFigures DirectoryFiguresOf(const std::vector<DirSpaceLimitEntry>& entries);

VolumeFigures VolumeFiguresOf(uint32_t restrictionBlocks, uint32_t inUseBlocks);
