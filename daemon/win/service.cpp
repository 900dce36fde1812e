#include "win/service.h"

#include <winsock2.h>
#include <windows.h>
#include <shlobj.h>
#include <tlhelp32.h>

#include <atomic>
#include <mutex>
#include <thread>

#include "output/daemon_events.h"
#include "process/stop_request.h"
#include "process/system_error.h"

namespace {

// The start waits for nothing but the port's bind; the stop for the queue's
// entries and, at most, another writer's lock on the log.
constexpr DWORD kStartWaitHint = 10000;
constexpr DWORD kStopWaitBeyondLock = 5000;
constexpr DWORD kCheckpointMilliseconds = 1000;

std::vector<std::string> commandLineArgs;
ServiceProgram program = nullptr;
SERVICE_STATUS_HANDLE statusHandle = nullptr;
SERVICE_STATUS status{};
std::mutex statusLock;
std::atomic<bool> asService{false};
std::atomic<bool> stopping{false};
HANDLE stoppedEvent = nullptr;
int exitStatus = 0;

void setStatus(DWORD state, DWORD waitHint) {
  std::lock_guard<std::mutex> lock(statusLock);
  const bool pending = state == SERVICE_START_PENDING || state == SERVICE_STOP_PENDING;
  status.dwCheckPoint = pending && status.dwCurrentState == state ? status.dwCheckPoint + 1
                                                                   : (pending ? 1 : 0);
  status.dwCurrentState = state;
  status.dwWaitHint = waitHint;
  status.dwControlsAccepted = state == SERVICE_RUNNING ? SERVICE_ACCEPT_STOP |
                                                             SERVICE_ACCEPT_SHUTDOWN |
                                                             SERVICE_ACCEPT_PRESHUTDOWN
                                                       : 0;
  SetServiceStatus(statusHandle, &status);
}

// A stop, a shutdown and a pre-shutdown take the same path as Ctrl+C; the
// service manager hears of progress every second until the daemon is done.
void beginStop(std::chrono::milliseconds lockPatience) {
  if (stopping.exchange(true)) return;
  const DWORD hint = static_cast<DWORD>(lockPatience.count()) + kStopWaitBeyondLock;
  setStatus(SERVICE_STOP_PENDING, hint);
  requestStopAsService(lockPatience);
  std::thread([hint] {
    while (WaitForSingleObject(stoppedEvent, kCheckpointMilliseconds) == WAIT_TIMEOUT) {
      setStatus(SERVICE_STOP_PENDING, hint);
    }
  }).detach();
}

DWORD WINAPI onControl(DWORD control, DWORD, void*, void*) {
  switch (control) {
    case SERVICE_CONTROL_INTERROGATE:
      return NO_ERROR;
    case SERVICE_CONTROL_STOP:
      beginStop(kStopLockPatience);
      return NO_ERROR;
    case SERVICE_CONTROL_SHUTDOWN:
    case SERVICE_CONTROL_PRESHUTDOWN:
      beginStop(kEndingLockPatience);
      return NO_ERROR;
    default:
      return ERROR_CALL_NOT_IMPLEMENTED;
  }
}

std::string narrow(const wchar_t* text) {
  const int size = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (size <= 1) return std::string();
  std::string result(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_ACP, 0, text, -1, result.data(), size, nullptr, nullptr);
  result.resize(static_cast<std::size_t>(size - 1));
  return result;
}

// The installer makes the folder with its permissions; a service started
// without it makes it plainly, so that the log still has its place.
bool enterDataFolder(std::string* error) {
  const std::string folder = serviceDataFolder();
  if (!CreateDirectoryA(folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
    *error = describeSystemError(static_cast<int>(GetLastError()));
    return false;
  }
  if (!SetCurrentDirectoryA(folder.c_str())) {
    *error = describeSystemError(static_cast<int>(GetLastError()));
    return false;
  }
  return true;
}

void WINAPI serviceMain(DWORD argc, LPWSTR* argv) {
  statusHandle = RegisterServiceCtrlHandlerExW(L"BrimletD", onControl, nullptr);
  if (statusHandle == nullptr) return;
  asService = true;
  status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
  setStatus(SERVICE_START_PENDING, kStartWaitHint);

  std::vector<std::string> args;
  for (DWORD i = 1; i < argc; ++i) args.push_back(narrow(argv[i]));
  if (args.empty()) args = commandLineArgs;

  ignoreSessionEnds();
  std::string error;
  if (enterDataFolder(&error)) {
    exitStatus = program(args);
  } else {
    DaemonEvents::forThisProcess()->logFailed(serviceDataFolder(), error);
    exitStatus = 1;
  }
  SetEvent(stoppedEvent);
  std::lock_guard<std::mutex> lock(statusLock);
  status.dwWin32ExitCode = exitStatus == 0 ? NO_ERROR : ERROR_SERVICE_SPECIFIC_ERROR;
  status.dwServiceSpecificExitCode = static_cast<DWORD>(exitStatus);
  status.dwCurrentState = SERVICE_STOPPED;
  status.dwCheckPoint = 0;
  status.dwWaitHint = 0;
  status.dwControlsAccepted = 0;
  SetServiceStatus(statusHandle, &status);
}

// The service control manager starts its services itself. Asking it is not
// enough: its dispatcher call fails at once on Windows for a console start,
// but Wine's waits some ten seconds for the manager's pipe first.
bool startedByServiceManager() {
  const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return true;  // let the dispatcher tell
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  const DWORD self = GetCurrentProcessId();
  DWORD parent = 0;
  for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
    if (entry.th32ProcessID == self) parent = entry.th32ParentProcessID;
  }
  bool byManager = false;
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snapshot, &entry); more && parent != 0;
       more = Process32NextW(snapshot, &entry)) {
    if (entry.th32ProcessID == parent) {
      byManager = lstrcmpiW(entry.szExeFile, L"services.exe") == 0;
      break;
    }
  }
  CloseHandle(snapshot);
  return byManager;
}

}  // namespace

bool runAsService(const std::vector<std::string>& args, ServiceProgram run, int* result) {
  if (!startedByServiceManager()) return false;
  commandLineArgs = args;
  program = run;
  stoppedEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  wchar_t name[] = L"BrimletD";
  SERVICE_TABLE_ENTRYW table[] = {{name, serviceMain}, {nullptr, nullptr}};
  // Returns at once with ERROR_FAILED_SERVICE_CONTROLLER_CONNECT in a
  // console start; as the service, once the service has stopped.
  if (!StartServiceCtrlDispatcherW(table)) return false;
  *result = exitStatus;
  return true;
}

bool runningAsService() { return asService; }

void reportServiceRunning() {
  if (asService && !stopping) setStatus(SERVICE_RUNNING, 0);
}

std::string serviceDataFolder() {
  char folder[MAX_PATH];
  if (SHGetFolderPathA(nullptr, CSIDL_COMMON_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder) != S_OK) {
    const DWORD length = GetEnvironmentVariableA("ProgramData", folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return "C:\\ProgramData\\Brimlet";
  }
  return std::string(folder) + "\\Brimlet";
}
