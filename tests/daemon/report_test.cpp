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
#include <sstream>

#include "bounded_wait.h"
#include "small_file_system.h"
#include "temp_directory.h"

namespace {

struct ReportRun {
  int status;
  std::string out;
  std::string err;
};

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

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
