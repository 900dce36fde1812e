#include "netware/restriction_figures.h"

namespace {

constexpr uint64_t kBlockKb = 4;
constexpr uint32_t kNoLimitBits = static_cast<uint32_t>(kNoDirLimit);

uint64_t KbOf(uint32_t blocks) { return blocks * kBlockKb; }

}  // namespace

DirectoryFigures DirectoryFiguresOf(const std::vector<DirSpaceLimitEntry>& entries) {
  DirectoryFigures figures;
  if (entries.empty()) return figures;

  const DirSpaceLimitEntry& first = entries.front();
  const int64_t usedBlocks = int64_t{first.limitBlocks} - int64_t{first.remainingBlocks};
  figures.usedKb = usedBlocks > 0 ? static_cast<uint64_t>(usedBlocks) * kBlockKb : 0;
  uint32_t best = static_cast<uint32_t>(first.remainingBlocks);
  if (best > kNoLimitBits) best = 0;  // over the limit
  figures.freeKb = KbOf(best);

  for (const DirSpaceLimitEntry& entry : entries) {
    if (entry.remainingBlocks == kNoDirLimit) continue;
    uint32_t remaining =
        entry.remainingBlocks < 0 ? 0 : static_cast<uint32_t>(entry.remainingBlocks);
    // Equal counts are taken, so the last of several equally tight levels wins.
    if (remaining > best) continue;
    uint32_t limit = static_cast<uint32_t>(entry.limitBlocks);
    if (limit < kNoLimitBits) {
      figures.limited = true;
      figures.limitKb = KbOf(limit);
      figures.freeKb = KbOf(remaining);
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
    figures.limitKb = KbOf(restrictionBlocks);
  }
  figures.usedKb = KbOf(inUseBlocks);
  return figures;
}
