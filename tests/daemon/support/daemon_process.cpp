#include "support/daemon_process.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <grp.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

// Writes why the child could not start to its console and ends it. Only
// async-signal-safe calls: the child of a fork.
[[noreturn]] void failStart(const char* what, const char* path, int error) {
  const char* reason = ::strerror(error);
  for (const char* part : {"test harness: ", what, " ", path, ": ", reason, "\n"}) {
    if (::write(STDOUT_FILENO, part, std::strlen(part)) < 0) break;
  }
  ::_exit(127);
}

}  // namespace

ReachableCopy::ReachableCopy(const std::string& program) {
  namespace fs = std::filesystem;
  char folder[] = "/tmp/brimlet-program-XXXXXX";
  if (::mkdtemp(folder) == nullptr) {
    error_ = std::string("cannot make a folder under /tmp: ") + std::strerror(errno);
    return;
  }
  folder_ = folder;
  std::error_code failed;
  const fs::path copy = fs::path(folder_) / fs::path(program).filename();
  fs::permissions(folder_, fs::perms(0755), failed);
  if (!failed) fs::copy_file(program, copy, failed);
  if (!failed) fs::permissions(copy, fs::perms(0755), failed);
  if (failed) {
    error_ = "cannot copy " + program + " to " + folder_ + ": " + failed.message();
    return;
  }
  path_ = copy.string();
}

ReachableCopy::~ReachableCopy() {
  std::error_code ignored;
  if (!folder_.empty()) std::filesystem::remove_all(folder_, ignored);
}

DaemonProcess::DaemonProcess(const std::string& workingDirectory,
                             const std::vector<std::string>& args, bool unprivileged,
                             const std::string& program, long fileSizeLimit) {
  const bool dropPrivileges = unprivileged && ::geteuid() == 0;
  std::string executable = program;
  if (dropPrivileges) {
    copy_ = std::make_unique<ReachableCopy>(program);
    if (copy_->path().empty()) {
      console_ = "test harness: " + copy_->error() + "\n";
      return;
    }
    executable = copy_->path();
  }
  int pipeEnds[2];
  if (::pipe2(pipeEnds, O_CLOEXEC) != 0) return;
  std::vector<char*> argv{const_cast<char*>("brimletd")};
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  pid_ = ::fork();
  if (pid_ == 0) {
    ::dup2(pipeEnds[1], STDOUT_FILENO);
    const uid_t nobody = 65534;
    const gid_t nogroup = 65534;
    if (dropPrivileges &&
        (::setgroups(0, nullptr) != 0 || ::setgid(nogroup) != 0 || ::setuid(nobody) != 0)) {
      failStart("cannot become", "nobody", errno);
    }
    const rlimit limit{static_cast<rlim_t>(fileSizeLimit), static_cast<rlim_t>(fileSizeLimit)};
    if (fileSizeLimit > 0 && ::setrlimit(RLIMIT_FSIZE, &limit) != 0) {
      failStart("cannot limit the file size of", executable.c_str(), errno);
    }
    if (::chdir(workingDirectory.c_str()) != 0) {
      failStart("cannot enter the working folder", workingDirectory.c_str(), errno);
    }
    ::execv(executable.c_str(), argv.data());
    failStart("cannot run", executable.c_str(), errno);
  }
  ::close(pipeEnds[1]);
  output_ = pipeEnds[0];
}

DaemonProcess::~DaemonProcess() {
  if (pid_ > 0) {
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
  }
  if (output_ >= 0) ::close(output_);
}

bool DaemonProcess::readAvailable(std::chrono::milliseconds wait) {
  if (output_ < 0) return false;
  pollfd ready{output_, POLLIN, 0};
  if (::poll(&ready, 1, static_cast<int>(wait.count())) <= 0) return false;
  char chunk[4096];
  const ssize_t length = ::read(output_, chunk, sizeof chunk);
  if (length <= 0) return false;
  console_.append(chunk, static_cast<std::size_t>(length));
  return true;
}

bool DaemonProcess::waitForLines(std::size_t lines, std::chrono::milliseconds timeout) {
  const auto deadline = Clock::now() + timeout;
  while (static_cast<std::size_t>(std::count(console_.begin(), console_.end(), '\n')) < lines) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    if (left.count() <= 0 || (!readAvailable(left) && Clock::now() >= deadline)) return false;
  }
  return true;
}

int DaemonProcess::waitForExit(std::chrono::milliseconds timeout, bool readConsole) {
  if (pid_ <= 0) return -1;
  const auto deadline = Clock::now() + timeout;
  int status = 0;
  while (::waitpid(pid_, &status, WNOHANG) == 0) {
    if (Clock::now() >= deadline) return -1;
    if (readConsole) {
      readAvailable(std::chrono::milliseconds(20));
    } else {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
  }
  pid_ = -1;
  while (readConsole && readAvailable(std::chrono::milliseconds(0))) {
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void DaemonProcess::closeConsole() {
  if (output_ >= 0) ::close(output_);
  output_ = -1;
}

bool DaemonProcess::running() {
  if (pid_ <= 0) return false;
  int status = 0;
  if (::waitpid(pid_, &status, WNOHANG) == 0) return true;
  pid_ = -1;
  return false;
}

void DaemonProcess::terminate() {
  if (pid_ <= 0) return;
  ::kill(pid_, SIGTERM);
  if (waitForExit(std::chrono::seconds(10)) == -1 && pid_ > 0) {
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
    pid_ = -1;
  }
}

void DaemonProcess::sendSignal(int signal) {
  if (pid_ > 0) ::kill(pid_, signal);
}

bool udpCounters(int port, long* queued, long* drops) {
  char local[48];
  // The dual-stack socket on ::, or IPv4 alone on 0.0.0.0.
  for (const char* table : {"/proc/net/udp6", "/proc/net/udp"}) {
    const bool ipv6 = table[sizeof "/proc/net/udp" - 1] == '6';
    std::snprintf(local, sizeof local, "%s:%04X",
                  ipv6 ? "00000000000000000000000000000000" : "00000000", port);
    std::ifstream rows(table);
    std::string line;
    std::getline(rows, line);  // the column names
    while (std::getline(rows, line)) {
      // sl local_address rem_address st tx_queue:rx_queue ... drops
      std::istringstream fields(line);
      std::vector<std::string> field;
      for (std::string one; fields >> one;) field.push_back(one);
      if (field.size() < 13 || field[1] != local) continue;
      *queued = std::stol(field[4].substr(field[4].find(':') + 1), nullptr, 16);
      *drops = std::stol(field.back());
      return true;
    }
  }
  return false;
}

long receiveQueueBytes(int port) {
  long queued = 0, drops = 0;
  return udpCounters(port, &queued, &drops) ? queued : -1;
}

long receiveBufferBytes(int port) {
  // Its memory line reads "skmem:(r0,rb8388608,t0,...)".
  const std::string command = "ss -u -a -m -n 'sport = :" + std::to_string(port) + "' 2>/dev/null";
  std::FILE* ss = ::popen(command.c_str(), "r");
  if (ss == nullptr) return -1;
  std::string output;
  char chunk[1024];
  for (std::size_t got; (got = std::fread(chunk, 1, sizeof chunk, ss)) > 0;)
    output.append(chunk, got);
  ::pclose(ss);
  const std::size_t field = output.find(",rb");
  if (field == std::string::npos) return -1;
  return std::strtol(output.c_str() + field + 3, nullptr, 10);
}
