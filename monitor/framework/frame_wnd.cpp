#include "framework/frame_wnd.h"

#include "framework/win_app.h"

namespace fw {

const char* CFrameWnd::DefaultClassName() {
  static const char* const kName = [] {
    WNDCLASSA wc{};
    wc.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = "FwFrameWnd";
    RegisterClassA(&wc);
    return "FwFrameWnd";
  }();
  return kName;
}

bool CFrameWnd::Create(const char* title, DWORD style, HWND parent) {
  return CreateEx(0, nullptr, title, style, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                  CW_USEDEFAULT, parent, nullptr);
}

bool CFrameWnd::PreCreateWindow(CREATESTRUCTA& cs) {
  if (cs.lpszClass == nullptr) {
    cs.lpszClass = DefaultClassName();
  }
  return true;
}

void CFrameWnd::OnDestroy() {
  Default();
  CWinApp* app = App();
  if (app != nullptr && app->m_pMainWnd == this) {
    PostQuitMessage(0);
  }
}

bool CFrameWnd::OnCommand(UINT id, UINT) {
  CWinApp* app = App();
  return app != nullptr && app->OnCommand(id);
}

}  // namespace fw
