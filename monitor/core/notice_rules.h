// When the user is told about the space, and how: the notification at a rise,
// the details window opening by itself, reminders while the level holds, the
// user's snooze and the shell's quiet time. The frame feeds one poll at a time
// with the time of the poll; nothing here reads a clock or persists.
//
// The alert datagrams do not follow these rules: they keep their own
// (core/alert.h, core/level_tracker.h), so the log host sees what it always saw.
#pragma once

#include <cstdint>
#include <ctime>

#include "core/quota_evaluation.h"
#include "core/quota_types.h"
#include "core/status_level.h"

// How far a reading must be clear of a threshold before a fall below it counts
// as real and the next rise is told again.
//   Percent: 2 points of the exact percentage. A mail client's sync moves a
//   home by a few megabytes, well under 2 % of any quota worth a threshold,
//   while a user who tidies up gains more than that.
//   Megabytes: a tenth of the threshold, at least 1 Mb: 5 Mb for the usual
//   50 Mb warning, 1 Mb for a 10 Mb danger threshold, and in proportion for
//   sites with thresholds in gigabytes.
constexpr double kPercentMargin = 2.0;
int64_t MegabyteMarginKb(int32_t thresholdMb);

// While danger holds, a reminder every four hours (about twice a working day);
// while warning holds, one a day.
constexpr int64_t kDangerReminderSeconds = 4 * 3600;
constexpr int64_t kWarningReminderSeconds = 24 * 3600;

// The snooze choices of the tray menu. "Tomorrow" ends at the next 08:00 local
// time: most people are at their desk by then, and a reminder before the day's
// work fills the disk helps more than one at noon.
constexpr int64_t kSnoozeHourSeconds = 3600;
constexpr int64_t kSnoozeFourHoursSeconds = 4 * 3600;
constexpr int kSnoozeMorningHour = 8;

// The next 08:00 local time after `now` (today's when it is earlier), found
// with the C library's local time, daylight saving included.
std::time_t NextMorning(std::time_t now);

// The figures of a reading before any rounding: the larger exact percentage
// of the two limits and the smaller free space, in kilobytes. The shown
// percentage is truncated (74.9 % shows as 74 %); the margin judges this one.
struct ExactFigures {
  bool known = false;  // a usable reading with a limit
  double percentUsed = 0;
  int64_t freeKb = 0;
};
ExactFigures ExactFiguresOf(const QuotaReading& reading);

// The level of `figures` with each threshold moved by its margin towards
// safety: what the level must fall below before a fall counts.
StatusLevel LevelWithMargin(const ExactFigures& figures, const Thresholds& thresholds);

struct NoticePoll {
  int64_t now = 0;                     // seconds; only differences and the snooze end matter
  StatusLevel level = LevelUnknown;    // as evaluated and shown
  StatusLevel levelWithMargin = LevelUnknown;
  int64_t freeKb = 0;                  // exact free space of the reading
  bool quiet = false;                  // the shell says the user is busy or presenting
  bool autoShow = false;               // the details window may open by itself
};

enum class Notice {
  None,
  Notification,  // at a rise, or held back and shown now
  Reminder,      // the level still holds
  OpenWindow,    // the details window opens by itself instead
};

class NoticeRules {
 public:
  // What this poll shows. Rises count against the level last told about, which
  // falls only when the reading is clear of a threshold by its margin; an
  // unknown reading changes nothing but a snooze's end.
  Notice Poll(const NoticePoll& poll);

  // The user's "remind me later": nothing is shown until `until`, unless the
  // level rises into danger or the free space halves. `now` and the free
  // space of the last reading set the mark the halving is measured from when
  // nothing was shown yet. A later call replaces the end.
  void Snooze(int64_t now, int64_t until);
  void EndSnooze() { snoozeUntil = 0; }
  bool Snoozed() const { return snoozeUntil != 0; }
  int64_t SnoozeEnd() const { return snoozeUntil; }

 private:
  enum class Owing { Nothing, Rise, Reminder };

  void FollowLevel(const NoticePoll& poll);
  void OweReminders(const NoticePoll& poll);
  Notice Deliver(const NoticePoll& poll);

  StatusLevel toldLevel = LevelOk;  // the level that counts as risen
  Owing owed = Owing::Nothing;
  bool told = false;  // something was shown since the level last really fell
  int64_t toldAt = 0;
  int64_t toldFreeKb = 0;
  int64_t snoozeUntil = 0;  // 0: no snooze
  int64_t lastFreeKb = -1;
};
