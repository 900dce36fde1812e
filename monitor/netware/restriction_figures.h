// How the raw block values of one reading become the kilobyte figures the
// monitor evaluates. All arithmetic is unsigned 32-bit and wraps, exactly as
// the figures have always been computed, so that readings stay comparable.
#pragma once

#include <cstdint>
#include <vector>

#include "netware/space_limit_list.h"

// Restriction value meaning the user has no disk restriction on the volume.
constexpr uint32_t kNoVolumeRestriction = 0x40000000;

struct DirectoryFigures {
  uint32_t usedKb = 0;
  uint32_t limitKb = 0;
  uint32_t freeKb = 0;
  bool limited = false;
};

struct VolumeFigures {
  uint32_t usedKb = 0;
  uint32_t limitKb = 0;
  bool limited = false;
};

// Used space from the first entry; limit and free space from the tightest
// entry (least remaining space, negative counting as 0, last one on a tie),
// ignoring levels without a limit.
DirectoryFigures DirectoryFiguresOf(const std::vector<DirSpaceLimitEntry>& entries);

VolumeFigures VolumeFiguresOf(uint32_t restrictionBlocks, uint32_t inUseBlocks);
