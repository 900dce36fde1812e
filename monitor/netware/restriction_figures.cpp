#include "netware/restriction_figures.h"

namespace {

constexpr uint32_t kBlockKb = 4;
constexpr uint32_t kNoLimitBits = static_cast<uint32_t>(kNoDirLimit);

}  // namespace

DirectoryFigures DirectoryFiguresOf(const std::vector<DirSpaceLimitEntry>& entries) {
  DirectoryFigures figures;
  if (entries.empty()) return figures;

  const DirSpaceLimitEntry& first = entries.front();
  figures.usedKb =
      (static_cast<uint32_t>(first.limitBlocks) - static_cast<uint32_t>(first.remainingBlocks)) *
      kBlockKb;
  uint32_t best = static_cast<uint32_t>(first.remainingBlocks);
  if (best > kNoLimitBits) best = 0;  // over the limit
  figures.freeKb = best * kBlockKb;

  for (const DirSpaceLimitEntry& entry : entries) {
    if (entry.remainingBlocks == kNoDirLimit) continue;
    uint32_t remaining =
        entry.remainingBlocks < 0 ? 0 : static_cast<uint32_t>(entry.remainingBlocks);
    // Equal counts are taken, so the last of several equally tight levels wins.
    if (remaining > best) continue;
    uint32_t limit = static_cast<uint32_t>(entry.limitBlocks);
    if (limit < kNoLimitBits) {
      figures.limited = true;
      figures.limitKb = limit * kBlockKb;
      figures.freeKb = remaining * kBlockKb;
    } else {
      // No limit here, or a negative one, which counts as a limit of 0.
      figures.limitKb = 0;
      figures.freeKb = 0;
      if (entry.limitBlocks != kNoDirLimit) figures.limited = true;
    }
    best = remaining;
  }
  return figures;
}

VolumeFigures VolumeFiguresOf(uint32_t restrictionBlocks, uint32_t inUseBlocks) {
  VolumeFigures figures;
  if (restrictionBlocks != kNoVolumeRestriction) {
    figures.limited = true;
    figures.limitKb = restrictionBlocks * kBlockKb;
  }
  figures.usedKb = inUseBlocks * kBlockKb;
  return figures;
}
