// bench_monitor.exe BRIMLET_EXE BARE_TRAY_EXE [POLLS [IDLE_SECONDS OK_NETWORK]]
// Starts the monitor on the simulated network that BRIMLET_NETWORK names,
// drives POLLS polls through its frame (each a WM_TIMER sent and answered),
// and reports its CPU time per poll and its memory next to a bare tray
// program started the same way. With IDLE_SECONDS it then counts the timer
// messages the idle monitor takes, at the network's level and, after
// OK_NETWORK was copied over the network file and one poll, at ok. Every
// wait is bounded.
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

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

  // The network's own level first (the walk-through: warning, which blinks),
  // then ok. The poll timer runs every hour here, so it adds nothing.
  const int idleSeconds = argc > 5 ? std::atoi(argv[4]) : 0;
  IdleCounts atLevel;
  IdleCounts atOk;
  const char* network = std::getenv("BRIMLET_NETWORK");
  if (idleSeconds > 0 && idleSeconds <= 600 && network != nullptr) {
    atLevel = CountIdle(frame, idleSeconds);
    DWORD_PTR result;
    if (CopyFileA(argv[5], network, FALSE) &&
        SendMessageTimeoutA(frame, WM_TIMER, 1, 0, SMTO_ABORTIFHUNG, 5000, &result)) {
      atOk = CountIdle(frame, idleSeconds);
    }
  }
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
  if (idleSeconds > 0) {
    PrintIdle("warning", atLevel);
    PrintIdle("ok", atOk);
  }
  return done == polls ? 0 : 1;
}
