#include "app/main_frame.h"

#include "core/poll_period.h"
#include "framework/resource_language.h"
#include "resources/resource.h"
#include "ui/desktop_doors.h"
#include "ui/largest_items_dlg.h"
#include "ui/quota_details_dlg.h"
#include "ui/status_strings.h"

namespace {

// The icon resource of each place, in the order of CMainFrame::TrayIcon.
constexpr UINT kIconIds[CMainFrame::kIconCount] = {
    IDI_DRIVE_OK, IDI_DRIVE, IDI_DRIVE_WARNING, IDI_DRIVE, IDI_DRIVE_DANGER, IDI_DRIVE_UNKNOWN};

static_assert(kTimerMinimumMs == USER_TIMER_MINIMUM && kTimerMaximumMs == USER_TIMER_MAXIMUM,
              "the poll period's range is the timer's");

ViewWords LoadViewWords() {
  ViewWords words;
  words.usedLabel = fw::LoadResString(IDS_DISK_SPACE_USED);
  words.onWord = fw::LoadResString(IDS_ON);
  words.freeWord = fw::LoadResString(IDS_FREE);
  words.programTitle = fw::LoadResString(IDS_PROGRAM_TITLE);
  const StatusLevel levels[] = {LevelUnknown, LevelOk, LevelWarning, LevelDanger};
  for (StatusLevel level : levels) {
    words.statusSentences[level + 1] = fw::LoadResString(StatusStringId(level));
  }
  return words;
}

}  // namespace

CMainFrame::CMainFrame(const MonitorSettings& settings, const char* windowClassName)
    : settings(settings),
      windowClassName(windowClassName),
      details(std::make_unique<CQuotaDetailsDlg>()),
      autoShow(settings.autoShow),
      words(LoadViewWords()) {
  details->Create(nullptr);
  details->OnAutoShowChanged([this](bool on) { autoShow = on; });
  for (int i = 0; i < kIconCount; ++i) {
    icons[i] = CTrayNotifyIcon::LoadTrayIcon(kIconIds[i]);
  }
}

CMainFrame::~CMainFrame() = default;

bool CMainFrame::PreCreateWindow(CREATESTRUCTA& cs) {
  cs.lpszClass = windowClassName;
  return fw::CFrameWnd::PreCreateWindow(cs);
}

int CMainFrame::OnCreate(CREATESTRUCTA* cs) {
  if (fw::CFrameWnd::OnCreate(cs) == -1) {
    return -1;
  }
  // The details window was made before this window existed. Owned by the
  // frame, it becomes the frame's last active pop-up once shown, which is
  // what a second copy of the program brings to the front.
  details->SetOwner(m_hWnd);
  if (!trayIcon.AddToTray(this, kTrayIconId, "Brimlet", icons[kIconUnknown], WM_TRAYNOTIFY, 0,
                          false)) {
    ShowMessageBox(m_hWnd, "Failed to create tray icon", words.programTitle.c_str(),
                   MB_OK | MB_ICONSTOP);
    return -1;
  }
  OpenAlertSocket();
  SetTimer(m_hWnd, kPollTimer, PollPeriodMs(settings.pollSeconds), nullptr);
  if (!settings.autoShow) {
    details->HideAutoShowBox();
  }
  details->SetAutoShowBox(autoShow);
  details->SetExitOnOk(settings.showDetailsAtStart);
  // One poll at start; showing the details window polls by itself.
  if (settings.showDetailsAtStart) {
    ShowDetails();
  } else {
    Poll();
  }
  return 0;
}

void CMainFrame::OnDestroy() {
  KillTimer(m_hWnd, kPollTimer);
  trayIcon.RemoveFromTray();
  details->DestroyWindow();
  if (largestItems != nullptr) {
    largestItems->DestroyWindow();  // stops its scan
  }
  socket.Close();
  fw::CFrameWnd::OnDestroy();
}

LRESULT CMainFrame::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_TRAYNOTIFY) {
    return trayIcon.HandleNotification(wParam, lParam);
  }
  if (message == WM_INITMENUPOPUP) {
    ShowSnoozeState(reinterpret_cast<HMENU>(wParam));
  }
  if (message == WM_ALERT_HOST_FOUND) {
    OnAlertHostFound(lParam);
    return 0;
  }
  return fw::CFrameWnd::WindowProc(message, wParam, lParam);
}

// Every timer that reaches the frame polls; the tray icon's blink timer is
// taken by its hook before it gets here.
void CMainFrame::OnTimer(UINT_PTR) { Poll(); }

bool CMainFrame::OnCommand(UINT id, UINT notifyCode) {
  if (id == ID_QUOTA_DETAILS) {
    ShowDetails();
    return true;
  }
  if (id == ID_LARGEST_ITEMS) {
    ShowLargestItems();
    return true;
  }
  if (OnSnoozeCommand(id)) {
    return true;
  }
  return fw::CFrameWnd::OnCommand(id, notifyCode);
}

void CMainFrame::ShowDetails() {
  Poll();
  trayIcon.WithdrawBalloon();  // the window says it all
  details->Open();
}
