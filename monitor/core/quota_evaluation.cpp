#include "core/quota_evaluation.h"

#include <algorithm>
#include <cstdint>

#include "core/fixed_text.h"

namespace {

constexpr int32_t kKbPerMb = 1000;

// Every step of the percentages is rounded to double on purpose. The 32-bit
// Windows build computes on the x87 unit, which keeps intermediate results in
// 80 bits and would then give 29 for 29 KB used of 100 where double precision,
// division first, gives 28.999999999999996 and so 28. Storing through a
// volatile double forces the rounding whatever the compiler's float model.
double AsDouble(double value) {
  volatile double stored = value;
  return stored;
}

// Whole megabytes of free kilobytes. The client's counts give at most
// 0xFFFFFFFF blocks of 4 KB, 17179869 MB; larger figures saturate.
int32_t MegabytesOf(uint64_t kb) {
  return static_cast<int32_t>(std::min<uint64_t>(kb / kKbPerMb, INT32_MAX));
}

QuotaEvaluation NoSpaceLeft() { return QuotaEvaluation{100, 0, LevelDanger}; }

}  // namespace

Thresholds ThresholdsOf(const MonitorSettings& settings) {
  return Thresholds{settings.warnThreshold, settings.dangerThreshold, settings.thresholdsInPercent};
}

bool IsFailedReading(int result) { return result < DirectoryLimitOnly || result > NoLimit; }

void MarkFailedReading(QuotaReading& reading) {
  if (!IsFailedReading(reading.result)) return;
  CopyToBuffer(reading.loginName, "??");
  CopyToBuffer(reading.serverName, "??");
}

QuotaFigures FiguresOf(const QuotaReading& reading) {
  QuotaFigures figures;
  figures.dirUsedKb = reading.dirUsedKb;
  figures.dirLimitKb = reading.dirLimitKb;
  figures.dirFreeKb = std::min(reading.dirFreeKb, reading.dirLimitKb);
  figures.volUsedKb = reading.volUsedKb;
  figures.volLimitKb = reading.volLimitKb;
  figures.volFreeKb =
      reading.volUsedKb < reading.volLimitKb ? reading.volLimitKb - reading.volUsedKb : 0;
  return figures;
}

// Each quotient lies in [0, 1] (the larger cases answered first), so the
// percentages lie in 0..100 whatever the figures.
int32_t DirectoryPercent(uint64_t freeKb, uint64_t limitKb) {
  if (freeKb >= limitKb) return 0;
  const double share = AsDouble(static_cast<double>(freeKb) / static_cast<double>(limitKb));
  const double unused = AsDouble(1.0 - share);
  return static_cast<int32_t>(AsDouble(unused * 100.0));
}

int32_t VolumePercent(uint64_t usedKb, uint64_t limitKb) {
  if (usedKb > limitKb) return 100;
  const double share = AsDouble(static_cast<double>(usedKb) / static_cast<double>(limitKb));
  return static_cast<int32_t>(AsDouble(share * 100.0));
}

StatusLevel LevelFromThresholds(int32_t percentUsed, int32_t freeMb, const Thresholds& thresholds) {
  if (thresholds.inPercent) {
    if (percentUsed < thresholds.warn) return LevelOk;
    if (percentUsed < thresholds.danger) return LevelWarning;
    return LevelDanger;
  }
  if (freeMb > thresholds.warn) return LevelOk;
  if (freeMb > thresholds.danger) return LevelWarning;
  return LevelDanger;
}

QuotaEvaluation EvaluateQuota(const QuotaReading& reading, const Thresholds& thresholds) {
  QuotaEvaluation evaluation;
  const QuotaFigures figures = FiguresOf(reading);
  switch (reading.result) {
    case DirectoryLimitOnly:
      if (figures.dirLimitKb == 0) return NoSpaceLeft();
      evaluation.percentUsed = DirectoryPercent(figures.dirFreeKb, figures.dirLimitKb);
      evaluation.freeMb = MegabytesOf(figures.dirFreeKb);
      break;
    case VolumeLimitOnly:
      if (figures.volLimitKb == 0) return NoSpaceLeft();
      evaluation.percentUsed = VolumePercent(figures.volUsedKb, figures.volLimitKb);
      evaluation.freeMb = MegabytesOf(figures.volFreeKb);
      break;
    case BothLimits:
      if (figures.volLimitKb == 0 || figures.dirLimitKb == 0) return NoSpaceLeft();
      evaluation.percentUsed = std::max(VolumePercent(figures.volUsedKb, figures.volLimitKb),
                                        DirectoryPercent(figures.dirFreeKb, figures.dirLimitKb));
      evaluation.freeMb = MegabytesOf(std::min(figures.volFreeKb, figures.dirFreeKb));
      break;
    case NoLimit:
      evaluation.level = LevelOk;
      return evaluation;
    default:
      return evaluation;  // failed reading: 0 %, unknown
  }
  evaluation.level = LevelFromThresholds(evaluation.percentUsed, evaluation.freeMb, thresholds);
  return evaluation;
}
