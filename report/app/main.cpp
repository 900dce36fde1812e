// brimlet-report: who is short of space, from a BrimletD log.
#include <cerrno>
#ifdef __GLIBC__  // known once a C library header is in
#include <malloc.h>  // mallopt
#endif
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "log/line_reader.h"
#include "log/log_line.h"
#include "summary/alert_summary.h"
#include "summary/atomic_file.h"
#include "summary/report_output.h"

namespace {

constexpr int kFailed = 1;  // the log or an output could not be read or written
constexpr int kBadUsage = 2;
constexpr int kCheckUnknown = 3;  // the plugin's UNKNOWN

const char kUsage[] =
    "usage: brimlet-report [--format table|csv|json] [--since DATE]\n"
    "                      [--prometheus FILE [--per-user]] [--check] LOG\n"
    "  LOG   a BrimletD log (brimletlog.txt), or - for standard input\n"
    "  DATE  dd-MM-yyyy or \"dd-MM-yyyy HH:mm:ss\", local time as in the log\n";

struct Options {
  std::string format = "table";
  bool formatGiven = false;
  std::uint64_t since = 0;
  std::string prometheus;
  bool perUser = false;
  bool check = false;
  std::string log;
};

bool parseSince(const std::string& text, std::uint64_t* key) {
  if (text.size() == 10) return readLogTime(text + " 00:00:00", key);
  return readLogTime(text, key);
}

// Answers an empty text when the command line is good, else why not.
std::string parseOptions(const std::vector<std::string>& args, Options* options) {
  bool haveLog = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const bool hasValue = i + 1 < args.size();
    if (arg == "--format" || arg == "--since" || arg == "--prometheus") {
      if (!hasValue) return arg + " needs a value";
      const std::string& value = args[++i];
      if (arg == "--format") {
        if (value != "table" && value != "csv" && value != "json")
          return "unknown format \"" + value + "\" (table, csv or json)";
        options->format = value;
        options->formatGiven = true;
      } else if (arg == "--since") {
        if (!parseSince(value, &options->since))
          return "--since \"" + value + "\" is not dd-MM-yyyy or \"dd-MM-yyyy HH:mm:ss\"";
      } else {
        if (value.empty()) return "--prometheus needs a file name";
        options->prometheus = value;
      }
    } else if (arg == "--per-user") {
      options->perUser = true;
    } else if (arg == "--check") {
      options->check = true;
    } else if (arg == "-" || arg.empty() || arg[0] != '-') {
      if (haveLog) return "one log only";
      options->log = arg;
      haveLog = true;
    } else {
      return "unknown option " + arg;
    }
  }
  if (!haveLog) return "no log named";
  if (options->perUser && options->prometheus.empty()) return "--per-user goes with --prometheus";
  return "";
}

// Reads the whole log into the summary; false with the reason on failure.
bool readLog(const std::string& name, AlertSummary* summary, std::string* error) {
  std::FILE* file = name == "-" ? stdin : std::fopen(name.c_str(), "rb");
  const std::string shown = name == "-" ? "standard input" : name;
  if (file == nullptr) {
    *error = shown + ": " + std::strerror(errno);
    return false;
  }
  LineReader reader(file);
  std::string_view line;
  bool good = true;
  for (LineReader::Kind kind; (kind = reader.next(&line)) != LineReader::Kind::End;) {
    if (kind == LineReader::Kind::Failed) {
      *error = shown + ": " + std::strerror(errno);
      good = false;
      break;
    }
    if (kind == LineReader::Kind::Line) {
      summary->addLine(line);
    } else if (kind == LineReader::Kind::TooLong) {
      summary->addTooLong();
    } else {
      summary->addCut();
    }
  }
  if (file != stdin) std::fclose(file);
  return good;
}

bool writeOut(const std::string& text) {
  return std::fwrite(text.data(), 1, text.size(), stdout) == text.size() &&
         std::fflush(stdout) == 0;
}

void tellNotEntries(const std::string& log, const LineCounts& counts) {
  if (counts.otherAlerts > 0) {
    std::fprintf(
        stderr,
        "brimlet-report: %s: %llu entries hold an alert of another form and were not counted\n",
        log.c_str(), static_cast<unsigned long long>(counts.otherAlerts));
  }
  if (counts.notEntries == 0) return;
  std::string line = "brimlet-report: " + log + ": " + std::to_string(counts.notEntries) + " of " +
                     std::to_string(counts.lines) + " lines are not log entries and were left out";
  std::string why;
  if (counts.tooLong > 0) why += std::to_string(counts.tooLong) + " longer than 4096 bytes";
  if (counts.lastLineCut)
    why += std::string(why.empty() ? "" : ", ") + "the last one has no line end";
  if (!why.empty()) line += " (" + why + ")";
  line += "; the first is line " + std::to_string(counts.firstNotEntry) + "\n";
  std::fputs(line.c_str(), stderr);
}

}  // namespace

int main(int argc, char** argv) {
#ifdef __GLIBC__
  // The per-user tables grow by doubling. Left to glibc's defaults, each
  // large step is a fresh mapping, faulted in page by page and unmapped
  // again; kept in the heap, the blocks they leave are used again (about a
  // tenth of the processor time on a large log, a megabyte more at the peak;
  // memory still grows with the users only).
  mallopt(M_MMAP_THRESHOLD, 64 << 20);
  mallopt(M_TRIM_THRESHOLD, 64 << 20);
#endif
  Options options;
  const std::string usageError =
      parseOptions(std::vector<std::string>(argv + 1, argv + argc), &options);
  if (!usageError.empty()) {
    std::fprintf(stderr, "brimlet-report: %s\n%s", usageError.c_str(), kUsage);
    return options.check ? kCheckUnknown : kBadUsage;
  }
  const int failed = options.check ? kCheckUnknown : kFailed;

  AlertSummary summary(options.since);
  std::string error;
  if (!readLog(options.log, &summary, &error)) {
    if (options.check) std::printf("BRIMLET UNKNOWN - %s\n", error.c_str());
    std::fprintf(stderr, "brimlet-report: %s\n", error.c_str());
    return failed;
  }
  tellNotEntries(options.log == "-" ? "standard input" : options.log, summary.counts());
  const Users users = summary.sorted();

  if (!options.prometheus.empty() &&
      !replaceFile(options.prometheus, prometheusText(users, summary.counts(), options.perUser),
                   &error)) {
    if (options.check) std::printf("BRIMLET UNKNOWN - %s\n", error.c_str());
    std::fprintf(stderr, "brimlet-report: %s\n", error.c_str());
    return failed;
  }
  if (options.check) {
    const CheckResult result = checkResult(users, summary.counts());
    if (!writeOut(result.line + "\n")) return kCheckUnknown;
    return result.status;
  }
  if (!options.prometheus.empty() && !options.formatGiven) return 0;
  const std::string report = options.format == "csv"    ? csvReport(users)
                             : options.format == "json" ? jsonReport(users, summary.counts())
                                                        : tableReport(users);
  if (!writeOut(report)) {
    std::fprintf(stderr, "brimlet-report: standard output: %s\n", std::strerror(errno));
    return kFailed;
  }
  return 0;
}
