#include "summary/report_output.h"

#include <algorithm>
#include <cstdio>

#include "alerts/log_entry.h"

namespace {

const char* levelName(AlertLevel level) {
  return level == AlertLevel::Danger ? "Danger" : "Warning";
}

struct Column {
  const char* title;
  bool number;  // right-aligned
};

constexpr Column kColumns[] = {{"USER", false},        {"LEVEL", false},     {"PERCENT", true},
                               {"FREE_MB", true},      {"MAX_MB", true},     {"LAST_ALERT", false},
                               {"FIRST_ALERT", false}, {"WARNINGS", true},   {"DANGERS", true},
                               {"HIGHEST", true},      {"HIGHEST_AT", false}};
constexpr std::size_t kColumnCount = sizeof kColumns / sizeof kColumns[0];

using Row = std::string[kColumnCount];

// A row's cells, the name in the log's spelling still in Latin-1 so that
// one byte is one character for the widths. The strings are reused row by
// row.
void fillCells(const UserSummary& user, Row& row) {
  row[0] = escapeControlBytes(user.user);
  row[1] = levelName(user.lastLevel);
  row[2] = user.lastPercent;
  row[3] = user.lastFreeMb;
  row[4] = user.lastMaxMb;
  row[5] = user.lastTime;
  row[6] = user.firstTime;
  row[7] = std::to_string(user.warnings);
  row[8] = std::to_string(user.dangers);
  row[9] = std::to_string(user.highestPercent);
  row[10] = user.highestTime;
}

std::string csvField(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (const char c : text) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + "\"";
}

// Latin-1 bytes as a JSON string: every control character (C0, DEL, C1) as
// \u00XX, the rest in UTF-8.
std::string jsonString(const std::string& latin1) {
  std::string out = "\"";
  for (const char c : latin1) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (byte < 0x20 || (byte >= 0x7F && byte <= 0x9F)) {
      char code[8];
      std::snprintf(code, sizeof code, "\\u%04x", byte);
      out += code;
    } else if (byte < 0x80) {
      out += c;
    } else {
      out += static_cast<char>(0xC0 | (byte >> 6));
      out += static_cast<char>(0x80 | (byte & 0x3F));
    }
  }
  return out + "\"";
}

// A label value as the exposition format wants it.
std::string labelValue(const std::string& user) {
  std::string out;
  for (const char c : shownName(user)) {
    if (c == '\\' || c == '"') out += '\\';
    if (c == '\n') {
      out += "\\n";
      continue;
    }
    out += c;
  }
  return out;
}

}  // namespace

std::string shownName(const std::string& user) { return latin1ToUtf8(escapeControlBytes(user)); }

// Two passes over the users, the first for the widths, so that no row is
// kept: the text is written once, into room taken once.
std::string tableReport(const Users& users) {
  std::size_t widths[kColumnCount];
  for (std::size_t c = 0; c < kColumnCount; ++c) widths[c] = std::string(kColumns[c].title).size();
  Row row;
  for (const UserSummary* user : users) {
    fillCells(*user, row);
    for (std::size_t c = 0; c < kColumnCount; ++c) widths[c] = std::max(widths[c], row[c].size());
  }
  std::size_t lineSize = 2 * (kColumnCount - 1) + 1;
  for (const std::size_t width : widths) lineSize += width;
  std::string out;
  out.reserve(lineSize * (users.size() + 1));
  // Padded by the Latin-1 widths, each cell then written as UTF-8.
  const auto addRow = [&]() {
    for (std::size_t c = 0; c < kColumnCount; ++c) {
      const std::size_t pad = widths[c] - row[c].size();
      if (c > 0) out.append(2, ' ');
      if (kColumns[c].number) out.append(pad, ' ');
      appendLatin1AsUtf8(&out, row[c]);
      if (!kColumns[c].number && c + 1 < kColumnCount) out.append(pad, ' ');
    }
    out += '\n';
  };
  for (std::size_t c = 0; c < kColumnCount; ++c) row[c] = kColumns[c].title;
  addRow();
  for (const UserSummary* user : users) {
    fillCells(*user, row);
    addRow();
  }
  return out;
}

std::string csvReport(const Users& users) {
  static const char kHeader[] =
      "user,last_level,last_percent,last_free_mb,last_max_mb,last_alert,first_alert,warnings,"
      "dangers,highest_percent,highest_at\r\n";
  std::string out = kHeader;
  Row row;
  for (const UserSummary* user : users) {
    fillCells(*user, row);
    for (std::size_t c = 0; c < kColumnCount; ++c) {
      if (c > 0) out += ',';
      out += csvField(c == 0 ? latin1ToUtf8(row[c]) : row[c]);
    }
    out += "\r\n";
  }
  return out;
}

std::string jsonReport(const Users& users, const LineCounts& counts) {
  std::string out = "{\"users\":[";
  for (std::size_t i = 0; i < users.size(); ++i) {
    const UserSummary& u = *users[i];
    // Piece by piece into the one text, not through a text per user.
    out += i == 0 ? "\n {\"user\":" : ",\n {\"user\":";
    out += jsonString(u.user);
    out += ",\"last_level\":\"";
    out += levelName(u.lastLevel);
    out += "\",\"last_percent\":";
    out += u.lastPercent;
    out += ",\"last_free_mb\":";
    out += u.lastFreeMb;
    out += ",\"last_max_mb\":";
    out += u.lastMaxMb;
    out += ",\"last_alert\":\"";
    out += u.lastTime;
    out += "\",\"first_alert\":\"";
    out += u.firstTime;
    out += "\",\"warnings\":";
    out += std::to_string(u.warnings);
    out += ",\"dangers\":";
    out += std::to_string(u.dangers);
    out += ",\"highest_percent\":";
    out += std::to_string(u.highestPercent);
    out += ",\"highest_at\":\"";
    out += u.highestTime;
    out += "\"}";
  }
  out += "\n],\n\"lines\":" + std::to_string(counts.lines) +
         ",\"entries\":" + std::to_string(counts.entries) +
         ",\"before_since\":" + std::to_string(counts.beforeSince) +
         ",\"other_alerts\":" + std::to_string(counts.otherAlerts) +
         ",\"not_entries\":" + std::to_string(counts.notEntries) +
         ",\"too_long\":" + std::to_string(counts.tooLong) +
         ",\"last_line_cut\":" + (counts.lastLineCut ? "true" : "false") + "}\n";
  return out;
}

std::string prometheusText(const Users& users, const LineCounts& counts, bool perUser) {
  std::uint64_t usersDanger = 0;
  for (const UserSummary* user : users) usersDanger += user->lastLevel == AlertLevel::Danger;
  const std::uint64_t usersWarning = users.size() - usersDanger;
  std::string out =
      "# HELP brimlet_users Users by the level of their last alert in the BrimletD log.\n"
      "# TYPE brimlet_users gauge\n"
      "brimlet_users{level=\"danger\"} " +
      std::to_string(usersDanger) +
      "\n"
      "brimlet_users{level=\"warning\"} " +
      std::to_string(usersWarning) +
      "\n"
      "# HELP brimlet_alerts Alerts in the BrimletD log by level.\n"
      "# TYPE brimlet_alerts gauge\n"
      "brimlet_alerts{level=\"danger\"} " +
      std::to_string(counts.dangers) +
      "\n"
      "brimlet_alerts{level=\"warning\"} " +
      std::to_string(counts.warnings) +
      "\n"
      "# HELP brimlet_log_lines_not_entries Lines of the BrimletD log that are no entry.\n"
      "# TYPE brimlet_log_lines_not_entries gauge\n"
      "brimlet_log_lines_not_entries " +
      std::to_string(counts.notEntries) + "\n";
  if (!perUser) return out;
  const struct {
    const char* name;
    const char* help;
    std::string UserSummary::*field;
  } gauges[] = {
      {"brimlet_user_percent", "Percentage of the quota used, from the user's last alert.",
       &UserSummary::lastPercent},
      {"brimlet_user_free_megabytes", "Free space in Mb, from the user's last alert.",
       &UserSummary::lastFreeMb},
      {"brimlet_user_max_megabytes", "Quota in Mb, from the user's last alert.",
       &UserSummary::lastMaxMb},
  };
  // Each user's label once, for the four gauges.
  std::vector<std::string> labels;
  labels.reserve(users.size());
  for (const UserSummary* user : users) labels.push_back(labelValue(user->user));
  for (const auto& gauge : gauges) {
    out += std::string("# HELP ") + gauge.name + " " + gauge.help + "\n# TYPE " + gauge.name +
           " gauge\n";
    for (std::size_t i = 0; i < users.size(); ++i) {
      out += gauge.name;
      out += "{user=\"";
      out += labels[i];
      out += "\"} ";
      out += users[i]->*gauge.field;
      out += '\n';
    }
  }
  out +=
      "# HELP brimlet_user_danger 1 when the user's last alert is a danger, else 0.\n"
      "# TYPE brimlet_user_danger gauge\n";
  for (std::size_t i = 0; i < users.size(); ++i) {
    out += "brimlet_user_danger{user=\"";
    out += labels[i];
    out += users[i]->lastLevel == AlertLevel::Danger ? "\"} 1\n" : "\"} 0\n";
  }
  return out;
}

CheckResult checkResult(const Users& users, const LineCounts& counts) {
  std::uint64_t danger = 0;
  for (const UserSummary* user : users) danger += user->lastLevel == AlertLevel::Danger;
  const std::uint64_t warning = users.size() - danger;
  const int status = danger > 0 ? 2 : warning > 0 ? 1 : 0;
  static const char* const kStatus[] = {"OK", "WARNING", "CRITICAL"};
  std::string line = std::string("BRIMLET ") + kStatus[status] + " - " + std::to_string(danger) +
                     " users in danger, " + std::to_string(warning) + " in warning";
  if (!users.empty()) {
    // A '|' would start the performance data: it is written as the log
    // writes an escape.
    std::string name;
    for (const char c : shownName(users.front()->user))
      name += c == '|' ? std::string("#174") : std::string(1, c);
    line += " (highest: " + name + " " + users.front()->lastPercent + "%)";
  }
  if (counts.notEntries > 0)
    line += ", " + std::to_string(counts.notEntries) + " lines not entries";
  if (counts.otherAlerts > 0)
    line += ", " + std::to_string(counts.otherAlerts) + " alerts of another form";
  line += " | users_danger=" + std::to_string(danger) +
          " users_warning=" + std::to_string(warning) +
          " not_entries=" + std::to_string(counts.notEntries) +
          " other_alerts=" + std::to_string(counts.otherAlerts);
  return {status, line};
}
