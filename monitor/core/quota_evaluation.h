// Turning one restriction reading into a percentage, free megabytes, a level
// and the figures shown: the one place where the monitor computes with the
// reading's kilobytes. Every figure is 64-bit and exact, so every 32-bit
// block count the client answers (times 4 KB) gives the right level.
#pragma once

#include <cstdint>

#include "core/monitor_settings.h"
#include "core/status_level.h"
#include "core/quota_types.h"

struct Thresholds {
  int32_t warn = 75;
  int32_t danger = 95;
  bool inPercent = true;  // else megabytes of free space
};

Thresholds ThresholdsOf(const MonitorSettings& settings);

struct QuotaEvaluation {
  int32_t percentUsed = 0;
  int32_t freeMb = 0;  // whole megabytes of 1000 KB; 0 when the level does not use it
  StatusLevel level = LevelUnknown;
};

// The kilobyte figures a reading shows. Free space is never more than its
// limit, nor below 0: a directory that reports more remaining than its limit
// shows its limit free, and a volume used beyond its restriction 0 free.
struct QuotaFigures {
  uint64_t dirUsedKb = 0;
  uint64_t dirLimitKb = 0;
  uint64_t dirFreeKb = 0;
  uint64_t volUsedKb = 0;
  uint64_t volLimitKb = 0;
  uint64_t volFreeKb = 0;
};

QuotaFigures FiguresOf(const QuotaReading& reading);

// Percentage, free megabytes and level of a reading. Results 1 and 6, and any
// value outside 1..6, are a failed reading: 0 %, unknown level.
QuotaEvaluation EvaluateQuota(const QuotaReading& reading, const Thresholds& thresholds);

// True for every result that carries no figures: anything but 2..5.
bool IsFailedReading(int result);

// Writes "??" into the login and server names of a failed reading, so the
// details window does not show names left over from an earlier poll.
void MarkFailedReading(QuotaReading& reading);

// (1 - free / limit) * 100 in double precision in exactly that order, truncated
// toward zero; 0 when as much or more is free than the limit (nothing used).
// `limitKb` must not be 0.
int32_t DirectoryPercent(uint64_t freeKb, uint64_t limitKb);

// used / limit * 100 in double precision, division first, truncated toward
// zero; 100 when more is used than the limit allows. `limitKb` must not be 0.
int32_t VolumePercent(uint64_t usedKb, uint64_t limitKb);

// Level of a usable reading. In percent, the level rises with the percentage
// used; in megabytes, it rises as the free megabytes fall. Each test runs in
// the order ok, warning, danger, so with reversed thresholds the ok band
// reaches up to the warning threshold and the level then jumps to danger.
StatusLevel LevelFromThresholds(int32_t percentUsed, int32_t freeMb, const Thresholds& thresholds);
