#include "core/notice_rules.h"

#include <algorithm>

int64_t MegabyteMarginKb(int32_t thresholdMb) {
  const int64_t tenth = static_cast<int64_t>(thresholdMb) * 1000 / 10;
  return std::max<int64_t>(tenth, 1000);
}

std::time_t NextMorning(std::time_t now) {
  std::tm local{};
  if (const std::tm* converted = std::localtime(&now)) {
    local = *converted;
  }
  if (local.tm_hour >= kSnoozeMorningHour) {
    ++local.tm_mday;  // mktime carries it into the next month and year
  }
  local.tm_hour = kSnoozeMorningHour;
  local.tm_min = 0;
  local.tm_sec = 0;
  local.tm_isdst = -1;  // whatever daylight saving says on that day
  std::time_t morning = std::mktime(&local);
  if (morning == static_cast<std::time_t>(-1) || morning <= now) {
    morning = now + 24 * 3600;
  }
  return morning;
}

namespace {

struct Limit {
  double percent;
  int64_t freeKb;
};

// From the shown figures (quota_evaluation.h), so that free space is capped
// alike; the percentage unrounded. A limit of 0 together with a restriction
// is no space at all.
Limit DirectoryLimit(const QuotaFigures& figures) {
  if (figures.dirLimitKb == 0) return {100, 0};
  const double percent =
      (1.0 - static_cast<double>(figures.dirFreeKb) / static_cast<double>(figures.dirLimitKb)) *
      100.0;
  return {percent, static_cast<int64_t>(figures.dirFreeKb)};
}

Limit VolumeLimit(const QuotaFigures& figures) {
  if (figures.volLimitKb == 0 || figures.volUsedKb > figures.volLimitKb) return {100, 0};
  return {static_cast<double>(figures.volUsedKb) / static_cast<double>(figures.volLimitKb) * 100.0,
          static_cast<int64_t>(figures.volFreeKb)};
}

}  // namespace

ExactFigures ExactFiguresOf(const QuotaReading& reading) {
  ExactFigures figures;
  const QuotaFigures shown = FiguresOf(reading);
  switch (reading.result) {
    case DirectoryLimitOnly: {
      const Limit dir = DirectoryLimit(shown);
      figures = {true, dir.percent, dir.freeKb};
      break;
    }
    case VolumeLimitOnly: {
      const Limit vol = VolumeLimit(shown);
      figures = {true, vol.percent, vol.freeKb};
      break;
    }
    case BothLimits: {
      const Limit dir = DirectoryLimit(shown);
      const Limit vol = VolumeLimit(shown);
      figures = {true, std::max(dir.percent, vol.percent), std::min(dir.freeKb, vol.freeKb)};
      break;
    }
    default:
      break;  // no limit, or no reading: nothing to judge
  }
  return figures;
}

// In the order of the shown level's own test (ok, warning, danger), so that
// reversed thresholds behave alike.
StatusLevel LevelWithMargin(const ExactFigures& figures, const Thresholds& thresholds) {
  if (!figures.known) return LevelOk;
  if (thresholds.inPercent) {
    if (figures.percentUsed < thresholds.warn - kPercentMargin) return LevelOk;
    if (figures.percentUsed < thresholds.danger - kPercentMargin) return LevelWarning;
    return LevelDanger;
  }
  const int64_t warnKb = static_cast<int64_t>(thresholds.warn) * 1000;
  const int64_t dangerKb = static_cast<int64_t>(thresholds.danger) * 1000;
  if (figures.freeKb > warnKb + MegabyteMarginKb(thresholds.warn)) return LevelOk;
  if (figures.freeKb > dangerKb + MegabyteMarginKb(thresholds.danger)) return LevelWarning;
  return LevelDanger;
}

void NoticeRules::Snooze(int64_t now, int64_t until) {
  snoozeUntil = std::max(until, now + 1);
  if (!told && lastFreeKb >= 0) {
    toldFreeKb = lastFreeKb;  // halving is measured from here
  }
}

Notice NoticeRules::Poll(const NoticePoll& poll) {
  if (Snoozed() && poll.now >= snoozeUntil) {
    snoozeUntil = 0;
    // What the user asked for: to be told again, if the level still holds.
    if (owed == Owing::Nothing && toldLevel >= LevelWarning) owed = Owing::Reminder;
  }
  if (poll.level == LevelUnknown) {
    return Notice::None;  // a failed reading is no fall
  }
  FollowLevel(poll);
  OweReminders(poll);
  lastFreeKb = poll.freeKb;
  return Deliver(poll);
}

//   the reading's level         effect
//   above the told level        a rise: it is owed; a rise into danger ends a snooze
//   at or below it, but not     nothing: the level has not really fallen
//     clear by the margin
//   clear of a threshold by     the told level falls to what the margin allows;
//     the margin                at ok all is forgotten and the next rise is told
void NoticeRules::FollowLevel(const NoticePoll& poll) {
  if (poll.level > toldLevel) {
    toldLevel = poll.level;
    owed = Owing::Rise;
    if (poll.level == LevelDanger) snoozeUntil = 0;
    return;
  }
  const StatusLevel allowed = std::max(poll.level, poll.levelWithMargin);
  if (allowed < toldLevel) {
    toldLevel = allowed;
    if (toldLevel == LevelOk) {
      owed = Owing::Nothing;
      told = false;
      if (!Snoozed()) toldFreeKb = 0;
    }
  }
}

//   while                      a reminder when
//   danger holds               4 hours have passed since the last notice,
//                              or the free space has halved since it
//   warning holds              a day has passed since the last notice
//   snoozed (either level)     the free space has halved: the snooze ends
void NoticeRules::OweReminders(const NoticePoll& poll) {
  const bool halved = toldFreeKb > 0 && poll.freeKb * 2 <= toldFreeKb;
  if (Snoozed()) {
    if (halved && poll.level >= LevelWarning) {
      snoozeUntil = 0;
      if (owed == Owing::Nothing) owed = Owing::Reminder;
    }
    return;
  }
  if (!told || owed != Owing::Nothing) return;
  if (poll.level == LevelDanger &&
      (halved || poll.now - toldAt >= kDangerReminderSeconds)) {
    owed = Owing::Reminder;
  } else if (poll.level == LevelWarning && poll.now - toldAt >= kWarningReminderSeconds) {
    owed = Owing::Reminder;
  }
}

// What is owed is shown when the reading shows warning or danger, no snooze
// runs and the shell is not quiet; otherwise it waits for a later poll, as
// long as its level has not really fallen.
Notice NoticeRules::Deliver(const NoticePoll& poll) {
  if (owed == Owing::Nothing || poll.level < LevelWarning || Snoozed() || poll.quiet) {
    return Notice::None;
  }
  Notice notice = Notice::Reminder;
  if (owed == Owing::Rise) {
    notice = poll.level == LevelDanger && poll.autoShow ? Notice::OpenWindow
                                                         : Notice::Notification;
  }
  owed = Owing::Nothing;
  told = true;
  toldAt = poll.now;
  toldFreeKb = poll.freeKb;
  return notice;
}
