#include "core/main_frame.h"

CMainFrame::CMainFrame(const MonitorSettings& settings, const char* windowClassName)
    : pollSeconds(settings.pollSeconds),
      warnThreshold(settings.warnThreshold),
      dangerThreshold(settings.dangerThreshold),
      alertPort(settings.alertPort),
      thresholdsInPercent(settings.thresholdsInPercent),
      showDetailsAtStart(settings.showDetailsAtStart),
      autoShow(settings.autoShow),
      watchedPath(settings.watchedPath),
      alertHost(settings.alertHost),
      windowClassName(windowClassName) {}

bool CMainFrame::PreCreateWindow(CREATESTRUCTA& cs) {
  cs.lpszClass = windowClassName;
  return fw::CFrameWnd::PreCreateWindow(cs);
}

int CMainFrame::OnCreate(CREATESTRUCTA* cs) {
  if (fw::CFrameWnd::OnCreate(cs) == -1) {
    return -1;
  }
  SetTimer(m_hWnd, kPollTimer, static_cast<UINT>(pollSeconds) * 1000u, nullptr);
  Poll();
  return 0;
}

void CMainFrame::OnDestroy() {
  KillTimer(m_hWnd, kPollTimer);
  fw::CFrameWnd::OnDestroy();
}

void CMainFrame::OnTimer(UINT_PTR) { Poll(); }

void CMainFrame::Poll() {}
