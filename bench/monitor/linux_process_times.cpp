#include "linux_process_times.h"

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

// The kernel's USER_HZ: fixed at 100 for what /proc reports on Linux.
constexpr double kMsPerTick = 10.0;

std::string ReadWhole(const std::string& path) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::string();
  std::string text;
  char buffer[4096];
  DWORD got = 0;
  // /proc files tell no size: read to the end, bounded.
  for (int i = 0; i < 64 && ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0; ++i)
    text.append(buffer, got);
  CloseHandle(file);
  return text;
}

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  return text;
}

std::string OwnPrefix() {
  char prefix[1024];
  const DWORD length = GetEnvironmentVariableA("WINEPREFIX", prefix, sizeof prefix);
  return length > 0 && length < sizeof prefix ? "WINEPREFIX=" + std::string(prefix) : "";
}

// The first process of this prefix for which `wanted` says yes about the
// program it runs (the command line's first word, in lower case).
template <class Wanted>
LinuxProcess FindInPrefix(const Wanted& wanted) {
  const std::string prefix = OwnPrefix();
  if (prefix.empty()) return {};
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA("Z:\\proc\\*", &found);
  if (search == INVALID_HANDLE_VALUE) return {};
  LinuxProcess process;
  do {
    const int pid = std::atoi(found.cFileName);
    if (pid <= 0) continue;
    const std::string folder = "Z:\\proc\\" + std::to_string(pid);
    // The program itself: the first of the command line's NUL-ended words.
    std::string command = ReadWhole(folder + "\\cmdline");
    command.resize(std::min(command.size(), command.find('\0')));
    if (!wanted(Lower(command))) continue;
    std::string environment = ReadWhole(folder + "\\environ");
    environment.push_back('\0');
    if (environment.find(prefix + '\0') == std::string::npos) continue;
    process = {pid, command};
    break;
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return process;
}

}  // namespace

LinuxProcess FindWineProcess(const std::string& exeName) {
  const std::string wanted = Lower(exeName);
  return FindInPrefix([&wanted](const std::string& program) {
    // The name ends the program's path: "Z:\\...\\brimlet.exe" under Wine.
    const std::size_t start = program.find_last_of("\\/") + 1;
    return program.compare(start, std::string::npos, wanted) == 0;
  });
}

LinuxProcess FindWineServer() {
  // Debian's wrapper runs wineserver64 (or wineserver32).
  return FindInPrefix([](const std::string& program) {
    return program.compare(program.rfind('/') + 1, 10, "wineserver") == 0;
  });
}

double CpuMsOf(const LinuxProcess& process) {
  if (process.pid == 0) return -1;
  const std::string stat = ReadWhole("Z:\\proc\\" + std::to_string(process.pid) + "\\stat");
  // The name in parentheses may hold spaces: count the fields after it.
  const std::size_t close = stat.rfind(')');
  if (close == std::string::npos) return -1;
  const char* at = stat.c_str() + close + 1;
  // Fields 3 to 13 come first; utime and stime are 14 and 15.
  for (int field = 3; field <= 13 && at != nullptr; ++field) at = std::strchr(at + 1, ' ');
  if (at == nullptr) return -1;
  char* end = nullptr;
  const unsigned long long user = std::strtoull(at, &end, 10);
  const unsigned long long system = std::strtoull(end, nullptr, 10);
  return static_cast<double>(user + system) * kMsPerTick;
}
