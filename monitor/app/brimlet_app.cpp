#include "app/brimlet_app.h"

#include <commctrl.h>

#include <cstdlib>

#include "core/command_line.h"
#include "core/fixed_text.h"
#include "app/main_frame.h"
#include "core/taskbar_wait.h"
#include "framework/dialog.h"
#include "netware/debug_output.h"
#include "resources/resource.h"
#include "ui/tray_notify_icon.h"

namespace {

// The NetWare layer's reasons for a failed poll go to the debugger.
void DebuggerOutput(const char* text) { OutputDebugStringA(text); }

struct OwnedSearch {
  HWND owner;
  HWND found;
};

// EnumWindows step: stops at the first visible window that `owner` owns.
BOOL CALLBACK FindVisibleOwned(HWND window, LPARAM search) {
  auto* owned = reinterpret_cast<OwnedSearch*>(search);
  if (IsWindowVisible(window) && GetWindow(window, GW_OWNER) == owned->owner) {
    owned->found = window;
    return FALSE;
  }
  return TRUE;
}

// The shell's own taskbar window and the real clock.
class SystemTaskbarWatch : public TaskbarWatch {
 public:
  bool TaskbarPresent() override { return FindWindowA("Shell_TrayWnd", nullptr) != nullptr; }
  void Wait(uint32_t ms) override { Sleep(ms); }
};

TaskbarWatch& SystemTaskbar() {
  static SystemTaskbarWatch watch;
  return watch;
}

}  // namespace

void EndProgramNow(int status) { std::exit(status); }

CBrimletApp::CBrimletApp() : CBrimletApp(SystemTaskbar()) {}

CBrimletApp::CBrimletApp(TaskbarWatch& taskbar) : taskbar(taskbar), settings() {}

CBrimletApp::~CBrimletApp() = default;

bool CBrimletApp::WaitForTaskbar() {
  return ::WaitForTaskbar([this] { return taskbar.TaskbarPresent(); },
                          [this](uint32_t ms) { taskbar.Wait(ms); });
}

void CBrimletApp::ApplyCommandLine(const char* commandLine) {
  settings = SettingsFromCommandLine(commandLine);
}

bool CBrimletApp::ActivateRunningCopy() const {
  HWND running = FindWindowA(windowClassName, nullptr);
  if (running == nullptr) {
    return false;
  }
  HWND popup = GetLastActivePopup(running);
  if (!IsWindowVisible(popup)) {
    // The last active pop-up may since have been hidden or closed (the
    // details window, the About box); any visible one of the frame's will do.
    OwnedSearch search{running, running};
    EnumWindows(FindVisibleOwned, reinterpret_cast<LPARAM>(&search));
    popup = search.found;
  }
  if (IsIconic(running)) {
    ShowWindow(running, SW_RESTORE);
  }
  SetForegroundWindow(popup);
  return true;
}

bool CBrimletApp::RegisterWindowClass() {
  WNDCLASSA wc{};
  wc.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = m_hInstance;
  wc.hIcon = LoadIconA(m_hInstance, MAKEINTRESOURCEA(IDI_DRIVE));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszMenuName = nullptr;
  wc.lpszClassName = windowClassName;
  return RegisterClassA(&wc) != 0;
}

bool CBrimletApp::InitInstance() {
  // A failed start-up ends the process with status 1; handing over to a
  // running copy is no failure and ends it with 0.
  exitCode_ = 1;
  RegisterTaskbarCreatedMessage();
  SetNetWareDebugSink(DebuggerOutput);
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_PROGRESS_CLASS | ICC_BAR_CLASSES};
  InitCommonControlsEx(&controls);
  if (!WaitForTaskbar()) {
    return false;
  }
  ApplyCommandLine(m_lpCmdLine);
  // The parser keeps the path short enough for a class name Windows registers.
  CopyToBuffer(windowClassName, WindowClassName(settings));
  if (ActivateRunningCopy()) {
    exitCode_ = 0;
    return false;
  }
  if (!RegisterWindowClass()) {
    fw::Trace("Class Registration Failed\n");
    return false;
  }
  classRegistered = true;

  mainFrame = std::make_unique<CMainFrame>(settings, windowClassName);
  m_pMainWnd = mainFrame.get();
  if (!mainFrame->Create("Brimlet")) {
    m_pMainWnd = nullptr;
    return false;
  }
  ShowWindow(mainFrame->m_hWnd, SW_HIDE);
  UpdateWindow(mainFrame->m_hWnd);
  exitCode_ = 0;
  return true;
}

int CBrimletApp::ExitInstance() {
  mainFrame.reset();
  m_pMainWnd = nullptr;
  if (classRegistered) {
    UnregisterClassA(windowClassName, m_hInstance);
    classRegistered = false;
  }
  return fw::CWinApp::ExitInstance();
}

bool CBrimletApp::OnCommand(UINT id) {
  switch (id) {
    case ID_APP_ABOUT:
      OnAppAbout();
      return true;
    case ID_APP_EXIT:
      OnAppExit();
      return true;
    default:
      return false;
  }
}

void CBrimletApp::OnAppAbout() {
  if (aboutOpen) {
    return;
  }
  aboutOpen = true;
  fw::CDialog about(IDD_ABOUTBOX);
  about.DoModal(mainFrame.get());
  aboutOpen = false;
}

void CBrimletApp::OnAppExit() {
  if (mainFrame != nullptr) {
    mainFrame->DestroyWindow();
  }
}
