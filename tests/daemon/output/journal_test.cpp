// Alerts as journal entries: the encoder and its socket against a datagram
// socket of the test's own, and the daemon against a real systemd-journald
// in a mount namespace of the test's own.
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>

#include "alerts/log_entry.h"
#include "output/alert_journal.h"
#include "output/journal_entry.h"
#include "support/bounded_wait.h"
#include "support/daemon_process.h"
#include "support/temp_directory.h"

namespace {

using Fields = std::map<std::string, std::string>;

// A datagram socket standing in for the journal's, bound in a scratch folder.
class FakeJournal {
 public:
  explicit FakeJournal(const std::string& path) : path_(path) {
    fd_ = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{AF_UNIX, {}};
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    ::bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address);
  }
  ~FakeJournal() { ::close(fd_); }

  // One entry's payload, read from the memory file when one came along.
  std::string receive() {
    std::string data(1 << 16, '\0');
    iovec part{&data[0], data.size()};
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(int))];
    msghdr message{};
    message.msg_iov = &part;
    message.msg_iovlen = 1;
    message.msg_control = control;
    message.msg_controllen = sizeof control;
    const ssize_t got = ::recvmsg(fd_, &message, MSG_DONTWAIT);
    if (got < 0) return "(nothing received)";
    data.resize(static_cast<std::size_t>(got));
    const cmsghdr* header = CMSG_FIRSTHDR(&message);
    if (header == nullptr || header->cmsg_type != SCM_RIGHTS) return data;
    int memory;
    std::memcpy(&memory, CMSG_DATA(header), sizeof memory);
    std::string text;
    char chunk[65536];
    for (ssize_t n;
         (n = ::pread(memory, chunk, sizeof chunk, static_cast<off_t>(text.size()))) > 0;)
      text.append(chunk, static_cast<std::size_t>(n));
    ::close(memory);
    return data.empty() ? text : "(payload and file together)";
  }

 private:
  std::string path_;
  int fd_;
};

// Reads the native protocol back: NAME=value lines and binary fields.
Fields decode(const std::string& payload) {
  Fields fields;
  for (std::size_t at = 0; at < payload.size();) {
    const std::size_t end = payload.find('\n', at);
    if (end == std::string::npos) return {{"(undecodable)", payload.substr(at)}};
    const std::string line = payload.substr(at, end - at);
    const std::size_t equals = line.find('=');
    if (equals != std::string::npos) {
      fields[line.substr(0, equals)] = line.substr(equals + 1);
      at = end + 1;
      continue;
    }
    std::uint64_t length = 0;
    for (int i = 7; i >= 0; --i)
      length = length << 8 | static_cast<unsigned char>(payload[end + 1 + i]);
    fields[line] = payload.substr(end + 9, length);
    at = end + 9 + length + 1;
  }
  return fields;
}

enum class Journal { Listening, Refusing, Missing };

struct EntryCase {
  const char* name;
  Journal journal;
  std::string message;
  Fields expected;  // every field of the entry; empty when none is sent
};

void PrintTo(const EntryCase& c, std::ostream* out) { *out << c.name; }

std::string line(const std::string& message) { return "05-03-2001 14:07:09," + message; }

class DaemonJournalEntryTest : public ::testing::TestWithParam<EntryCase> {};

TEST_P(DaemonJournalEntryTest, SendsTheAlertAsOneEntryOrSaysOnceWhyNot) {
  const EntryCase& c = GetParam();
  TempDirectory folder;
  const std::string path = folder.file("socket");
  std::unique_ptr<FakeJournal> journal;
  if (c.journal != Journal::Missing) journal = std::make_unique<FakeJournal>(path);
  if (c.journal == Journal::Refusing) journal.reset();  // the socket file stays, nobody listens
  std::vector<std::string> said;
  AlertJournal alerts(std::make_unique<JournalSocket>(path),
                      [&](const std::string& text) { said.push_back(text); });
  const std::string logLine = buildEntry("05-03-2001 14:07:09", c.message);
  const bool first = alerts.record(logLine, c.message, "192.0.2.7");
  const bool second = alerts.record(logLine, c.message, "192.0.2.7");
  if (c.expected.empty()) {
    EXPECT_FALSE(first || second);
    ASSERT_EQ(said.size(), 1u) << "one line for a run of failures";
    EXPECT_EQ(said[0].rfind(AlertJournal::kFailedLine, 0), 0u) << said[0];
    return;
  }
  EXPECT_TRUE(first && second);
  EXPECT_TRUE(said.empty());
  Fields expected = c.expected;
  expected["BRIMLET_SENDER"] = "192.0.2.7";
  EXPECT_EQ(decode(journal->receive()), expected);
}

Fields monitorFields(const char* level, const char* user, const char* percent) {
  const bool danger = std::string(level) == "Danger";
  return {{"PRIORITY", danger ? "2" : "4"},
          {"SYSLOG_IDENTIFIER", "brimletd"},
          {"MESSAGE_ID", danger ? kDangerMessageId : kWarningMessageId},
          {"BRIMLET_LEVEL", level},
          {"BRIMLET_USER", user},
          {"BRIMLET_PERCENT", percent},
          {"BRIMLET_FREE_MB", "0.00"},
          {"BRIMLET_MAX_MB", "48.83"}};
}

Fields with(Fields fields, const std::string& message) {
  fields["MESSAGE"] = message;
  return fields;
}

const std::string kDanger = "Danger,user1,100%,0.00 Mb free,48.83 Mb max";

// A warning for the user `name`: its BRIMLET_USER field and its log line.
EntryCase byteCase(const char* title, const std::string& name, const std::string& field,
                   const std::string& logged) {
  const std::string tail = ",95%,0.00 Mb free,48.83 Mb max";
  return {title, Journal::Listening, "Warning," + name + tail,
          with(monitorFields("Warning", field.c_str(), "95"), line("Warning," + logged + tail))};
}

INSTANTIATE_TEST_SUITE_P(
    Journal, DaemonJournalEntryTest,
    ::testing::Values(EntryCase{"danger", Journal::Listening, kDanger,
                                with(monitorFields("Danger", "user1", "100"), line(kDanger))},
                      // A comma in the name does not shift the figures; Latin-1 goes in as UTF-8.
                      EntryCase{"warning_latin1_comma", Journal::Listening,
                                "Warning,Jos\xe9,b,95%,0.00 Mb free,48.83 Mb max",
                                with(monitorFields("Warning", "Jos\xc3\xa9,b", "95"),
                                     line("Warning,Jos\xc3\xa9,b,95%,0.00 Mb free,48.83 Mb max"))},
                      // Bytes: no field holds a control byte; the name is read as
                      // Windows-1252, whose undefined bytes keep their escape;
                      // MESSAGE is the log line as written.
                      byteCase("escape", "u\x1b[31m", "u#033[31m", "u#033[31m"),
                      byteCase("line_end", "a\r\nb", "a#015#012b", "a#015#012b"),
                      byteCase("euro_0x80", "\x80uro", "\xe2\x82\xacuro", "#200uro"),
                      byteCase("quote_0x92", "O\x92Neil", "O\xe2\x80\x99Neil", "O#222Neil"),
                      byteCase("csi_0x9b", "\x9b[2J", "\xe2\x80\xba[2J", "#233[2J"),
                      byteCase("undefined_0x81", "a\x81", "a#201", "a#201"),
                      byteCase("escape_look_alike", "a#012", "a#043012", "a#043012"),
                      // Other forms: no field is guessed; the level switch's word decides.
                      EntryCase{"other_form_danger",
                                Journal::Listening,
                                "disk danger on x",
                                {{"MESSAGE", line("disk danger on x")},
                                 {"PRIORITY", "2"},
                                 {"SYSLOG_IDENTIFIER", "brimletd"}}},
                      EntryCase{"near_form",
                                Journal::Listening,
                                "Warning,u,95%,inf Mb free,48.83 Mb max",
                                {{"MESSAGE", line("Warning,u,95%,inf Mb free,48.83 Mb max")},
                                 {"PRIORITY", "4"},
                                 {"SYSLOG_IDENTIFIER", "brimletd"}}},
                      EntryCase{"refused", Journal::Refusing, kDanger, {}},
                      EntryCase{"missing", Journal::Missing, kDanger, {}}),
    [](const auto& info) { return std::string(info.param.name); });

// An entry past the datagram limit goes in a sealed memory file.
TEST(DaemonJournalSocketTest, SendsAnEntryTooLargeForADatagramInAMemoryFile) {
  TempDirectory folder;
  FakeJournal journal(folder.file("socket"));
  JournalSocket socket(folder.file("socket"));
  const std::string payload = "MESSAGE=" + std::string(8 << 20, 'x') + "\n";
  std::string error;
  ASSERT_TRUE(socket.send(payload, true, &error)) << error;
  EXPECT_EQ(journal.receive(), payload);
}

// A turn's alerts go at once, in order, an entry too large for a datagram
// among them; where the journal is gone, each is refused and the failure is
// said once, before the first one's echo.
TEST(DaemonJournalTurnTest, SendsATurnInOrderOrRefusesEachSayingWhyOnce) {
  for (const bool listening : {true, false}) {
    SCOPED_TRACE(listening ? "listening" : "gone");
    TempDirectory folder;
    auto journal = std::make_unique<FakeJournal>(folder.file("socket"));
    if (!listening) journal.reset();
    std::vector<std::string> said;
    AlertJournal alerts(std::make_unique<JournalSocket>(folder.file("socket")),
                        [&](const std::string& text) { said.push_back(text); });
    const std::vector<std::string> lines = {line("one"), line(std::string(8 << 20, 'x')),
                                            line("three")};
    for (const std::string& logLine : lines) alerts.add(logLine, "m", "192.0.2.7");
    alerts.sendAdded();
    for (std::size_t i = 0; i < lines.size(); ++i) {
      EXPECT_EQ(alerts.took(i), listening) << i;
      EXPECT_EQ(said.size(), listening ? 0u : 1u) << i;
    }
    if (!listening) continue;
    for (const std::string& logLine : lines)
      EXPECT_EQ(decode(journal->receive())["MESSAGE"], logLine);
  }
}

// The socket stays connected between entries; a journal started again (a
// new socket under the same name) gets the next entry all the same.
TEST(DaemonJournalSocketTest, ReachesAJournalStartedAgain) {
  TempDirectory folder;
  JournalSocket socket(folder.file("socket"));
  std::string error;
  {
    FakeJournal first(folder.file("socket"));
    ASSERT_TRUE(socket.send("MESSAGE=one\n", true, &error)) << error;
    EXPECT_EQ(first.receive(), "MESSAGE=one\n");
  }
  ::unlink(folder.file("socket").c_str());
  FakeJournal again(folder.file("socket"));
  ASSERT_TRUE(socket.send("MESSAGE=two\n", true, &error)) << error;
  EXPECT_EQ(again.receive(), "MESSAGE=two\n");
}

// A child process, killed and reaped however the test ends.
struct Child {
  pid_t pid = -1;
  ~Child() {
    if (pid > 0) {
      ::kill(pid, SIGKILL);
      ::waitpid(pid, nullptr, 0);
    }
  }
};

std::string runCommand(const std::string& command) {
  std::string out;
  FILE* pipe = ::popen(command.c_str(), "r");
  char chunk[4096];
  for (std::size_t n; pipe != nullptr && (n = std::fread(chunk, 1, sizeof chunk, pipe)) > 0;)
    out.append(chunk, n);
  if (pipe != nullptr) ::pclose(pipe);
  return out;
}

// The daemon under a real journald, its console a journal stream as under
// systemd; the journal lives on tmpfs in this test's own mount namespace and
// goes with it.
TEST(DaemonJournaldTest, JournalctlFindsTheAlertByItsIdentifierWithItsFields) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root for a mount namespace of its own";
  ASSERT_EQ(::access("/lib/systemd/systemd-journald", X_OK), 0) << "no journald (Debian: systemd)";
  if (::unshare(CLONE_NEWNS) != 0) GTEST_SKIP() << "unshare refused: " << std::strerror(errno);
  ASSERT_EQ(::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr), 0)
      << std::strerror(errno);
  // Gone with the namespace anyway; unmounted too for the tests that may
  // follow in this process.
  struct Unmount {
    ~Unmount() { ::umount2("/etc/systemd", MNT_DETACH), ::umount2("/run", MNT_DETACH); }
  } unmount;
  ASSERT_EQ(::mount("tmpfs", "/run", "tmpfs", 0, "mode=0755"), 0) << std::strerror(errno);
  ASSERT_EQ(::mount("tmpfs", "/etc/systemd", "tmpfs", 0, "mode=0755"), 0) << std::strerror(errno);
  std::ofstream("/etc/systemd/journald.conf")
      << "[Journal]\nStorage=volatile\nRateLimitIntervalSec=0\nForwardToSyslog=no\n"
         "ForwardToWall=no\nReadKMsg=no\n";
  Child journald;
  journald.pid = ::fork();
  if (journald.pid == 0) {
    ::execl("/lib/systemd/systemd-journald", "systemd-journald", nullptr);
    ::_exit(127);
  }
  ASSERT_TRUE(waitUntil(
      [] {
        return ::access("/run/systemd/journal/stdout", F_OK) == 0 &&
               ::access("/run/systemd/journal/socket", F_OK) == 0;
      },
      std::chrono::seconds(10)))
      << "systemd-journald did not open its sockets";

  TempDirectory folder;
  const int port = freeUdpPort();
  DaemonProcess daemon(folder.path().string(),
                       {"brimletd", BRIMLETD_PATH, std::to_string(port), "N"}, false,
                       JOURNAL_STREAM_PATH);
  ASSERT_TRUE(waitUntil([&] { return receiveQueueBytes(port) >= 0; }, std::chrono::seconds(10)));
  sendToLoopback(port, "Danger,Jos\xe9\nx,100%,0.00 Mb free,48.83 Mb max");
  ASSERT_TRUE(waitUntil(
      [&] {
        std::ifstream log(folder.file("brimletlog.txt"));
        return std::string(std::istreambuf_iterator<char>(log), {}).find('\n') != std::string::npos;
      },
      std::chrono::seconds(10)));
  const std::string query =
      std::string("journalctl -D /run/log/journal -o json --no-pager MESSAGE_ID=") +
      kDangerMessageId + " \"BRIMLET_USER=$(printf 'Jos\\303\\251#012x')\"";
  std::string found;
  waitUntil([&] { return !(found = runCommand(query)).empty(); }, std::chrono::seconds(10),
            std::chrono::milliseconds(100));
  for (const char* field : {"\"SYSLOG_IDENTIFIER\":\"brimletd\"", "\"PRIORITY\":\"2\"",
                            "\"BRIMLET_USER\":\"Jos\xc3\xa9#012x\"", "\"BRIMLET_PERCENT\":\"100\"",
                            "\"BRIMLET_FREE_MB\":\"0.00\"", "\"BRIMLET_MAX_MB\":\"48.83\"",
                            "\"BRIMLET_LEVEL\":\"Danger\"", "\"BRIMLET_SENDER\":\"127.0.0.1\"",
                            ",Danger,Jos\xc3\xa9#012x,100%"}) {
    EXPECT_NE(found.find(field), std::string::npos) << field << " not in: " << found;
  }
  daemon.terminate();
}

}  // namespace
