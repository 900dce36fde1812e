// Who is short of space: the alerts of a log, gathered per login name.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "alerts/alert_form.h"
#include "log/log_line.h"

// One user's alerts, as far as the log tells them.
struct UserSummary {
  std::string user;  // the name's bytes as the monitor sent them
  AlertLevel lastLevel = AlertLevel::Warning;
  std::string lastPercent;  // the figures as the monitor wrote them
  std::string lastFreeMb;
  std::string lastMaxMb;
  std::string lastTime;  // "dd-MM-yyyy HH:mm:ss", of the last alert in the file
  std::string firstTime;
  std::uint64_t warnings = 0;
  std::uint64_t dangers = 0;
  long long highestPercent = 0;
  std::string highestTime;  // when it was first reached
  long long lastPercentValue = 0;
};

// What the lines of a log came to.
struct LineCounts {
  std::uint64_t lines = 0;
  std::uint64_t entries = 0;        // alerts in the monitor's form, counted per user
  std::uint64_t beforeSince = 0;    // entries older than --since, left out
  std::uint64_t otherAlerts = 0;    // the daemon's entries of another form
  std::uint64_t notEntries = 0;     // lines the daemon cannot have written
  std::uint64_t tooLong = 0;        // of those, the lines past the length cap
  std::uint64_t firstNotEntry = 0;  // its line number, 0 if none
  bool lastLineCut = false;
  std::uint64_t warnings = 0;
  std::uint64_t dangers = 0;
};

class AlertSummary {
 public:
  // Entries before `sinceKey` (readLogTime's number; 0 for all) are left out.
  explicit AlertSummary(std::uint64_t sinceKey) : sinceKey_(sinceKey) {}

  void addLine(std::string_view line);
  // A line that is no entry whatever it holds: too long, or cut.
  void addTooLong();
  void addCut();

  const LineCounts& counts() const { return counts_; }

  // Every user's summary, highest last percentage first, ties by name. The
  // pointers hold until the next call.
  std::vector<const UserSummary*> sorted();

 private:
  // What a line changes for its user, kept as cheaply as it can be told
  // again: times as their keys, the last alert's figures in one piece.
  struct Tally {
    std::string user;
    AlertLevel lastLevel = AlertLevel::Warning;
    // The last alert from its percentage on ("98%,0.98 Mb free,48.83 Mb
    // max"), at most 50 bytes in the form parseMonitorAlert takes, and
    // where the free and the maximum size lie in it.
    char figures[64];
    unsigned char percentSize = 0, freeAt = 0, freeSize = 0, maxAt = 0, maxSize = 0;
    std::uint64_t firstKey = 0;
    std::uint64_t lastKey = 0;
    std::uint64_t highestKey = 0;
    long long highestPercent = 0;
    long long lastPercent = 0;
    std::uint64_t warnings = 0;
    std::uint64_t dangers = 0;
  };

  void notEntry();
  Tally& userNamed(std::string_view name);

  std::uint64_t sinceKey_;
  LineCounts counts_;

  // Users in the order they first came, found through an open-addressed
  // table of their indexes: a log of many users touches little memory per
  // line.
  std::vector<Tally> users_;
  std::vector<std::size_t> hashes_;   // per user
  std::vector<std::uint32_t> slots_;  // index + 1; 0 is free

  LogLine entry_;  // kept from line to line for its buffer
  std::vector<UserSummary> summaries_;
};
