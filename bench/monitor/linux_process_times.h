// The Linux kernel's own accounting of processes under Wine, read through
// Wine's Z: drive: user plus system time from /proc/PID/stat, for the Wine
// process of a program and for the wineserver of this prefix. Wine's own
// GetProcessTimes of another process misses most of it.
#pragma once

#include <string>

struct LinuxProcess {
  int pid = 0;  // 0: not found
  std::string name;
};

// The Wine process whose command line names `exeName` (a file name, any
// letter case) and whose environment holds this process's WINEPREFIX, so
// that programs of other prefixes on the machine are never taken.
LinuxProcess FindWineProcess(const std::string& exeName);
// This prefix's wineserver.
LinuxProcess FindWineServer();
// User plus system time in milliseconds (the kernel counts in 1/100 s); a
// negative number when the process is gone.
double CpuMsOf(const LinuxProcess& process);
