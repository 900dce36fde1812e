// The report's text: a table for people, CSV and JSON for programs, the
// node-exporter textfile and the monitoring plugin's line. All of it is
// UTF-8: the log's Latin-1 names are converted. Table, CSV, the textfile and
// the plugin line show a name as the log does, its control bytes written
// "#ooo"; JSON gives the name's own characters, escaped as JSON wants.
#pragma once

#include <string>
#include <vector>

#include "summary/alert_summary.h"

using Users = std::vector<const UserSummary*>;

std::string tableReport(const Users& users);
std::string csvReport(const Users& users);
std::string jsonReport(const Users& users, const LineCounts& counts);
std::string prometheusText(const Users& users, const LineCounts& counts, bool perUser);

// The plugin's status (0 OK, 1 WARNING, 2 CRITICAL) and its one line.
struct CheckResult {
  int status;
  std::string line;
};
CheckResult checkResult(const Users& users, const LineCounts& counts);

// The name as the log shows it, in UTF-8.
std::string shownName(const std::string& user);
