// brimletd.exe started for real: its banner, and datagrams over loopback
// logged with the Windows line separator.
#include <winsock2.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <regex>
#include <string>

#include "support/bounded_wait.h"
#include "support/log_text.h"
#include "support/loopback.h"
#include "support/temp_directory.h"

namespace {

constexpr DWORD kWaitMilliseconds = 5000;
constexpr std::chrono::milliseconds kWait{kWaitMilliseconds};
constexpr std::chrono::milliseconds kPoll{20};
const char kDanger[] = "Danger,user1,100%,0.00 Mb free,48.83 Mb max";

// The build hands over the program's host path; Wine shows the host's root
// as drive Z:.
std::string windowsPath(std::string path) {
  if (!path.empty() && path[0] == '/') path = "Z:" + path;
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return path;
}

// Takes what the daemon has written to its console so far, without blocking.
void readAvailable(HANDLE pipe, std::string* console) {
  DWORD available = 0;
  while (PeekNamedPipe(pipe, nullptr, 0, nullptr, &available, nullptr) && available > 0) {
    char chunk[4096];
    DWORD length = 0;
    if (!ReadFile(pipe, chunk, sizeof chunk, &length, nullptr) || length == 0) return;
    console->append(chunk, length);
  }
}

class DaemonWineSmokeTest : public testing::Test {
 protected:
  void SetUp() override {
    WSADATA data;
    ASSERT_EQ(0, WSAStartup(MAKEWORD(2, 2), &data));
  }
  void TearDown() override {
    if (process_.hProcess != nullptr) {
      TerminateProcess(process_.hProcess, 0);
      WaitForSingleObject(process_.hProcess, kWaitMilliseconds);
      CloseHandle(process_.hProcess);
      CloseHandle(process_.hThread);
    }
    if (console_ != nullptr) CloseHandle(console_);
    WSACleanup();
  }

  bool start(const std::string& arguments, DWORD creationFlags = 0) {
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    HANDLE writeEnd = nullptr;
    if (!CreatePipe(&console_, &writeEnd, &inheritable, 0)) return false;
    SetHandleInformation(console_, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    startup.hStdError = writeEnd;
    const std::string program = windowsPath(BRIMLETD_PATH);
    std::string commandLine = "\"" + program + "\" " + arguments;
    const std::string directory = directory_.path().string();
    const BOOL started =
        CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, TRUE, creationFlags,
                       nullptr, directory.c_str(), &startup, &process_);
    CloseHandle(writeEnd);
    return started != FALSE;
  }

  bool consoleContains(const std::string& text) {
    return waitUntil(
        [&] {
          readAvailable(console_, &consoleText_);
          return consoleText_.find(text) != std::string::npos;
        },
        kWait, kPoll);
  }

  // Waits for the daemon to end, reading its console meanwhile; its exit
  // code, or STILL_ACTIVE if it did not end in time.
  DWORD waitForExit() {
    waitUntil(
        [&] {
          readAvailable(console_, &consoleText_);
          return WaitForSingleObject(process_.hProcess, 0) == WAIT_OBJECT_0;
        },
        kWait, kPoll);
    readAvailable(console_, &consoleText_);
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(process_.hProcess, &code);
    return code;
  }

  TempDirectory directory_;
  PROCESS_INFORMATION process_{};
  HANDLE console_ = nullptr;
  std::string consoleText_;
};

TEST_F(DaemonWineSmokeTest, PrintsTheBannerAndLogsDatagramsWithCrLf) {
  const int port = freeUdpPort();
  ASSERT_TRUE(start(std::to_string(port) + " N")) << GetLastError();
  ASSERT_TRUE(consoleContains("   Now waiting for incoming packets\r\n")) << consoleText_;
  EXPECT_EQ(
      "BrimletD V. 1.0  Brimlet alert message logguer\r\n"
      " Parsing command line arguments ...\r\n"
      " Following parameters will be used\r\n"
      " port=" +
          std::to_string(port) + " showOnlyAlert=false logFile=brimletlog.txt filter=(true)\r\n",
      consoleText_.substr(0, consoleText_.find("   Now waiting")));

  // A datagram longer than the receive buffer keeps its first 256 bytes.
  const std::string longAlert = "Danger," + std::string(300, 'z');
  sendToLoopback(port, kDanger);
  sendToLoopback(port, longAlert);
  const std::string log = directory_.file("brimletlog.txt");
  ASSERT_TRUE(waitUntil(
      [&] {
        const std::string text = readFile(log);
        return std::count(text.begin(), text.end(), '\n') == 2;
      },
      kWait, kPoll))
      << consoleText_;
  const std::string time = R"(\d\d-\d\d-\d{4} \d\d:\d\d:\d\d,)";
  const std::regex entries(time + R"(Danger,user1,100%,0\.00 Mb free,48\.83 Mb max\r\n)" + time +
                           longAlert.substr(0, 256) + "\r\n");
  EXPECT_TRUE(std::regex_match(readFile(log), entries)) << readFile(log);
  EXPECT_TRUE(consoleContains(readFile(log))) << consoleText_;
}

// Ctrl+Break reaches the daemon's own process group: it writes every alert
// it received, the last ones sent just before, and exits with status 0.
TEST_F(DaemonWineSmokeTest, CtrlBreakWritesEverythingReceivedAndExitsWithZero) {
  const int port = freeUdpPort();
  ASSERT_TRUE(start(std::to_string(port) + " Y", CREATE_NEW_PROCESS_GROUP)) << GetLastError();
  ASSERT_TRUE(consoleContains("   Now waiting for incoming packets\r\n")) << consoleText_;
  constexpr int kAlerts = 200;
  std::string expected;
  for (int i = 0; i < kAlerts; ++i) {
    const std::string alert = "Danger,break " + std::to_string(i);
    sendToLoopback(port, alert);
    expected += "<time>," + alert + "\r\n";
  }
  if (!GenerateConsoleCtrlEvent(CTRL_BREAK_EVENT, process_.dwProcessId)) {
    GTEST_SKIP() << "no console to send Ctrl+Break through (error " << GetLastError() << ")";
  }
  EXPECT_EQ(0u, waitForExit()) << consoleText_;
  const std::regex time(R"(\d\d-\d\d-\d{4} \d\d:\d\d:\d\d,)");
  EXPECT_EQ(expected,
            std::regex_replace(readFile(directory_.file("brimletlog.txt")), time, "<time>,"));
}

}  // namespace
