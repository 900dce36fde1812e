// The monitor's poll cycle on a simulated network: details window, tooltip,
// icon and the alert datagrams a loopback receiver gets.
#include <gtest/gtest.h>
#include <winsock2.h>
#include <windows.h>
#include <commctrl.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/main_frame.h"
#include "app/notice_clock.h"
#include "core/build_variant.h"
#include "core/status_level.h"
#include "framework/resource_language.h"
#include "framework/win_app.h"
#include "network_file.h"
#include "resources/resource.h"
#include "screen_picture.h"
#include "datagram_catcher.h"
#include "ui/shell_notify.h"
#include "ui/status_strings.h"
#include "ui/tray_notify_icon.h"
#include "ui/user_quiet.h"
#include "window_search.h"

// The frame's clock in this test: defined here, so the linker takes this one
// and not the program's (app/notice_clock.cpp). A fixed day at noon, moved
// on by the tests.
std::int64_t testNow = 1765368000;  // 10 December 2025, 12:00 UTC
std::int64_t NoticeClockNow() { return testNow; }

namespace {

// The shell's answer to "may a program notify now?".
int userState = kUserAcceptsNotifications;
HRESULT WINAPI RecordedUserState(int* state) {
  *state = userState;
  return S_OK;
}

struct ShellRecord {
  DWORD action;
  UINT flags;
  HICON icon;
  std::string tooltip;
  DWORD size;
  std::string infoTitle;
  std::string info;
  DWORD infoFlags;
};
std::vector<ShellRecord> shellCalls;

// The steps of one poll as far as they can be seen from outside, in order,
// while `pollSteps` is on.
bool recordingSteps = false;
std::vector<std::string> pollSteps;
void NoteStep(const std::string& step);

BOOL RecordingShell(DWORD action, NOTIFYICONDATAA* data) {
  shellCalls.push_back({action, data->uFlags, data->hIcon, data->szTip, data->cbSize,
                        (data->uFlags & NIF_INFO) != 0 ? data->szInfoTitle : "",
                        (data->uFlags & NIF_INFO) != 0 ? data->szInfo : "", data->dwInfoFlags});
  if (action == NIM_MODIFY) {
    NoteStep((data->uFlags & NIF_TIP) != 0    ? "tooltip"
             : (data->uFlags & NIF_INFO) != 0 ? "notification"
                                              : "icon");
  }
  return TRUE;
}

const char* FrameClass() {
  static const char* name = [] {
    WNDCLASSA wc{};
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "LaSuperAppsDeQZTEST";
    RegisterClassA(&wc);
    return "LaSuperAppsDeQZTEST";
  }();
  return name;
}

// The colour and mask bits of an icon, to tell its picture.
std::vector<unsigned char> IconBits(HICON icon) {
  std::vector<unsigned char> bits;
  ICONINFO info{};
  if (icon == nullptr || !GetIconInfo(icon, &info)) return bits;
  for (HBITMAP bitmap : {info.hbmColor, info.hbmMask}) {
    BITMAP header{};
    if (bitmap != nullptr && GetObjectA(bitmap, sizeof header, &header) != 0) {
      const std::size_t at = bits.size();
      const LONG size = header.bmWidthBytes * header.bmHeight;
      bits.resize(at + static_cast<std::size_t>(size));
      GetBitmapBits(bitmap, size, bits.data() + at);
    }
    if (bitmap != nullptr) DeleteObject(bitmap);
  }
  return bits;
}

// The picture of icon resource `id` at the tray's size.
std::vector<unsigned char> Picture(UINT id) { return IconBits(CTrayNotifyIcon::LoadTrayIcon(id)); }

NetworkState WithFree(unsigned freeKb) {
  NetworkState state;
  state.limitEntries = LimitWithFree(freeKb);
  return state;
}
const NetworkState kOk = WithFree(80000);       // 21 %
const NetworkState kWarning = WithFree(20000);  // 80 %
const NetworkState kDanger = WithFree(2000);    // 98 %
NetworkState Unknown() {
  NetworkState state = kWarning;
  state.failResolve = true;
  return state;
}

class MainFrameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    RegisterTaskbarCreatedMessage();
    SetShellNotify(RecordingShell);
    SetUserStateQuery(RecordedUserState);
    userState = kUserAcceptsNotifications;
    shellCalls.clear();
    std::strcpy(settings.alertHost, "127.0.0.1");
    settings.alertPort = receiver.Port();
  }
  void TearDown() override {
    if (frame != nullptr && frame->m_hWnd != nullptr) {
      frame->DestroyWindow();
    }
    frame.reset();
    SetShellNotify(nullptr);
    SetUserStateQuery(nullptr);
  }

  // Creates the frame, which polls once at once.
  void Start(const NetworkState& first) {
    network.Write(first);
    frame = std::make_unique<CMainFrame>(settings, FrameClass());
    ASSERT_TRUE(frame->Create("Brimlet"));
  }
  void PollWith(const NetworkState& state) {
    network.Write(state);
    SendMessageA(frame->m_hWnd, WM_TIMER, CMainFrame::kPollTimer, 0);
  }
  // The details window: the dialog the frame owns.
  HWND Details() {
    HWND owner = frame->m_hWnd;
    return FindThreadWindowWhere([owner](HWND window) {
      return GetWindow(window, GW_OWNER) == owner && ClassOf(window) == "#32770";
    });
  }
  std::string ControlText(int id) {
    char text[256] = "";
    GetDlgItemTextA(Details(), id, text, sizeof text);
    return text;
  }
  bool DetailsVisible() { return IsWindowVisible(Details()) != FALSE; }
  // The level whose sentence the status line shows.
  StatusLevel ShownLevel() {
    const std::string status = ControlText(IDC_STATUS_TEXT);
    for (StatusLevel level : {LevelOk, LevelWarning, LevelDanger, LevelUnknown}) {
      if (status == fw::LoadResString(StatusStringId(level))) return level;
    }
    ADD_FAILURE() << "no level's sentence: " << status;
    return LevelUnknown;
  }
  // The balance's text colour as the details window paints it.
  COLORREF BalanceColour() {
    HDC dc = CreateCompatibleDC(nullptr);
    SendMessageA(Details(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                 reinterpret_cast<LPARAM>(GetDlgItem(Details(), IDC_BALANCE)));
    const COLORREF colour = GetTextColor(dc);
    DeleteDC(dc);
    return colour;
  }
  // The tooltip of the last call that changed it.
  std::string LastTooltip() {
    std::string tooltip;
    for (const ShellRecord& call : shellCalls) {
      if ((call.action == NIM_ADD || call.action == NIM_MODIFY) && (call.flags & NIF_TIP) != 0) {
        tooltip = call.tooltip;
      }
    }
    return tooltip;
  }
  const ShellRecord& LastShellCall() { return shellCalls.back(); }

  fw::CWinApp app;
  MonitorSettings settings;
  NetworkFile network;
  DatagramCatcher receiver;
  std::unique_ptr<CMainFrame> frame;
};

TEST_F(MainFrameTest, TheWalkThroughSendsItsWarningByteForByte) {
  Start(kWarning);
  EXPECT_EQ(LevelWarning, ShownLevel());
  EXPECT_EQ("80%", ControlText(IDC_PERCENT_TEXT));
  std::vector<std::string> datagrams = receiver.Drain();
  ASSERT_EQ(1u, datagrams.size());
  EXPECT_EQ("Warning,user1,80%,20.00 Mb free,102.40 Mb max", datagrams[0]);
}

TEST_F(MainFrameTest, DetailsWindowHoldsTheFiguresOfThePoll) {
  Start(kWarning);
  EXPECT_EQ("H:\\", ControlText(IDC_WATCHED_PATH));
  EXPECT_EQ("user1", ControlText(IDC_LOGIN_NAME));
  EXPECT_EQ("FS1", ControlText(IDC_SERVER_NAME));
  EXPECT_EQ("H:\\/300s/75%/95%", ControlText(IDC_PARAMETER_LINE));
  EXPECT_EQ("82.40 Mb", ControlText(IDC_DIR_USED));
  EXPECT_EQ("102.40 Mb", ControlText(IDC_DIR_LIMIT));
  EXPECT_EQ("20.00 Mb", ControlText(IDC_DIR_FREE));
  EXPECT_EQ("82.40 Mb", ControlText(IDC_VOL_USED));
  EXPECT_EQ("", ControlText(IDC_VOL_LIMIT));
  EXPECT_EQ("", ControlText(IDC_VOL_FREE));
  EXPECT_EQ("80%", ControlText(IDC_PERCENT_TEXT));
  EXPECT_EQ("Free space is low : you should keep an eye on it.", ControlText(IDC_STATUS_TEXT));
#if BRIMLET_CURRENCY_BALANCE
  EXPECT_EQ("12.34 Fr", ControlText(IDC_BALANCE));
  EXPECT_EQ("-5.00 Fr", ControlText(IDC_LOW_LIMIT));
#else
  EXPECT_EQ("12.34", ControlText(IDC_BALANCE));
  EXPECT_EQ("-5.00", ControlText(IDC_LOW_LIMIT));
#endif
  EXPECT_EQ(80, SendDlgItemMessageA(Details(), IDC_PERCENT_BAR, PBM_GETPOS, 0, 0));
}

TEST_F(MainFrameTest, TheTooltipReachesTheShellAsComposed) {
  Start(kWarning);
  bool seen = false;
  for (const ShellRecord& call : shellCalls) {
    if (call.action == NIM_MODIFY && (call.flags & NIF_TIP) != 0) {
      seen = call.tooltip == "Disk space used :  80% on H:\\ - 20.00 Mb free.";
    }
  }
  EXPECT_TRUE(seen);
}

// The shell's record keeps the tooltip: a poll sends it only when it changed.
TEST_F(MainFrameTest, AnUnchangedTooltipIsNotSentAgain) {
  Start(kWarning);
  const struct {
    NetworkState state;
    std::size_t sent;
  } polls[] = {{kWarning, 0}, {kDanger, 1}, {kDanger, 0}, {Unknown(), 1}, {kWarning, 1}};
  for (std::size_t i = 0; i < sizeof polls / sizeof polls[0]; ++i) {
    const std::size_t before = shellCalls.size();
    PollWith(polls[i].state);
    std::size_t sent = 0;
    for (std::size_t c = before; c < shellCalls.size(); ++c) {
      if ((shellCalls[c].flags & NIF_TIP) != 0) ++sent;
    }
    EXPECT_EQ(polls[i].sent, sent) << "poll " << i;
  }
  EXPECT_EQ("Disk space used :  80% on H:\\ - 20.00 Mb free.", LastTooltip());
}

TEST_F(MainFrameTest, AlertsFollowTheLevelSequence) {
  Start(kOk);
  PollWith(kWarning);
  PollWith(kDanger);
  PollWith(kWarning);
  PollWith(kDanger);
  std::vector<std::string> datagrams = receiver.Drain();
  ASSERT_EQ(3u, datagrams.size());
  EXPECT_EQ(0u, datagrams[0].rfind("Warning,user1,80%", 0));
  EXPECT_EQ(0u, datagrams[1].rfind("Danger,user1,98%", 0));
  EXPECT_EQ(0u, datagrams[2].rfind("Danger,user1,98%", 0));
}

TEST_F(MainFrameTest, AnUnknownLevelBetweenWarningAndDangerDoesNotReArm) {
  Start(kWarning);
  PollWith(Unknown());
  PollWith(kDanger);
  std::vector<std::string> datagrams = receiver.Drain();
  ASSERT_EQ(1u, datagrams.size());
  EXPECT_EQ(0u, datagrams[0].rfind("Warning,", 0));
}

TEST_F(MainFrameTest, AFailedQueryShowsQuestionMarksAndTheUnknownIcon) {
  Start(Unknown());
  EXPECT_EQ(LevelUnknown, ShownLevel());
  EXPECT_EQ("??", ControlText(IDC_LOGIN_NAME));
  EXPECT_EQ("??", ControlText(IDC_SERVER_NAME));
  EXPECT_EQ("??", ControlText(IDC_DIR_USED));
  EXPECT_EQ("??", ControlText(IDC_VOL_FREE));
  EXPECT_EQ("0%", ControlText(IDC_PERCENT_TEXT));
  EXPECT_EQ("Unknown free space.", ControlText(IDC_STATUS_TEXT));
  EXPECT_EQ("Disk space used :  0% on H:\\ -  free.", LastTooltip());
  EXPECT_EQ(Picture(IDI_DRIVE_UNKNOWN), IconBits(LastShellCall().icon));
  EXPECT_TRUE(receiver.Drain().empty());
}

TEST_F(MainFrameTest, HostZeroNeverSends) {
  std::strcpy(settings.alertHost, "0");
  settings.alertPort = 0;
  Start(kWarning);
  PollWith(kDanger);
  EXPECT_TRUE(receiver.Drain().empty());
}

TEST_F(MainFrameTest, AutoShowOpensTheWindowAtEachEntryIntoDanger) {
  settings.autoShow = true;
  Start(kOk);
  EXPECT_FALSE(DetailsVisible());
  PollWith(kDanger);
  EXPECT_TRUE(DetailsVisible());
  ShowWindow(Details(), SW_HIDE);
  PollWith(kWarning);
  EXPECT_FALSE(DetailsVisible());
  PollWith(kDanger);
  EXPECT_TRUE(DetailsVisible());
  ShowWindow(Details(), SW_HIDE);
  PollWith(kDanger);  // staying in danger is no new entry
  EXPECT_FALSE(DetailsVisible());
}

TEST_F(MainFrameTest, WithoutAutoShowTheBoxIsHiddenAndDangerOpensNothing) {
  Start(kOk);
  PollWith(kDanger);
  EXPECT_FALSE(DetailsVisible());
  EXPECT_FALSE(IsWindowVisible(GetDlgItem(Details(), IDC_AUTO_SHOW)));
}

TEST_F(MainFrameTest, ADoubleClickPollsBeforeShowing) {
  Start(kOk);
  network.Write(kDanger);
  SendMessageA(frame->m_hWnd, WM_TRAYNOTIFY, CMainFrame::kTrayIconId, WM_LBUTTONDBLCLK);
  EXPECT_EQ(LevelDanger, ShownLevel());
  EXPECT_TRUE(DetailsVisible());
  EXPECT_EQ("98%", ControlText(IDC_PERCENT_TEXT));
}

TEST_F(MainFrameTest, UnlimitedCreditLeavesTheBalanceColourAndShowsNoLimit) {
  NetworkState nearLimit = kOk;
  nearLimit.balance = "90";
  nearLimit.lowLimit = "50";
  Start(nearLimit);
  EXPECT_EQ(RGB(255, 0, 0), BalanceColour());
  NetworkState unlimited = nearLimit;
  unlimited.unlimited = "yes";
  PollWith(unlimited);
  EXPECT_EQ(RGB(255, 0, 0), BalanceColour());
#if BRIMLET_CURRENCY_BALANCE
  EXPECT_EQ("Illimit\xE9", ControlText(IDC_LOW_LIMIT));
  EXPECT_EQ("0.90 Fr", ControlText(IDC_BALANCE));
#else
  EXPECT_EQ("", ControlText(IDC_LOW_LIMIT));
  EXPECT_EQ("0.90", ControlText(IDC_BALANCE));
#endif
  NetworkState comfortable = nearLimit;
  comfortable.balance = "5000";
  PollWith(comfortable);
  EXPECT_EQ(GetSysColor(COLOR_BTNTEXT), BalanceColour());
}

TEST_F(MainFrameTest, ShownAtStartTheDetailsWindowsOkEndsTheProgram) {
  settings.showDetailsAtStart = true;
  Start(kOk);
  app.m_pMainWnd = frame.get();
  EXPECT_TRUE(DetailsVisible());
  HWND details = Details();
  // The close box only hides; the dialog manager posts its cancel command.
  SendMessageA(details, WM_SYSCOMMAND, SC_CLOSE, 0);
  MSG pending;
  for (int i = 0; i < 100 && PeekMessageA(&pending, nullptr, 0, 0, PM_REMOVE); ++i) {
    DispatchMessageA(&pending);
  }
  EXPECT_FALSE(DetailsVisible());
  ASSERT_NE(nullptr, frame->m_hWnd);
  SendMessageA(frame->m_hWnd, WM_COMMAND, MAKEWPARAM(ID_QUOTA_DETAILS, 0), 0);
  EXPECT_TRUE(DetailsVisible());
  SendMessageA(details, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  EXPECT_EQ(nullptr, frame->m_hWnd);
  EXPECT_FALSE(IsWindow(details));
  MSG quit;
  EXPECT_TRUE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_TRUE(shellCalls.back().action == NIM_DELETE);  // the icon left the tray
}

// A loopback socket of the alert destination, looked at (without waiting)
// before each step, so that the alert takes its place among the steps.
SOCKET alertSocket = INVALID_SOCKET;
bool alertSeen = false;

void NoteStep(const std::string& step) {
  if (!recordingSteps) return;
  fd_set readable;
  FD_ZERO(&readable);
  FD_SET(alertSocket, &readable);
  timeval now{0, 0};
  if (!alertSeen && select(0, &readable, nullptr, nullptr, &now) == 1) {
    alertSeen = true;
    pollSteps.push_back("alert");
  }
  if (!step.empty()) pollSteps.push_back(step);
}

HWND detailsWindow = nullptr;

LRESULT CALLBACK WatchDetails(int code, WPARAM wParam, LPARAM lParam) {
  const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
  if (code == HC_ACTION && sent->message == WM_SHOWWINDOW && sent->hwnd == detailsWindow &&
      sent->wParam != 0) {
    NoteStep("show");
  } else if (code == HC_ACTION && sent->message == WM_SETTEXT &&
             GetParent(sent->hwnd) == detailsWindow) {
    const int id = GetDlgCtrlID(sent->hwnd);
    if (id == IDC_PERCENT_TEXT)
      NoteStep(std::string("percent ") + reinterpret_cast<const char*>(sent->lParam));
    if (id == IDC_BALANCE) NoteStep("balance");
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

struct StepCase {
  const char* name;
  bool autoShow;
  NetworkState state;  // after a first poll at ok
  std::vector<std::string> steps;
};

class MainFramePollSteps : public MainFrameTest, public testing::WithParamInterface<StepCase> {};

TEST_P(MainFramePollSteps, APollAfterTheFirstRunsItsStepsInOrder) {
  alertSocket = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
  ASSERT_NE(INVALID_SOCKET, alertSocket);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ASSERT_EQ(0, bind(alertSocket, reinterpret_cast<sockaddr*>(&address), sizeof address));
  int length = sizeof address;
  getsockname(alertSocket, reinterpret_cast<sockaddr*>(&address), &length);
  settings.alertPort = ntohs(address.sin_port);
  settings.autoShow = GetParam().autoShow;
  Start(kOk);
  detailsWindow = Details();
  HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, WatchDetails, nullptr, GetCurrentThreadId());
  pollSteps.clear();
  alertSeen = false;
  recordingSteps = true;
  PollWith(GetParam().state);
  NoteStep("");
  recordingSteps = false;
  UnhookWindowsHookEx(hook);
  closesocket(alertSocket);
  std::vector<std::string> expected = GetParam().steps;
  if (!kLevelNotification && expected.back() == "notification") expected.pop_back();
  EXPECT_EQ(expected, pollSteps);
}

// The window is filled once, balance included, before the automatic display
// shows it; the tooltip, alert and icon follow, and the notification of a
// rise comes last, from the icon that already shows the new level.
INSTANTIATE_TEST_SUITE_P(
    Rises, MainFramePollSteps,
    testing::Values(
        StepCase{"AutoShowOpensTheWindowInsteadOfANotification",
                 true,
                 kDanger,
                 {"percent 98%", "balance", "show", "tooltip", "alert", "icon"}},
        StepCase{"DangerNotifiesLast",
                 false,
                 kDanger,
                 {"percent 98%", "balance", "tooltip", "alert", "icon", "notification"}},
        StepCase{"WarningNotifiesLast",
                 true,
                 kWarning,
                 {"percent 80%", "balance", "tooltip", "alert", "icon", "notification"}}),
    [](const testing::TestParamInfo<StepCase>& info) { return info.param.name; });

TEST_F(MainFrameTest, TheIconFollowsTheLevel) {
  Start(kOk);
  EXPECT_EQ(Picture(IDI_DRIVE_OK), IconBits(LastShellCall().icon));
  PollWith(kWarning);
  EXPECT_EQ(Picture(IDI_DRIVE), IconBits(LastShellCall().icon));
  SendMessageA(frame->m_hWnd, WM_TIMER, CMainFrame::kTrayIconId, 0);  // one blink tick
  EXPECT_EQ(Picture(IDI_DRIVE_WARNING), IconBits(LastShellCall().icon));
  EXPECT_EQ(LevelWarning, ShownLevel());
}

struct BlinkCase {
  const char* name;
  NetworkState state;
  UINT secondPicture;
};

class MainFrameBlink : public MainFrameTest, public testing::WithParamInterface<BlinkCase> {};

TEST_P(MainFrameBlink, EveryPollStartsThePairAgainWithThePlainDrive) {
  const BlinkCase& blink = GetParam();
  ASSERT_NE(Picture(IDI_DRIVE), Picture(blink.secondPicture));
  Start(kOk);
  for (int poll = 0; poll < 2; ++poll) {
    PollWith(blink.state);
    EXPECT_EQ(Picture(IDI_DRIVE), IconBits(LastShellCall().icon)) << "poll " << poll;
    SendMessageA(frame->m_hWnd, WM_TIMER, CMainFrame::kTrayIconId, 0);
    EXPECT_EQ(Picture(blink.secondPicture), IconBits(LastShellCall().icon)) << "poll " << poll;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Levels, MainFrameBlink,
    testing::Values(BlinkCase{"Warning", kWarning, IDI_DRIVE_WARNING},
                    BlinkCase{"Danger", kDanger, IDI_DRIVE_DANGER}),
    [](const testing::TestParamInfo<BlinkCase>& info) { return info.param.name; });

TEST_F(MainFrameTest, TheStillIconsShowTheirOwnPictures) {
  Start(kOk);
  // The tray entry starts with the unknown picture; the first poll shows ok.
  ASSERT_EQ(static_cast<DWORD>(NIM_ADD), shellCalls.front().action);
  EXPECT_EQ(Picture(IDI_DRIVE_UNKNOWN), IconBits(shellCalls.front().icon));
  EXPECT_EQ(Picture(IDI_DRIVE_OK), IconBits(LastShellCall().icon));
}

// ---- The notification at a rise of the level --------------------------------

// The notifications recorded from call `first` on (`withdrawn`: the
// withdrawals, which carry an empty text, instead).
std::vector<ShellRecord> Notifications(std::size_t first = 0, bool withdrawn = false) {
  std::vector<ShellRecord> found;
  for (std::size_t i = first; i < shellCalls.size(); ++i) {
    if ((shellCalls[i].flags & NIF_INFO) != 0 && shellCalls[i].info.empty() == withdrawn) {
      found.push_back(shellCalls[i]);
    }
  }
  return found;
}

constexpr DWORD kQuietTime = 0x80;  // NIIF_RESPECT_QUIET_TIME
const char kWarningText[] =
    "Free space is low : you should keep an eye on it.\n"
    "Disk space used :  80% on H:\\ - 20.00 Mb free.";
const char kDangerText[] =
    "You're running almost out of free space : please take necessary steps.\n"
    "Disk space used :  98% on H:\\ - 2.00 Mb free.";

struct RiseStep {
  NetworkState state;
  const char* text;  // nullptr: no notification
  DWORD icon;
};

TEST_F(MainFrameTest, ANotificationAtEachRiseNoneWhileTheLevelStaysOrFalls) {
  Start(kOk);
  EXPECT_TRUE(Notifications().empty());
  const RiseStep steps[] = {{kWarning, kWarningText, NIIF_WARNING},
                            {kWarning, nullptr, 0},
                            {kDanger, kDangerText, NIIF_ERROR},
                            {kDanger, nullptr, 0},
                            {kWarning, nullptr, 0},
                            {kOk, nullptr, 0},
                            {kWarning, kWarningText, NIIF_WARNING},
                            {Unknown(), nullptr, 0},
                            {kDanger, kDangerText, NIIF_ERROR}};
  for (std::size_t i = 0; i < sizeof steps / sizeof steps[0]; ++i) {
    const std::size_t before = shellCalls.size();
    PollWith(steps[i].state);
    const std::vector<ShellRecord> shown = Notifications(before);
    if (!kLevelNotification || steps[i].text == nullptr) {
      EXPECT_TRUE(shown.empty()) << "poll " << i;
      continue;
    }
    ASSERT_EQ(1u, shown.size()) << "poll " << i;
    EXPECT_EQ(static_cast<DWORD>(NIM_MODIFY), shown[0].action) << "poll " << i;
    EXPECT_EQ(static_cast<UINT>(NIF_INFO), shown[0].flags) << "poll " << i;
    EXPECT_EQ(CTrayNotifyIcon::kExtendedRecordSize, shown[0].size) << "poll " << i;
    EXPECT_EQ("Brimlet", shown[0].infoTitle) << "poll " << i;
    EXPECT_EQ(steps[i].text, shown[0].info) << "poll " << i;
    EXPECT_EQ(steps[i].icon | kQuietTime, shown[0].infoFlags) << "poll " << i;
    // Last of the poll, from the icon that already shows the new level.
    EXPECT_NE(0u, LastShellCall().flags & NIF_INFO) << "poll " << i;
  }
  // The record went back to the short form: the next poll's calls are as before.
  const std::size_t before = shellCalls.size();
  PollWith(kDanger);
  ASSERT_LT(before, shellCalls.size());
  for (std::size_t i = before; i < shellCalls.size(); ++i) {
    EXPECT_EQ(CTrayNotifyIcon::kShortRecordSize, shellCalls[i].size);
  }
  EXPECT_FALSE(DetailsVisible());  // a notification never opens or activates anything
}

// The balloon of a level that no longer holds leaves the screen: at a fall,
// and when the details window opens; the next rise notifies again.
TEST_F(MainFrameTest, ANotificationIsWithdrawnWhenItsLevelNoLongerHolds) {
  if (!kLevelNotification) GTEST_SKIP() << "built without the level notification";
  Start(kWarning);
  const struct {
    const char* step;
    NetworkState state;  // polled, unless the step opens the details
    std::size_t withdrawn;
    std::size_t shown;
  } steps[] = {{"fall to ok", kOk, 1, 0},       {"ok again", kOk, 0, 0},
               {"rise to warning", kWarning, 0, 1}, {"details opened", kWarning, 1, 0},
               {"rise to danger", kDanger, 0, 1},   {"failed reading", Unknown(), 1, 0}};
  for (const auto& step : steps) {
    const std::size_t before = shellCalls.size();
    if (std::strcmp(step.step, "details opened") == 0) {
      SendMessageA(frame->m_hWnd, WM_COMMAND, MAKEWPARAM(ID_QUOTA_DETAILS, 0), 0);
    } else {
      PollWith(step.state);
    }
    const std::vector<ShellRecord> withdrawn = Notifications(before, true);
    ASSERT_EQ(step.withdrawn, withdrawn.size()) << step.step;
    EXPECT_EQ(step.shown, Notifications(before).size()) << step.step;
    for (const ShellRecord& call : withdrawn) {
      EXPECT_EQ(static_cast<DWORD>(NIM_MODIFY), call.action) << step.step;
      EXPECT_EQ(static_cast<UINT>(NIF_INFO), call.flags) << step.step;
      EXPECT_EQ(CTrayNotifyIcon::kExtendedRecordSize, call.size) << step.step;
    }
  }
}

TEST_F(MainFrameTest, TheFirstPollCountsAsARiseFromUnknown) {
  Start(kWarning);
  const std::vector<ShellRecord> shown = Notifications();
  if (!kLevelNotification) {
    EXPECT_TRUE(shown.empty());
    return;
  }
  ASSERT_EQ(1u, shown.size());
  EXPECT_EQ(kWarningText, shown[0].info);
}

TEST_F(MainFrameTest, NoNotificationWhenAutoShowOpensTheWindow) {
  settings.autoShow = true;
  Start(kDanger);  // the first poll opens the window
  EXPECT_TRUE(DetailsVisible());
  EXPECT_TRUE(Notifications().empty());
  ShowWindow(Details(), SW_HIDE);
  PollWith(kOk);
  PollWith(kWarning);  // warning opens nothing: its notification comes
  EXPECT_EQ(kLevelNotification ? 1u : 0u, Notifications().size());
  const std::size_t before = shellCalls.size();
  PollWith(kDanger);
  EXPECT_TRUE(DetailsVisible());
  EXPECT_TRUE(Notifications(before).empty());
}

TEST_F(MainFrameTest, AClickOnTheNotificationPollsAndOpensTheDetails) {
  Start(kWarning);
  network.Write(kDanger);
  EXPECT_EQ(0, SendMessageA(frame->m_hWnd, WM_TRAYNOTIFY, CMainFrame::kTrayIconId + 1,
                            NIN_BALLOONUSERCLICK));  // another icon's
  EXPECT_FALSE(DetailsVisible());
  EXPECT_EQ(1, SendMessageA(frame->m_hWnd, WM_TRAYNOTIFY, CMainFrame::kTrayIconId,
                            NIN_BALLOONUSERCLICK));
  EXPECT_TRUE(DetailsVisible());
  EXPECT_EQ(LevelDanger, ShownLevel());
  EXPECT_EQ("98%", ControlText(IDC_PERCENT_TEXT));
}

// Wine's notification area draws a notification as a balloon-style tooltip
// window of its explorer process.
HWND VisibleBalloon() {
  return FindWindowWhere([](HWND window) {
    return lstrcmpiA(ClassOf(window).c_str(), TOOLTIPS_CLASSA) == 0 && IsWindowVisible(window) &&
           (GetWindowLongA(window, GWL_STYLE) & TTS_BALLOON) != 0 &&
           ProcessOf(window) != GetCurrentProcessId();
  });
}

// Polls for the balloon every 100 ms, handling this thread's messages, at
// most `ms` long.
HWND WaitForBalloon(DWORD ms) {
  for (DWORD waited = 0; waited < ms; waited += 100) {
    MSG message;
    for (int i = 0; i < 100 && PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE); ++i) {
      DispatchMessageA(&message);
    }
    if (HWND balloon = VisibleBalloon()) return balloon;
    Sleep(100);
  }
  return nullptr;
}

TEST_F(MainFrameTest, WinesNotificationAreaShowsTheNotificationAtARise) {
  if (!kLevelNotification) GTEST_SKIP() << "built without the level notification";
  SetShellNotify(nullptr);  // the real notification area
  Start(kOk);
  EXPECT_EQ(nullptr, VisibleBalloon());
  PollWith(kWarning);
  HWND balloon = WaitForBalloon(10000);
  ASSERT_NE(nullptr, balloon);
  EXPECT_NE(balloon, GetForegroundWindow());  // the notification took no focus
  EXPECT_FALSE(DetailsVisible());
  if (const char* dir = std::getenv("BRIMLET_SCREENSHOT_DIR")) {
    Sleep(300);  // let the balloon finish painting
    RECT rect{};
    GetWindowRect(balloon, &rect);
    const RECT part{0, 0, rect.right + 16, rect.bottom + 16};
    SaveScreenPart(part, std::string(dir) + "\\notification_warning_en_US.bmp");
  }
}

// ---- Reminders, snooze and quiet ---------------------------------------------

void Command(HWND frame, UINT id) { SendMessageA(frame, WM_COMMAND, MAKEWPARAM(id, 0), 0); }

// The texts of the snooze sub-menu after the frame has prepared it for showing.
std::vector<std::string> SnoozeMenuAsShown(HWND frame) {
  HMENU menu = fw::LoadResMenu(IDR_TRAY_MENU);
  HMENU snooze = GetSubMenu(GetSubMenu(menu, 0), 2);
  SendMessageA(frame, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(snooze), 2);
  std::vector<std::string> texts;
  for (int i = 0; i < GetMenuItemCount(snooze); ++i) {
    char text[256] = "";
    GetMenuStringA(snooze, i, text, sizeof text, MF_BYPOSITION);
    texts.push_back(text);
  }
  DestroyMenu(menu);
  return texts;
}

struct TimedStep {
  const char* step;
  int minutes;      // the clock moves on by this much before it
  UINT command;     // a menu command chosen before the poll, or 0
  bool quiet;       // the shell's answer at the poll
  NetworkState state;
  const char* text;  // the notification the poll shows, nullptr: none
};

// Each poll after the first (danger, told at once) at its time; a snooze
// holds everything back, a reminder comes after four hours of danger, and
// quiet holds a notification back until the shell allows it.
TEST_F(MainFrameTest, RemindersSnoozeAndQuietFollowTheClock) {
  if (!kLevelNotification) GTEST_SKIP() << "built without the level notification";
  Start(kDanger);
  ASSERT_EQ(1u, Notifications().size());
  const TimedStep steps[] = {
      {"snoozed for an hour", 10, ID_SNOOZE_HOUR, false, kDanger, nullptr},
      {"still snoozed", 40, 0, false, kDanger, nullptr},
      {"the snooze has ended", 20, 0, false, kDanger, kDangerText},
      {"before the interval", 230, 0, false, kDanger, nullptr},
      {"the interval is over", 10, 0, false, kDanger, kDangerText},
      {"a fall to ok", 5, 0, false, kOk, nullptr},
      {"a rise while the user presents", 5, 0, true, kWarning, nullptr},
      {"still presenting", 5, 0, true, kWarning, nullptr},
      {"presentation over", 5, 0, false, kWarning, kWarningText},
      {"snoozed till tomorrow", 5, ID_SNOOZE_MORNING, false, kWarning, nullptr},
      {"the snooze ended by a rise", 5, 0, false, kDanger, kDangerText}};
  for (const TimedStep& step : steps) {
    testNow += step.minutes * 60;
    if (step.command != 0) Command(frame->m_hWnd, step.command);
    userState = step.quiet ? kUserPresenting : kUserAcceptsNotifications;
    const std::size_t before = shellCalls.size();
    PollWith(step.state);
    const std::vector<ShellRecord> shown = Notifications(before);
    if (step.text == nullptr) {
      EXPECT_TRUE(shown.empty()) << step.step;
    } else {
      ASSERT_EQ(1u, shown.size()) << step.step;
      EXPECT_EQ(step.text, shown[0].info) << step.step;
    }
  }
  EXPECT_FALSE(DetailsVisible());
}

TEST_F(MainFrameTest, AQuietShellHoldsTheAutomaticWindowBack) {
  settings.autoShow = true;
  userState = kUserRunningFullScreen;
  Start(kDanger);
  EXPECT_FALSE(DetailsVisible());
  userState = kUserAcceptsNotifications;
  PollWith(kDanger);
  EXPECT_TRUE(DetailsVisible());
}

TEST_F(MainFrameTest, TheMenuSaysUntilWhenTheSnoozeRuns) {
  Start(kWarning);
  const std::vector<std::string> plain = SnoozeMenuAsShown(frame->m_hWnd);
  EXPECT_EQ((std::vector<std::string>{"In one hour", "In four hours", "Tomorrow morning"}), plain);
  Command(frame->m_hWnd, ID_SNOOZE_MORNING);
  const std::vector<std::string> snoozed = SnoozeMenuAsShown(frame->m_hWnd);
  ASSERT_EQ(6u, snoozed.size());
  EXPECT_EQ(0u, snoozed[4].rfind("Reminders paused until ", 0)) << snoozed[4];
  EXPECT_NE(std::string::npos, snoozed[4].find("8:00")) << snoozed[4];
  EXPECT_EQ("Resume reminders", snoozed[5]);
  Command(frame->m_hWnd, ID_SNOOZE_RESUME);
  EXPECT_EQ(plain, SnoozeMenuAsShown(frame->m_hWnd));
}

}  // namespace
