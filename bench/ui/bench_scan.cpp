// bench_scan.exe PATH [RUNS]
// The walk of the "what uses the space" window over PATH, RUNS times (the
// first warms the caches): per run its time, names per second and totals;
// then the process's working set idle (before the first scan) and its peak.
#include <windows.h>
#include <psapi.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "core/space_scan.h"
#include "ui/largest_items_folders_win.h"

namespace {

double MegabytesOf(SIZE_T bytes) { return static_cast<double>(bytes) / 1024.0 / 1024.0; }

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: bench_scan PATH [RUNS]\n");
    return 2;
  }
  const int runs = argc > 2 ? std::atoi(argv[2]) : 3;
  PROCESS_MEMORY_COUNTERS idle{};
  idle.cb = sizeof idle;
  GetProcessMemoryInfo(GetCurrentProcess(), &idle, sizeof idle);
  for (int run = 1; run <= runs && run <= 10; ++run) {
    CWinFolderSource source(argv[1]);
    std::atomic<bool> stop{false};
    const auto start = std::chrono::steady_clock::now();
    const ScanResult result = ScanSpace(source, stop, nullptr);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("scan %d: %.3f s, %llu names, %.0f names/s, %llu KB allocated, %u unreadable\n",
                run, seconds, static_cast<unsigned long long>(result.items),
                static_cast<double>(result.items) / (seconds > 0 ? seconds : 1e-9),
                static_cast<unsigned long long>(result.bytes / 1024), result.unreadable);
  }
  PROCESS_MEMORY_COUNTERS after{};
  after.cb = sizeof after;
  GetProcessMemoryInfo(GetCurrentProcess(), &after, sizeof after);
  std::printf("working set: idle %.1f MB, peak during the scans %.1f MB\n",
              MegabytesOf(idle.WorkingSetSize), MegabytesOf(after.PeakWorkingSetSize));
  return 0;
}
