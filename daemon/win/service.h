// brimletd.exe as the Windows service "BrimletD".
#pragma once

#include <string>
#include <vector>

inline constexpr char kServiceName[] = "BrimletD";

// The program the service runs: the console program's own, given its
// arguments, answering its exit status.
using ServiceProgram = int (*)(const std::vector<std::string>& args);

// Runs `program` as the service when the service control manager started
// the process, and answers true with the exit status in *status once the
// service has stopped. A start from a console answers false at once and
// the caller runs the console program as before.
//
// The service takes the arguments it was started with (`sc start BrimletD
// 49000 N`) when there are any, else the ones of its command line (the
// ImagePath the installer wrote), and hands them to the same parser as the
// console program. It works in %ProgramData%\Brimlet, where its log lies.
bool runAsService(const std::vector<std::string>& args, ServiceProgram program, int* status);

// Whether this process runs as the service.
bool runningAsService();

// The port is bound and the daemon receives: the service is running and
// takes stop, shutdown and pre-shutdown controls from now on.
void reportServiceRunning();

// The service's working folder, %ProgramData%\Brimlet.
std::string serviceDataFolder();
