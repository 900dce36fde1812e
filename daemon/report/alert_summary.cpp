#include "alert_summary.h"

#include <algorithm>
#include <cstdlib>

#include "log_line.h"

void AlertSummary::notEntry() {
  ++counts_.notEntries;
  if (counts_.firstNotEntry == 0) counts_.firstNotEntry = counts_.lines;
}

void AlertSummary::addTooLong() {
  ++counts_.lines;
  ++counts_.tooLong;
  notEntry();
}

void AlertSummary::addCut() {
  ++counts_.lines;
  counts_.lastLineCut = true;
  notEntry();
}

void AlertSummary::addLine(std::string_view line) {
  ++counts_.lines;
  LogLine& entry = entry_;
  const bool read = readLogLine(line, &entry);
  MonitorAlert alert;
  if (!read) {
    notEntry();
  } else if (entry.timeKey < sinceKey_) {
    ++counts_.beforeSince;
  } else if (!parseMonitorAlert(entry.alert, &alert)) {
    // The daemon logged it, but it says nothing about a user that could be
    // told without guessing.
    ++counts_.otherAlerts;
  } else {
    ++counts_.entries;
    const bool danger = alert.level == AlertLevel::Danger;
    ++(danger ? counts_.dangers : counts_.warnings);
    key_.assign(alert.user.data(), alert.user.size());
    UserSummary& user = users_[key_];
    const long long percent = std::strtoll(std::string(alert.percent).c_str(), nullptr, 10);
    if (user.user.empty()) {
      user.user = key_;
      user.firstTime.assign(entry.time.data(), entry.time.size());
      user.highestPercent = percent;
      user.highestTime = user.firstTime;
    } else if (percent > user.highestPercent) {
      user.highestPercent = percent;
      user.highestTime.assign(entry.time.data(), entry.time.size());
    }
    user.lastLevel = alert.level;
    user.lastPercent.assign(alert.percent.data(), alert.percent.size());
    user.lastPercentValue = percent;
    user.lastFreeMb.assign(alert.freeMb.data(), alert.freeMb.size());
    user.lastMaxMb.assign(alert.maxMb.data(), alert.maxMb.size());
    user.lastTime.assign(entry.time.data(), entry.time.size());
    ++(danger ? user.dangers : user.warnings);
  }
}

std::vector<const UserSummary*> AlertSummary::sorted() const {
  std::vector<const UserSummary*> list;
  list.reserve(users_.size());
  for (const auto& pair : users_) list.push_back(&pair.second);
  std::sort(list.begin(), list.end(), [](const UserSummary* a, const UserSummary* b) {
    if (a->lastPercentValue != b->lastPercentValue) return a->lastPercentValue > b->lastPercentValue;
    return a->user < b->user;
  });
  return list;
}
