// Start-up of the monitor: the taskbar wait, one copy per watched path, the
// window class, and the Exit command.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/brimlet_app.h"
#include "child_process.h"
#include "resources/resource.h"
#include "ui/shell_notify.h"
#include "window_search.h"
#include "windows_path.h"

namespace {

struct FakeClock : TaskbarWatch {
  uint32_t now = 0;
  uint32_t taskbarAt = 0;  // ms after start; UINT32_MAX: never
  std::vector<uint32_t> waits;

  bool TaskbarPresent() override { return now >= taskbarAt; }
  void Wait(uint32_t ms) override {
    waits.push_back(ms);
    now += ms;
  }
};

// A second About command while the box is open (it arrives through the box's
// own message loop) must not open a second box.
CBrimletApp* aboutApp = nullptr;
int aboutBoxesSeen = -1;

void CALLBACK SecondAboutThenClose(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  aboutApp->OnCommand(ID_APP_ABOUT);
  aboutApp->OnCommand(ID_APP_ABOUT);
  aboutBoxesSeen = static_cast<int>(
      FindThreadWindows([](HWND window) { return TitleOf(window) == "About Brimlet"; }).size());
  HWND box = FindWindowA(nullptr, "About Brimlet");
  PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
}

TEST(AboutBox, OpensOnceHoweverOftenTheCommandArrives) {
  CBrimletApp app;
  aboutApp = &app;
  SetTimer(nullptr, 0, 100, SecondAboutThenClose);
  EXPECT_TRUE(app.OnCommand(ID_APP_ABOUT));
  EXPECT_EQ(1, aboutBoxesSeen);
  EXPECT_EQ(nullptr, FindWindowA(nullptr, "About Brimlet"));
}

// Start-up in this process, with a taskbar and the shell's answer given.
BOOL AcceptingShell(DWORD, NOTIFYICONDATAA*) { return TRUE; }
BOOL RefusingAdd(DWORD action, NOTIFYICONDATAA*) { return action == NIM_ADD ? FALSE : TRUE; }

class InProcessStartUp : public testing::Test {
 protected:
  void SetUp() override {
    app.m_hInstance = GetModuleHandleA(nullptr);
    app.m_lpCmdLine =
        BRIMLET_UNIT_PARAMETER ? "e:\\ 300 75 95 % N N 0 0" : "e:\\ 300 75 95 N N 0 0";
    SetShellNotify(AcceptingShell);
  }
  void TearDown() override {
    SetShellNotify(nullptr);
    UnregisterClassA(kClass, app.m_hInstance);
    MSG pending;  // the quit message of a destroyed main window
    for (int i = 0; i < 100 && PeekMessageA(&pending, nullptr, 0, 0, PM_REMOVE); ++i) {
    }
  }
  bool ClassExists() {
    WNDCLASSA wc{};
    return GetClassInfoA(app.m_hInstance, kClass, &wc) != FALSE;
  }

  static constexpr const char* kClass = "LaSuperAppsDeQZE:\\";
  FakeClock taskbar;  // there at once unless a test says otherwise
  CBrimletApp app{taskbar};
};

// The taskbar wait is start-up's first step: without a taskbar after five
// waits of ten seconds the program ends with status 1 before it registers
// anything; with one, it starts as soon as the taskbar is seen.
struct TaskbarCase {
  const char* name;
  uint32_t taskbarAt;  // as in FakeClock
  bool starts;
  std::vector<uint32_t> waits;
};

class TaskbarWait : public InProcessStartUp, public testing::WithParamInterface<TaskbarCase> {};

TEST_P(TaskbarWait, StartUpGoesOnOnlyWithATaskbar) {
  const TaskbarCase& c = GetParam();
  taskbar.taskbarAt = c.taskbarAt;
  EXPECT_EQ(c.starts, app.InitInstance());
  EXPECT_EQ(c.waits, taskbar.waits);
  EXPECT_EQ(c.starts, ClassExists());
  EXPECT_EQ(c.starts, app.m_pMainWnd != nullptr);  // the hidden main window
  app.OnCommand(ID_APP_EXIT);
  EXPECT_EQ(c.starts ? 0 : 1, app.ExitInstance());
}

INSTANTIATE_TEST_SUITE_P(
    StartUp, TaskbarWait,
    testing::Values(
        TaskbarCase{"PresentCostsNoWait", 0, true, {}},
        TaskbarCase{"UpAfter25SecondsFoundAfterTheThirdWait", 25000, true, {10000, 10000, 10000}},
        TaskbarCase{
            "NeverUpEndsAfterFiveWaits", UINT32_MAX, false, {10000, 10000, 10000, 10000, 10000}}),
    [](const testing::TestParamInfo<TaskbarCase>& info) { return info.param.name; });

TEST_F(InProcessStartUp, RegistersTheWindowClassAndUnregistersItAtTheEnd) {
  ASSERT_TRUE(app.InitInstance());
  WNDCLASSA wc{};
  ASSERT_TRUE(GetClassInfoA(app.m_hInstance, kClass, &wc));
  EXPECT_EQ(static_cast<UINT>(CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS), wc.style);
  EXPECT_EQ(reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1), wc.hbrBackground);
  EXPECT_NE(nullptr, wc.hIcon);
  EXPECT_EQ(nullptr, wc.lpszMenuName);
  EXPECT_TRUE(app.OnCommand(ID_APP_EXIT));
  EXPECT_EQ(0, app.ExitInstance());
  EXPECT_FALSE(ClassExists());
}

TEST_F(InProcessStartUp, AClassItCouldNotRegisterIsNotItsToUnregister) {
  WNDCLASSA theirs{};
  theirs.lpfnWndProc = DefWindowProcA;
  theirs.hInstance = app.m_hInstance;
  theirs.lpszClassName = kClass;
  ASSERT_NE(0, RegisterClassA(&theirs));
  EXPECT_FALSE(app.InitInstance());
  EXPECT_EQ(1, app.ExitInstance());
  EXPECT_TRUE(ClassExists());
}

// The texts of every visible message box of this thread, which is then
// answered with OK.
std::vector<std::string> boxTexts;

BOOL CALLBACK CollectText(HWND window, LPARAM) {
  char text[128] = "";
  GetWindowTextA(window, text, sizeof text);
  boxTexts.push_back(text);
  return TRUE;
}

void CALLBACK AnswerMessageBoxes(HWND, UINT, UINT_PTR, DWORD) {
  for (HWND box : FindThreadWindows([](HWND window) {
         return ClassOf(window) == "#32770" && IsWindowVisible(window);
       })) {
    CollectText(box, 0);
    EnumChildWindows(box, CollectText, 0);
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  }
}

bool Holds(const std::vector<std::string>& texts, const std::string& text) {
  return std::find(texts.begin(), texts.end(), text) != texts.end();
}

TEST_F(InProcessStartUp, ARefusedTrayIconIsToldAndEndsTheProgramWithStatusOne) {
  SetShellNotify(RefusingAdd);
  boxTexts.clear();
  UINT_PTR timer = SetTimer(nullptr, 0, 50, AnswerMessageBoxes);
  EXPECT_FALSE(app.InitInstance());
  KillTimer(nullptr, timer);
  EXPECT_TRUE(Holds(boxTexts, "Failed to create tray icon"));
  EXPECT_TRUE(Holds(boxTexts, "Brimlet"));  // the program title as caption
  EXPECT_EQ(1, app.ExitInstance());
  EXPECT_FALSE(ClassExists());
}

const std::string& MonitorExe() {
  static const std::string path = WindowsPath(BRIMLET_EXE);
  return path;
}

// A valid command line of this build for `path`.
std::string ArgumentsFor(const std::string& path) {
  return path + (BRIMLET_UNIT_PARAMETER ? " 300 75 95 % N N 0 0" : " 300 75 95 N N 0 0");
}

void ExitMonitor(HWND frame) { PostMessageA(frame, WM_COMMAND, MAKEWPARAM(ID_APP_EXIT, 0), 0); }

TEST(SingleInstance, OneCopyPerUpperCasedWatchedPath) {
  ChildProcess first(MonitorExe(), ArgumentsFor("h:\\"));
  ASSERT_TRUE(first.Started());
  HWND firstFrame = WaitForWindowClass("LaSuperAppsDeQZH:\\", 20000);
  ASSERT_NE(nullptr, firstFrame);
  char title[32] = "";
  GetWindowTextA(firstFrame, title, sizeof title);
  EXPECT_STREQ("Brimlet", title);
  EXPECT_FALSE(IsWindowVisible(firstFrame));

  // Same path, other letter case: the second copy hands over and ends.
  ChildProcess second(MonitorExe(), ArgumentsFor("H:\\"));
  ASSERT_TRUE(second.Started());
  EXPECT_TRUE(second.WaitForExit(20000));
  EXPECT_EQ(0u, second.ExitCode());
  EXPECT_FALSE(first.WaitForExit(0));

  // Another path runs alongside.
  ChildProcess other(MonitorExe(), ArgumentsFor("g:\\data"));
  ASSERT_TRUE(other.Started());
  HWND otherFrame = WaitForWindowClass("LaSuperAppsDeQZG:\\DATA", 20000);
  ASSERT_NE(nullptr, otherFrame);
  EXPECT_FALSE(other.WaitForExit(0));

  ExitMonitor(otherFrame);
  ExitMonitor(firstFrame);
  EXPECT_TRUE(other.WaitForExit(20000));
  EXPECT_TRUE(first.WaitForExit(20000));
  EXPECT_EQ(0u, first.ExitCode());
  EXPECT_EQ(0u, other.ExitCode());
}

// The command-line form is a choice of the build: nine tokens with the unit,
// or eight without it. The other form is refused and the defaults (H:\) apply.
TEST(CommandLineForm, OnlyThisBuildsFormIsAccepted) {
#if BRIMLET_UNIT_PARAMETER
  const char* accepted = "g:\\ 300 75 95 % N N 0 0";
  const char* refused = "g:\\ 300 75 95 N N 0 0";
#else
  const char* accepted = "g:\\ 300 75 95 N N 0 0";
  const char* refused = "g:\\ 300 75 95 % N N 0 0";
#endif
  ChildProcess good(MonitorExe(), accepted);
  HWND goodFrame = WaitForWindowClass("LaSuperAppsDeQZG:\\", 20000);
  ASSERT_NE(nullptr, goodFrame);
  ChildProcess bad(MonitorExe(), refused);
  HWND badFrame = WaitForWindowClass("LaSuperAppsDeQZH:\\", 20000);
  ASSERT_NE(nullptr, badFrame);
  ExitMonitor(goodFrame);
  ExitMonitor(badFrame);
  EXPECT_TRUE(good.WaitForExit(20000));
  EXPECT_TRUE(bad.WaitForExit(20000));
}

// A window of the test's own, to take the foreground away from the monitor.
HWND ForegroundThief() {
  static HWND window = [] {
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "ForegroundThief";
    RegisterClassA(&wc);
    return CreateWindowExA(0, wc.lpszClassName, "Thief", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100,
                           nullptr, nullptr, wc.hInstance, nullptr);
  }();
  ShowWindow(window, SW_SHOW);
  SetForegroundWindow(window);
  return window;
}

HWND WaitForForeground(HWND window, DWORD ms) {
  for (DWORD waited = 0; waited <= ms && GetForegroundWindow() != window; waited += 50) {
    Sleep(50);
  }
  return GetForegroundWindow();
}

// What the running copy shows when the second one starts.
enum class Showing { DetailsWindow, AboutBox };

class SingleInstanceForeground : public testing::TestWithParam<Showing> {};

TEST_P(SingleInstanceForeground, TheSecondCopyBringsTheVisibleWindowForward) {
  const bool details = GetParam() == Showing::DetailsWindow;
  const std::string switches = details ? " 300 75 95 % Y N 0 0" : " 300 75 95 % N N 0 0";
  std::string arguments = "f:\\" + switches;
  if (!BRIMLET_UNIT_PARAMETER) arguments.erase(arguments.find(" %"), 2);

  ChildProcess first(MonitorExe(), arguments);
  HWND frame = WaitForWindowClass("LaSuperAppsDeQZF:\\", 20000);
  ASSERT_NE(nullptr, frame);
  if (!details) PostMessageA(frame, WM_COMMAND, MAKEWPARAM(ID_APP_ABOUT, 0), 0);
  HWND shown =
      WaitForVisibleWindow(first.ProcessId(), details ? nullptr : "About Brimlet", frame, 20000);
  ASSERT_NE(nullptr, shown);

  HWND thief = ForegroundThief();
  EXPECT_EQ(thief, WaitForForeground(thief, 2000));
  ChildProcess second(MonitorExe(), arguments);
  EXPECT_TRUE(second.WaitForExit(20000));
  EXPECT_EQ(shown, WaitForForeground(shown, 2000));
  ShowWindow(thief, SW_HIDE);

  if (!details) {
    PostMessageA(shown, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    for (int i = 0; i < 100 && IsWindow(shown); ++i) Sleep(50);
  }
  ExitMonitor(frame);
  EXPECT_TRUE(first.WaitForExit(20000));
}

INSTANTIATE_TEST_SUITE_P(Windows, SingleInstanceForeground,
                         testing::Values(Showing::DetailsWindow, Showing::AboutBox),
                         [](const testing::TestParamInfo<Showing>& info) {
                           return info.param == Showing::DetailsWindow ? "DetailsWindow"
                                                                       : "AboutBox";
                         });

TEST(SingleInstance, AnInvalidCommandLineWatchesTheDefaultPath) {
  ChildProcess monitor(MonitorExe(), "h:\\ 300 75 95 MB N N 0 0 extra");
  ASSERT_TRUE(monitor.Started());
  HWND frame = WaitForWindowClass("LaSuperAppsDeQZH:\\", 20000);
  ASSERT_NE(nullptr, frame);
  ExitMonitor(frame);
  EXPECT_TRUE(monitor.WaitForExit(20000));
}

}  // namespace
