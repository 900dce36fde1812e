#include "windows_drive/drive_figures.h"

#include <algorithm>

namespace {

constexpr uint64_t kMaxKb = 0xFFFFFFFFu;

uint32_t ClampedKb(uint64_t kb) { return static_cast<uint32_t>(std::min(kb, kMaxKb)); }

}  // namespace

DriveFigures DriveFiguresOf(uint64_t totalBytes, uint64_t freeBytes) {
  // Free to the caller never exceeds the total on a sound drive; if a
  // redirector says otherwise, the drive counts as empty rather than negative.
  freeBytes = std::min(freeBytes, totalBytes);
  uint64_t totalKb = totalBytes / 1024;
  uint64_t freeKb = freeBytes / 1024;
  DriveFigures figures;
  figures.limitKb = ClampedKb(totalKb);
  figures.freeKb = ClampedKb(freeKb);
  figures.usedKb = ClampedKb(totalKb - freeKb);
  figures.result = totalKb > kMaxKb ? NoLimit : DirectoryLimitOnly;
  return figures;
}
