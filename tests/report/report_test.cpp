// brimlet-report on logs the tests write: its formats, --since, lines that
// are no entries, bad input, and its textfile read by node-exporter itself.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <regex>
#include <sstream>

#include "support/bounded_wait.h"
#include "support/log_text.h"
#include "support/small_file_system.h"
#include "support/temp_directory.h"

namespace {

struct ReportRun {
  int status;
  std::string out;
  std::string err;
};

// Runs the report with these arguments (each single-quoted for the shell).
ReportRun report(const TempDirectory& folder, const std::vector<std::string>& args) {
  std::string command = BRIMLET_REPORT_PATH;
  for (const std::string& arg : args) command += " '" + arg + "'";
  command += " >" + folder.file("out") + " 2>" + folder.file("err");
  const int status = std::system(command.c_str());
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, readFile(folder.file("out")),
          readFile(folder.file("err"))};
}

std::string entry(const std::string& time, const std::string& level, const std::string& user,
                  int percent, const char* freeMb = "0.00") {
  return time + "," + level + "," + user + "," + std::to_string(percent) + "%," + freeMb +
         " Mb free,48.83 Mb max\n";
}

const std::string kTwoDays = entry("05-03-2001 14:00:00", "Warning", "bob", 91, "4.39") +
                             entry("05-03-2001 14:07:09", "Danger", "bob", 100) +
                             entry("06-03-2001 09:00:00", "Warning", "carl", 95, "2.44") +
                             entry("06-03-2001 09:00:01", "Warning", "anna", 95, "2.44") +
                             entry("06-03-2001 09:30:00", "Warning", "bob", 98, "0.98");

struct ReportCase {
  const char* name;
  std::string log;  // written to the log file; "-" runs on a missing file
  std::vector<std::string> args;
  int status;
  std::vector<std::string> out;  // each found in standard output, in this order
  std::string err;               // found in standard error
};

void PrintTo(const ReportCase& c, std::ostream* out) { *out << c.name; }

class DaemonReportTest : public ::testing::TestWithParam<ReportCase> {};

TEST_P(DaemonReportTest, ReportsWhatTheLogHoldsAndNothingElse) {
  const ReportCase& c = GetParam();
  TempDirectory folder;
  const std::string log = folder.file("brimletlog.txt");
  if (c.log != "-") std::ofstream(log, std::ios::binary) << c.log;
  std::vector<std::string> args = c.args;
  args.push_back(log);
  const ReportRun run = report(folder, args);
  EXPECT_EQ(run.status, c.status) << run.err;
  std::size_t at = 0;
  for (const std::string& part : c.out) {
    const std::size_t found = run.out.find(part, at);
    ASSERT_NE(found, std::string::npos) << "\"" << part << "\" not in order in:\n" << run.out;
    at = found + part.size();
  }
  EXPECT_NE(run.err.find(c.err), std::string::npos) << run.err;
}

const std::string kOdd = entry("06-03-2001 09:00:00", "Warning", "a,\"b", 90) +
                         entry("06-03-2001 09:00:01", "Danger", "Jos\xe9#001", 99);
const std::string kDirty =
    entry("06-03-2001 09:00:00", "Warning", "anna", 95) +
    std::string("06-03-2001 09:00:01,Danger,n\0l,99%,0.00 Mb free,1.00 Mb max\n", 61) +
    std::string(1 << 20, 'x') + "\n" + "another writer's text\n" +
    "06-03-2001 09:00:02,Danger,x,99%,0.00 Mb free,1.00 Mb max#101\n" +
    "06-03-2001 09:00:03,disk danger\n" + "06-03-2001 09:00:04,Danger,cut";

INSTANTIATE_TEST_SUITE_P(
    Report, DaemonReportTest,
    ::testing::Values(
        // Highest last percentage first, ties by name; counts and highest per user.
        ReportCase{"table",
                   kTwoDays,
                   {},
                   0,
                   {"USER",
                    "bob   Warning       98     0.98   48.83  06-03-2001 09:30:00  "
                    "05-03-2001 14:00:00         2        1      100  05-03-2001 14:07:09",
                    "\nanna ", "\ncarl "},
                   ""},
        ReportCase{
            "csv_quoting",
            kOdd,
            {"--format", "csv"},
            0,
            {"user,last_level,", "\r\nJos\xc3\xa9#001,Danger,99,", "\r\n\"a,\"\"b\",Warning,90,"},
            ""},
        ReportCase{
            "json_escaping",
            kOdd,
            {"--format", "json"},
            0,
            {"{\"user\":\"Jos\xc3\xa9\\u0001\",\"last_level\":\"Danger\",\"last_percent\":99,"
             "\"last_free_mb\":0.00,\"last_max_mb\":48.83",
             "{\"user\":\"a,\\\"b\"", "\"not_entries\":0"},
            ""},
        ReportCase{
            "since_day",
            kTwoDays,
            {"--since", "06-03-2001", "--format", "csv"},
            0,
            {"\r\nbob,Warning,98,0.98,48.83,06-03-2001 09:30:00,06-03-2001 09:30:00,1,0,98,"},
            ""},
        ReportCase{"since_time",
                   kTwoDays,
                   {"--since", "06-03-2001 09:00:01", "--format", "json"},
                   0,
                   {"\"user\":\"bob\"", "\"user\":\"anna\"", "\"before_since\":3"},
                   ""},
        ReportCase{"since_refused",
                   kTwoDays,
                   {"--since", "2001-03-06"},
                   2,
                   {},
                   "--since \"2001-03-06\" is not dd-MM-yyyy"},
        // NUL byte, 1 MB line, another writer, an escape the daemon never
        // writes, a cut last line: counted, never guessed into a figure.
        ReportCase{"not_entries",
                   kDirty,
                   {"--format", "json"},
                   0,
                   {"\"user\":\"anna\"", "\"entries\":1,",
                    "\"other_alerts\":1,\"not_entries\":5,"
                    "\"too_long\":1,\"last_line_cut\":true"},
                   "5 of 7 lines are not log entries and were left out (1 longer than 4096 bytes, "
                   "the last one has no line end); the first is line 2"},
        ReportCase{"missing_log", "-", {}, 1, {}, "No such file or directory"},
        ReportCase{"check_critical",
                   kTwoDays + entry("07-03-2001 08:00:00", "Danger", "carl", 100),
                   {"--check"},
                   2,
                   {"BRIMLET CRITICAL - 1 users in danger, 2 in warning (highest: carl 100%) | "
                    "users_danger=1 users_warning=2 not_entries=0"},
                   ""},
        ReportCase{"check_empty_log", "", {"--check"}, 0, {"BRIMLET OK - 0 users"}, ""},
        ReportCase{"check_unreadable", "-", {"--check"}, 3, {"BRIMLET UNKNOWN - "}, ""},
        ReportCase{"prometheus_no_folder",
                   kTwoDays,
                   {"--prometheus", "/nonexistent/brimlet.prom"},
                   1,
                   {},
                   "/nonexistent/brimlet.prom: cannot create a file in its folder"}),
    [](const auto& info) { return std::string(info.param.name); });

// A reader written for plainness, not speed, against the report's CSV on a
// generated log: figures, names with commas, quotes, Latin-1 and escapes,
// Windows line ends, and lines no entry (bad date, raw control byte, an
// escape the daemon never writes, another writer's alert, an endless line).
std::string referenceCsv(std::istream& log) {
  struct User {
    std::string last[6], first, highestAt;
    long long lastValue = 0, highest = 0;
    int w = 0, d = 0;
  };
  static const std::regex kLine(R"((\d\d)-(\d\d)-\d{4} (\d\d):(\d\d):(\d\d),(Warning|Danger),(.+),)"
                                R"((-?(?:0|[1-9]\d{0,9}))%,(-?(?:0|[1-9]\d{0,9})\.\d\d) Mb free,)"
                                R"((-?(?:0|[1-9]\d{0,9})\.\d\d) Mb max)");
  const auto control = [](unsigned char c) { return c < 0x20 || (c >= 0x7F && c <= 0x9F); };
  const auto octal = [](const std::string& s, std::size_t at) {
    return s[at] == '#' && at + 3 < s.size() && s.find_first_not_of("01234567", at + 1) > at + 3;
  };
  std::map<std::string, User> users;
  std::smatch m;
  for (std::string line; std::getline(log, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (log.eof() || line.size() > 4096 || !std::regex_match(line, m, kLine)) continue;
    if (std::stoi(m[1]) < 1 || std::stoi(m[1]) > 31 || std::stoi(m[2]) < 1 ||
        std::stoi(m[2]) > 12 || std::stoi(m[3]) > 23 || std::stoi(m[4]) > 59 ||
        std::stoi(m[5]) > 60)
      continue;
    std::string name, shown, raw = m[7];
    bool bad = false;
    for (std::size_t at = 0; at < raw.size(); ++at) {
      bad |= control(raw[at]);
      if (!octal(raw, at)) {
        name += raw[at];
        continue;
      }
      const int code = std::stoi(raw.substr(at + 1, 3), nullptr, 8);
      bad |= !(control(code) || code == '#');
      name += static_cast<char>(code);
      at += 3;
    }
    if (bad) continue;
    for (std::size_t at = 0; at < name.size(); ++at) {
      const auto c = static_cast<unsigned char>(name[at]);
      char code[5];
      std::snprintf(code, sizeof code, "#%03o", c);
      shown += control(c) || octal(name, at) ? std::string(code)
               : c < 0x80                    ? std::string(1, c)
                                             : std::string{static_cast<char>(0xC0 | c >> 6),
                                        static_cast<char>(0x80 | (c & 0x3F))};
    }
    User& u = users[shown];
    const long long value = std::stoll(m[8]);
    if (u.first.empty()) u.first = u.highestAt = line.substr(0, 19), u.highest = value;
    if (value > u.highest) u.highest = value, u.highestAt = line.substr(0, 19);
    u.lastValue = value;
    (m[6] == "Danger" ? u.d : u.w)++;
    const std::string last[6] = {m[6], m[8], m[9], m[10], line.substr(0, 19), u.first};
    std::copy(last, last + 6, u.last);
  }
  std::vector<std::pair<const std::string, User>*> order;
  for (auto& user : users) order.push_back(&user);
  std::stable_sort(order.begin(), order.end(),
                   [](auto* a, auto* b) { return a->second.lastValue > b->second.lastValue; });
  std::string csv =
      "user,last_level,last_percent,last_free_mb,last_max_mb,last_alert,first_alert,warnings,"
      "dangers,highest_percent,highest_at\r\n";
  for (auto* user : order) {
    std::string name = user->first;
    if (name.find_first_of(",\"") != std::string::npos) {
      for (std::size_t at = name.find('"'); at != std::string::npos; at = name.find('"', at + 2))
        name.insert(at, "\"");
      name = "\"" + name + "\"";
    }
    const User& u = user->second;
    csv += name;
    for (const std::string& field : u.last) csv += "," + field;
    csv += "," + std::to_string(u.w) + "," + std::to_string(u.d) + "," + std::to_string(u.highest) +
           "," + u.highestAt + "\r\n";
  }
  return csv;
}

TEST(DaemonReportFileTest, AgreesWithAPlainReaderOnAGeneratedLog) {
  const char* const kNames[] = {"anna",     "a,b",      "q\"uote", "Jos\xe9",
                                "tab#011x", "hash#043", "#1x",     "n9,1%"};
  const std::string kOther[] = {"32-03-2001 09:00:00,Danger,anna,99%,0.00 Mb free,1.00 Mb max",
                                "06-03-2001 09:00:00,Danger,an\x85na,99%,0.00 Mb free,1.00 Mb max",
                                "06-03-2001 09:00:00,Danger,x#101,99%,0.00 Mb free,1.00 Mb max",
                                "06-03-2001 09:00:00,Danger,x,099%,0.00 Mb free,1.00 Mb max",
                                "06-03-2001 09:00:00,disk danger",
                                std::string(5000, 'x')};
  std::mt19937 random(42);
  std::string log;
  for (int i = 0; i < 4000; ++i) {
    char line[96];
    const int percent = static_cast<int>(random() % 130) - 15;
    std::snprintf(line, sizeof line,
                  "%02d-%02d-20%02d %02d:%02d:%02d,%s,%s,%d%%,%.2f Mb free,48.83 Mb max",
                  1 + i % 28, 1 + i / 500, i % 3, i / 200 % 24, i % 60, i % 61,
                  percent > 95 ? "Danger" : "Warning", kNames[random() % 8], percent,
                  random() % 5000 / 100.0);
    log += random() % 9 == 0 ? kOther[random() % 6] : std::string(line);
    log += random() % 4 == 0 ? "\r\n" : "\n";
  }
  log += "06-03-2001 09:00:00,Danger,cut,99%";
  TempDirectory folder;
  std::ofstream(folder.file("brimletlog.txt"), std::ios::binary) << log;
  std::istringstream in(log);
  EXPECT_EQ(report(folder, {"--format", "csv", folder.file("brimletlog.txt")}).out,
            referenceCsv(in));
}

// A textfile that does not fit leaves nothing behind, not even a part.
TEST(DaemonReportFileTest, AFullDiskLeavesNoPartOfTheTextfile) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to mount a small tmpfs for a full disk";
  TempDirectory folder;
  std::filesystem::create_directory(folder.file("full"));
  SmallFileSystem full(folder.file("full"), "4k");
  ASSERT_TRUE(full.mounted()) << full.error();
  std::string log;
  for (int i = 0; i < 500; ++i)
    log += entry("06-03-2001 09:00:00", "Warning", "user" + std::to_string(i), 95);
  std::ofstream(folder.file("brimletlog.txt")) << log;
  const ReportRun run =
      report(folder, {"--per-user", "--prometheus", folder.file("full/brimlet.prom"),
                      folder.file("brimletlog.txt")});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("No space left on device"), std::string::npos) << run.err;
  EXPECT_TRUE(std::filesystem::is_empty(folder.file("full")));
}

// node-exporter's own textfile collector reads the file: no scrape error,
// and the counts as written.
TEST(DaemonReportFileTest, NodeExporterReadsTheTextfile) {
  constexpr char kExporter[] = "/usr/bin/prometheus-node-exporter";
  ASSERT_EQ(::access(kExporter, X_OK), 0)
      << kExporter << " missing (Debian: prometheus-node-exporter)";
  TempDirectory folder;
  std::filesystem::create_directory(folder.file("textfile"));
  std::ofstream(folder.file("brimletlog.txt"))
      << kTwoDays << entry("07-03-2001 08:00:00", "Danger", "a\"b\\c", 100);
  ASSERT_EQ(report(folder, {"--per-user", "--prometheus", folder.file("textfile/brimlet.prom"),
                            folder.file("brimletlog.txt")})
                .status,
            0);

  const int probe = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  ::bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof address);
  ::getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length);
  ::close(probe);
  const std::string listen =
      "--web.listen-address=127.0.0.1:" + std::to_string(ntohs(address.sin_port));
  const std::string directory = "--collector.textfile.directory=" + folder.file("textfile");
  struct Exporter {
    pid_t pid;
    ~Exporter() {
      if (pid > 0) {
        ::kill(pid, SIGTERM);
        ::waitpid(pid, nullptr, 0);
      }
    }
  } exporter{::fork()};
  if (exporter.pid == 0) {
    std::freopen("/dev/null", "w", stderr);
    ::execl(kExporter, kExporter, "--collector.disable-defaults", "--collector.textfile",
            directory.c_str(), listen.c_str(), nullptr);
    ::_exit(127);
  }
  std::string metrics;
  waitUntil(
      [&] {
        const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        const timeval patience{5, 0};  // an answer that never ends still ends the test
        ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &patience, sizeof patience);
        if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
          const std::string request = "GET /metrics HTTP/1.0\r\nHost: 127.0.0.1\r\n\r\n";
          if (::send(fd, request.data(), request.size(), MSG_NOSIGNAL) > 0) {
            char chunk[4096];
            for (ssize_t n; (n = ::recv(fd, chunk, sizeof chunk, 0)) > 0;) metrics.append(chunk, n);
          }
        }
        ::close(fd);
        return !metrics.empty();
      },
      std::chrono::seconds(10), std::chrono::milliseconds(50));
  for (const char* line :
       {"\nnode_textfile_scrape_error 0\n", "\nbrimlet_users{level=\"danger\"} 1\n",
        "\nbrimlet_users{level=\"warning\"} 3\n", "\nbrimlet_alerts{level=\"danger\"} 2\n",
        "\nbrimlet_alerts{level=\"warning\"} 4\n",
        "\nbrimlet_user_percent{user=\"a\\\"b\\\\c\"} 100\n"}) {
    EXPECT_NE(metrics.find(line), std::string::npos) << line << " not in:\n" << metrics;
  }
}

}  // namespace
