#include "summary/alert_summary.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "log/log_line.h"

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
  MonitorAlert alert;
  bool read = false;
  bool parsed = false;
  // Nearly every line is a monitor's alert without escapes: taken apart as
  // it lies first, only the level and the name are left to look at for
  // control bytes and '#' (the figures and their words parseMonitorAlert
  // took hold neither). That is what readLogLine would have found; any other
  // line is read by it.
  const std::string_view text = line.size() >= 20 ? line.substr(20) : std::string_view();
  if (readLogLineTime(line, &entry) && parseMonitorAlert(text, &alert) &&
      plainAlertText(text.substr(0, static_cast<std::size_t>(alert.percent.data() - text.data())))) {
    entry.time = line.substr(0, 19);
    entry.alert = text;
    read = true;
    parsed = true;
  } else {
    read = readLogLine(line, &entry);
  }
  if (!read) {
    notEntry();
  } else if (entry.timeKey < sinceKey_) {
    ++counts_.beforeSince;
  } else if (!parsed && !parseMonitorAlert(entry.alert, &alert)) {
    // The daemon logged it, but it says nothing about a user that could be
    // told without guessing.
    ++counts_.otherAlerts;
  } else {
    ++counts_.entries;
    const bool danger = alert.level == AlertLevel::Danger;
    ++(danger ? counts_.dangers : counts_.warnings);
    Tally& user = userNamed(alert.user);
    // "%d": an optional '-', then digits only.
    const bool negative = alert.percent[0] == '-';
    long long percent = 0;
    const char* const digitsEnd = alert.percent.data() + alert.percent.size();
    for (const char* at = alert.percent.data() + negative; at != digitsEnd; ++at) {
      percent = percent * 10 + (*at - '0');
    }
    if (negative) percent = -percent;
    if (user.firstKey == 0) {
      user.firstKey = entry.timeKey;
      user.highestPercent = percent;
      user.highestKey = entry.timeKey;
    } else if (percent > user.highestPercent) {
      user.highestPercent = percent;
      user.highestKey = entry.timeKey;
    }
    user.lastLevel = alert.level;
    user.lastPercent = percent;
    user.lastKey = entry.timeKey;
    // The figures lie in one piece at the alert's end.
    const char* figures = alert.percent.data();
    const std::size_t size = static_cast<std::size_t>(alert.maxMb.end() - figures);
    if (size <= sizeof user.figures) {
      std::memcpy(user.figures, figures, size);
      user.percentSize = static_cast<unsigned char>(alert.percent.size());
      user.freeAt = static_cast<unsigned char>(alert.freeMb.data() - figures);
      user.freeSize = static_cast<unsigned char>(alert.freeMb.size());
      user.maxAt = static_cast<unsigned char>(alert.maxMb.data() - figures);
      user.maxSize = static_cast<unsigned char>(alert.maxMb.size());
    }
    ++(danger ? user.dangers : user.warnings);
  }
}

namespace {

std::uint64_t wordAt(const char* at) {
  std::uint64_t word;
  std::memcpy(&word, at, sizeof word);
  return word;
}

// A name's hash from its bytes eight at a time (the last word overlapping
// the one before): every byte counts, and a short name costs a few
// multiplications. Only the table's spread depends on it.
std::uint64_t nameHash(std::string_view name) {
  constexpr std::uint64_t kMix = 0x9E3779B97F4A7C15ULL;
  const char* const data = name.data();
  const std::size_t size = name.size();
  std::uint64_t hash = size * kMix;
  if (size >= 8) {
    for (std::size_t at = 0; at + 8 < size; at += 8) hash = (hash ^ wordAt(data + at)) * kMix;
    hash = (hash ^ wordAt(data + size - 8)) * kMix;
  } else {
    std::uint64_t word = 0;
    std::memcpy(&word, data, size);
    hash = (hash ^ word) * kMix;
  }
  // The words' differences sit in the high bits of a product: the final mix
  // (MurmurHash3's) brings them down to the table's low bits.
  hash ^= hash >> 33;
  hash *= 0xFF51AFD7ED558CCDULL;
  hash ^= hash >> 33;
  hash *= 0xC4CEB9FE1A85EC53ULL;
  return hash ^ (hash >> 33);
}

// Two texts of the same size: a name of 8 to 16 bytes, as most are, in two
// overlapping words instead of a call.
bool sameBytes(std::string_view a, std::string_view b) {
  const std::size_t size = a.size();
  if (size >= 8 && size <= 16) {
    return wordAt(a.data()) == wordAt(b.data()) &&
           wordAt(a.data() + size - 8) == wordAt(b.data() + size - 8);
  }
  return std::memcmp(a.data(), b.data(), size) == 0;
}

}  // namespace

AlertSummary::Tally& AlertSummary::userNamed(std::string_view name) {
  const std::size_t hash = static_cast<std::size_t>(nameHash(name));
  // hashes_ has one element per user, and its size is a shift away.
  if ((hashes_.size() + 1) * 2 > slots_.size()) {
    slots_.assign(slots_.empty() ? 1024 : slots_.size() * 2, 0);
    for (std::size_t i = 0; i < users_.size(); ++i) {
      std::size_t slot = hashes_[i] & (slots_.size() - 1);
      while (slots_[slot] != 0) slot = (slot + 1) & (slots_.size() - 1);
      slots_[slot] = static_cast<std::uint32_t>(i + 1);
    }
  }
  const std::size_t mask = slots_.size() - 1;
  std::size_t slot = hash & mask;
  for (; slots_[slot] != 0; slot = (slot + 1) & mask) {
    const std::size_t index = slots_[slot] - 1;
    const std::string& known = users_[index].user;
    if (hashes_[index] == hash && known.size() == name.size() && sameBytes(known, name)) {
      return users_[index];
    }
  }
  slots_[slot] = static_cast<std::uint32_t>(users_.size() + 1);
  hashes_.push_back(hash);
  users_.emplace_back();
  users_.back().user.assign(name.data(), name.size());
  return users_.back();
}

std::vector<const UserSummary*> AlertSummary::sorted() {
  summaries_.clear();
  summaries_.reserve(users_.size());
  for (const Tally& tally : users_) {
    UserSummary user;
    user.user = tally.user;
    user.lastLevel = tally.lastLevel;
    user.lastPercent.assign(tally.figures, tally.percentSize);
    user.lastFreeMb.assign(tally.figures + tally.freeAt, tally.freeSize);
    user.lastMaxMb.assign(tally.figures + tally.maxAt, tally.maxSize);
    user.lastTime = logTimeText(tally.lastKey);
    user.firstTime = logTimeText(tally.firstKey);
    user.warnings = tally.warnings;
    user.dangers = tally.dangers;
    user.highestPercent = tally.highestPercent;
    user.highestTime = logTimeText(tally.highestKey);
    user.lastPercentValue = tally.lastPercent;
    summaries_.push_back(std::move(user));
  }
  std::vector<const UserSummary*> list;
  list.reserve(summaries_.size());
  for (const UserSummary& user : summaries_) list.push_back(&user);
  std::sort(list.begin(), list.end(), [](const UserSummary* a, const UserSummary* b) {
    if (a->lastPercentValue != b->lastPercentValue)
      return a->lastPercentValue > b->lastPercentValue;
    return a->user < b->user;
  });
  return list;
}
