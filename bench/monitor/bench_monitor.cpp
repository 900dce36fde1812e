// bench_monitor.exe BRIMLET_EXE BARE_TRAY_EXE BURN_WINDOW_EXE [POLLS [IDLE_SECONDS OK_NETWORK]]
// Starts the monitor on the simulated network that BRIMLET_NETWORK names,
// drives POLLS polls through its frame (each a WM_TIMER sent and answered),
// and reports its processor time per poll as the Linux kernel counts it for
// the monitor's Wine process, what this prefix's wineserver spent meanwhile,
// and its memory next to a bare tray program started the same way. The same
// polls sent to a window that burns 5 ms each check the measuring itself.
// With IDLE_SECONDS it then counts the timer messages the idle monitor
// takes, at the network's level and, after OK_NETWORK was copied over the
// network file and one poll, at ok. Every wait is bounded.
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "linux_process_times.h"
#include "timer_counts.h"

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
  started.ok = CreateProcessA(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                              &startup, &started.info) != FALSE;
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

struct IdleCounts {
  bool counted = false;
  double timersPerMinute = 0;
  double messagesPerMinute = 0;
};

// The messages the monitor's thread takes while nothing drives it, counted
// by timer_count_hook.dll (beside this program) hooked onto that thread.
IdleCounts CountIdle(HWND frame, int seconds) {
  IdleCounts idle;
  static HANDLE mapping =
      CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(MessageCounts),
                         kCountsName);
  auto* counts = mapping != nullptr
                     ? static_cast<MessageCounts*>(
                           MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, sizeof(MessageCounts)))
                     : nullptr;
  char path[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, path, sizeof path);
  std::string dll = path;
  dll = dll.substr(0, dll.find_last_of('\\') + 1) + "timer_count_hook.dll";
  HMODULE module = LoadLibraryA(dll.c_str());
  auto proc = module != nullptr ? reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(
                                      GetProcAddress(module, "CountMessages")))
                                : nullptr;
  const DWORD thread = GetWindowThreadProcessId(frame, nullptr);
  HHOOK hook = proc != nullptr && counts != nullptr
                   ? SetWindowsHookExA(WH_GETMESSAGE, proc, module, thread)
                   : nullptr;
  if (hook == nullptr) {
    std::fprintf(stderr, "bench: the message hook could not be set on the monitor\n");
    return idle;
  }
  PostMessageA(frame, WM_NULL, 0, 0);  // the hook's first call loads it there
  Sleep(500);
  const LONG messages = counts->messages;
  const LONG timers = counts->timers;
  Sleep(static_cast<DWORD>(seconds) * 1000);
  idle.counted = counts->messages > 0;
  idle.timersPerMinute = (counts->timers - timers) * 60.0 / seconds;
  idle.messagesPerMinute = (counts->messages - messages) * 60.0 / seconds;
  UnhookWindowsHookEx(hook);
  return idle;
}

void PrintIdle(const char* level, const IdleCounts& idle) {
  if (!idle.counted) {
    std::printf("idle at %-8s         not counted (the hook saw no message)\n", level);
    return;
  }
  std::printf("idle at %-8s         %.1f timer messages a minute (%.1f messages of any kind)\n",
              level, idle.timersPerMinute, idle.messagesPerMinute);
}

// One program's polls: the processor time per poll of its Wine process
// (the kernel's count, and what Wine itself reports), and the wineserver's.
struct Polled {
  int done = 0;
  double wallMs = 0;
  double processMs = -1;
  double serverMs = -1;
  double wineReportsMs = 0;
  Memory memory;
  bool ok = false;
};

// `afterPolls`, if given, runs on the program's window once the polls are
// measured, before the program is stopped.
Polled Poll(const std::string& commandLine, const char* className, const std::string& exeName,
            int polls, const std::function<void(HWND)>& afterPolls = nullptr) {
  Polled polled;
  Started program = Start(commandLine);
  HWND window = program.ok ? WaitForClass(className) : nullptr;
  if (window == nullptr) {
    if (program.ok) Stop(program);
    return polled;
  }
  Sleep(500);
  const LinuxProcess process = FindWineProcess(exeName);
  const LinuxProcess server = FindWineServer();
  const double processBefore = CpuMsOf(process);
  const double serverBefore = CpuMsOf(server);
  const double wineBefore = CpuMs(program.info.hProcess);
  const DWORD startTick = GetTickCount();
  for (; polled.done < polls && GetTickCount() - startTick < 120000; ++polled.done) {
    DWORD_PTR result;
    if (!SendMessageTimeoutA(window, WM_TIMER, 1, 0, SMTO_ABORTIFHUNG, 5000, &result)) break;
  }
  polled.wallMs = GetTickCount() - startTick;
  const double processAfter = CpuMsOf(process);
  const double serverAfter = CpuMsOf(server);
  const double perPoll = polled.done > 0 ? 1.0 / polled.done : 0.0;
  if (processBefore >= 0 && processAfter >= 0)
    polled.processMs = (processAfter - processBefore) * perPoll;
  if (serverBefore >= 0 && serverAfter >= 0)
    polled.serverMs = (serverAfter - serverBefore) * perPoll;
  polled.wineReportsMs = (CpuMs(program.info.hProcess) - wineBefore) * perPoll;
  polled.wallMs *= perPoll;
  polled.memory = MemoryOf(program.info.hProcess);
  polled.ok = polled.done == polls;
  if (afterPolls) afterPolls(window);
  Stop(program);
  return polled;
}

std::string Quoted(const char* path) { return std::string("\"") + path + "\""; }

std::string FileNameOf(const std::string& path) {
  return path.substr(path.find_last_of("\\/") + 1);
}

// One figure a line: the name, the figure, then what it is; a figure that
// could not be measured shows as "-".
void PrintFigure(const char* name, double value, const char* unit, const char* what) {
  char figure[32] = "-";
  if (value >= 0) std::snprintf(figure, sizeof figure, "%.3f", value);
  std::printf("%-34s %9s %-3s %s\n", name, figure, unit, what);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr,
                 "usage: bench_monitor BRIMLET_EXE BARE_TRAY_EXE BURN_WINDOW_EXE "
                 "[POLLS [IDLE_SECONDS OK_NETWORK]]\n");
    return 2;
  }
  int polls = argc > 4 ? std::atoi(argv[4]) : 500;
  if (polls < 1 || polls > 100000) polls = 500;
  constexpr double kBurnMs = 5.0;

  // A poll interval of an hour: only the polls this program drives happen.
  // Then the idle monitor: the network's own level first (the walk-through:
  // warning, which blinks), then ok. The poll timer runs every hour here, so
  // it adds nothing.
  const int idleSeconds = argc > 6 ? std::atoi(argv[5]) : 0;
  IdleCounts atLevel;
  IdleCounts atOk;
  const auto countIdle = [&](HWND frame) {
    const char* network = std::getenv("BRIMLET_NETWORK");
    if (idleSeconds <= 0 || idleSeconds > 600 || network == nullptr) return;
    atLevel = CountIdle(frame, idleSeconds);
    DWORD_PTR result;
    if (CopyFileA(argv[6], network, FALSE) &&
        SendMessageTimeoutA(frame, WM_TIMER, 1, 0, SMTO_ABORTIFHUNG, 5000, &result)) {
      atOk = CountIdle(frame, idleSeconds);
    }
  };
  const Polled monitor = Poll(Quoted(argv[1]) + " H:\\ 3600 75 95 % N N 0 0", "LaSuperAppsDeQZH:\\",
                              FileNameOf(argv[1]), polls, countIdle);
  if (monitor.done == 0) {
    std::fprintf(stderr, "bench: the monitor did not start\n");
    return 1;
  }
  const Polled burner =
      Poll(Quoted(argv[3]) + " 5", "BrimletBenchBurner", FileNameOf(argv[3]), polls);

  Started bare = Start(Quoted(argv[2]));
  HWND bareWindow = bare.ok ? WaitForClass("BareTrayProgram") : nullptr;
  Memory bareMemory;
  if (bareWindow != nullptr) {
    Sleep(500);
    bareMemory = MemoryOf(bare.info.hProcess);
  }
  if (bare.ok) Stop(bare);

  std::printf("polls driven                       %9d     each a WM_TIMER sent and answered\n",
              monitor.done);
  std::printf("per poll:\n");
  PrintFigure("monitor wall", monitor.wallMs, "ms", "sending and answering included");
  PrintFigure("monitor process CPU", monitor.processMs, "ms",
              "its Wine process, user + system, as Linux counts it (/proc/PID/stat)");
  PrintFigure("wineserver CPU meanwhile", monitor.serverMs, "ms",
              "what Wine's server adds (the sender's share included)");
  PrintFigure("monitor CPU as Wine reports it", monitor.wineReportsMs, "ms",
              "GetProcessTimes: not the measure, shown for comparison");
  PrintFigure("calibrated window CPU", burner.processMs, "ms",
              "a window that burns 5 ms a poll, measured the same way (aim: 5 ms +- 10 %)");
  PrintFigure("wineserver CPU meanwhile", burner.serverMs, "ms",
              "the server's share of a poll that makes no call of its own");
  PrintFigure("calibrated window as Wine reports", burner.wineReportsMs, "ms", "GetProcessTimes");
  if (burner.processMs >= 0) {
    std::printf(
        "calibration                        %8.0f %%     of the 5 ms burnt is measured "
        "(aim: 90 to 110 %%)\n",
        100.0 * burner.processMs / kBurnMs);
  }
  std::printf("memory                          working set    peak\n");
  std::printf("brimlet.exe                        %9.0f KB %9.0f KB\n", monitor.memory.workingSetKb,
              monitor.memory.peakKb);
  std::printf("bare tray program                  %9.0f KB %9.0f KB\n", bareMemory.workingSetKb,
              bareMemory.peakKb);
  if (idleSeconds > 0) {
    PrintIdle("warning", atLevel);
    PrintIdle("ok", atOk);
  }
  return monitor.ok && burner.ok ? 0 : 1;
}
