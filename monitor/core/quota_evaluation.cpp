#include "core/quota_evaluation.h"

#include <algorithm>
#include <limits>

#include "core/fixed_text.h"

namespace {

constexpr int32_t kKbPerMb = 1000;

// A double-to-int conversion outside the int range is undefined; the
// percentages can only leave it downwards (free far above the limit).
int32_t TruncateToInt32(double value) {
  constexpr double kLowest = std::numeric_limits<int32_t>::min();
  constexpr double kHighest = std::numeric_limits<int32_t>::max();
  if (value <= kLowest) return std::numeric_limits<int32_t>::min();
  if (value >= kHighest) return std::numeric_limits<int32_t>::max();
  return static_cast<int32_t>(value);
}

// Every step of the percentages is rounded to double on purpose. The 32-bit
// Windows build computes on the x87 unit, which keeps intermediate results in
// 80 bits and would then give 29 for 29 KB used of 100 where double precision,
// division first, gives 28.999999999999996 and so 28. Storing through a
// volatile double forces the rounding whatever the compiler's float model.
double AsDouble(double value) {
  volatile double stored = value;
  return stored;
}

// limit - used as a signed 32-bit number (wrapping), never below 0.
int32_t VolumeFreeKb(const QuotaReading& reading) {
  const auto difference = static_cast<int32_t>(reading.volLimitKb - reading.volUsedKb);
  return std::max<int32_t>(0, difference);
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

int32_t DirectoryPercent(uint32_t freeKb, uint32_t limitKb) {
  const double share = AsDouble(static_cast<double>(freeKb) / static_cast<double>(limitKb));
  const double unused = AsDouble(1.0 - share);
  return TruncateToInt32(AsDouble(unused * 100.0));
}

int32_t VolumePercent(uint32_t usedKb, uint32_t limitKb) {
  if (usedKb > limitKb) return 100;
  const double share = AsDouble(static_cast<double>(usedKb) / static_cast<double>(limitKb));
  return TruncateToInt32(AsDouble(share * 100.0));
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
  switch (reading.result) {
    case DirectoryLimitOnly:
      if (reading.dirLimitKb == 0) return NoSpaceLeft();
      evaluation.percentUsed = DirectoryPercent(reading.dirFreeKb, reading.dirLimitKb);
      evaluation.freeMb = static_cast<int32_t>(reading.dirFreeKb / kKbPerMb);
      break;
    case VolumeLimitOnly:
      if (reading.volLimitKb == 0) return NoSpaceLeft();
      evaluation.percentUsed = VolumePercent(reading.volUsedKb, reading.volLimitKb);
      evaluation.freeMb = VolumeFreeKb(reading) / kKbPerMb;
      break;
    case BothLimits: {
      if (reading.volLimitKb == 0 || reading.dirLimitKb == 0) return NoSpaceLeft();
      evaluation.percentUsed = std::max(VolumePercent(reading.volUsedKb, reading.volLimitKb),
                                        DirectoryPercent(reading.dirFreeKb, reading.dirLimitKb));
      const int64_t freeKb = std::min<int64_t>(VolumeFreeKb(reading), reading.dirFreeKb);
      evaluation.freeMb = static_cast<int32_t>(freeKb / kKbPerMb);
      break;
    }
    case NoLimit:
      evaluation.level = LevelOk;
      return evaluation;
    default:
      return evaluation;  // failed reading: 0 %, unknown
  }
  evaluation.level = LevelFromThresholds(evaluation.percentUsed, evaluation.freeMb, thresholds);
  return evaluation;
}
