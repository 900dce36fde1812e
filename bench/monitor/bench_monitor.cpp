// bench_monitor.exe BRIMLET_EXE BARE_TRAY_EXE [POLLS]
// Starts the monitor on the simulated network that BRIMLET_NETWORK names,
// drives POLLS polls through its frame (each a WM_TIMER sent and answered),
// and reports its CPU time per poll and its memory next to a bare tray
// program started the same way. Every wait is bounded.
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct Started {
  PROCESS_INFORMATION info{};
  bool ok = false;
};

Started Start(const std::string& commandLine) {
  Started started;
  std::vector<char> buffer(commandLine.begin(), commandLine.end());
  buffer.push_back('\0');
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  started.ok = CreateProcessA(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr,
                              nullptr, &startup, &started.info) != FALSE;
  return started;
}

void Stop(Started& started) {
  TerminateProcess(started.info.hProcess, 0);
  WaitForSingleObject(started.info.hProcess, 5000);
  CloseHandle(started.info.hProcess);
  CloseHandle(started.info.hThread);
}

double CpuMs(HANDLE process) {
  FILETIME created, exited, kernel, user;
  GetProcessTimes(process, &created, &exited, &kernel, &user);
  auto ticks = [](const FILETIME& t) {
    return (static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
  };
  return static_cast<double>(ticks(kernel) + ticks(user)) / 10000.0;
}

struct Memory {
  double workingSetKb = 0;
  double peakKb = 0;
};

Memory MemoryOf(HANDLE process) {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  GetProcessMemoryInfo(process, &counters, sizeof counters);
  return {counters.WorkingSetSize / 1024.0, counters.PeakWorkingSetSize / 1024.0};
}

HWND WaitForClass(const char* className) {
  for (int i = 0; i < 400; ++i) {
    if (HWND found = FindWindowA(className, nullptr)) return found;
    Sleep(50);
  }
  return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: bench_monitor BRIMLET_EXE BARE_TRAY_EXE [POLLS]\n");
    return 2;
  }
  int polls = argc > 3 ? std::atoi(argv[3]) : 500;
  if (polls < 1 || polls > 100000) polls = 500;

  // A poll interval of an hour: only the polls this program drives happen.
  Started monitor = Start(std::string("\"") + argv[1] + "\" H:\\ 3600 75 95 % N N 0 0");
  HWND frame = monitor.ok ? WaitForClass("LaSuperAppsDeQZH:\\") : nullptr;
  if (frame == nullptr) {
    std::fprintf(stderr, "bench: the monitor did not start\n");
    return 1;
  }
  Sleep(500);
  double before = CpuMs(monitor.info.hProcess);
  DWORD startTick = GetTickCount();
  int done = 0;
  for (; done < polls && GetTickCount() - startTick < 120000; ++done) {
    DWORD_PTR result;
    if (!SendMessageTimeoutA(frame, WM_TIMER, 1, 0, SMTO_ABORTIFHUNG, 5000, &result)) break;
  }
  double wallMs = GetTickCount() - startTick;
  double cpuMs = CpuMs(monitor.info.hProcess) - before;
  Memory monitorMemory = MemoryOf(monitor.info.hProcess);
  Stop(monitor);

  Started bare = Start(std::string("\"") + argv[2] + "\"");
  HWND bareWindow = bare.ok ? WaitForClass("BareTrayProgram") : nullptr;
  Memory bareMemory;
  if (bareWindow != nullptr) {
    Sleep(500);
    bareMemory = MemoryOf(bare.info.hProcess);
  }
  if (bare.ok) Stop(bare);

  // The wall time includes the sending and the window system's share of
  // each poll; the CPU time is the monitor process's own.
  std::printf("polls driven            %d, %.2f ms wall per poll\n", done,
              done > 0 ? wallMs / done : 0.0);
  std::printf("monitor CPU per poll    %.3f ms (user + kernel: both queries, all controls)\n",
              done > 0 ? cpuMs / done : 0.0);
  std::printf("                        %12s %12s\n", "working set", "peak");
  std::printf("brimlet.exe             %9.0f KB %9.0f KB\n", monitorMemory.workingSetKb,
              monitorMemory.peakKb);
  std::printf("bare tray program       %9.0f KB %9.0f KB\n", bareMemory.workingSetKb,
              bareMemory.peakKb);
  return done == polls ? 0 : 1;
}
