#include "framework/win_app.h"

#include "framework/wnd.h"

namespace fw {

namespace {
CWinApp* theApp = nullptr;
}

CWinApp::CWinApp() { theApp = this; }

CWinApp::~CWinApp() {
  if (theApp == this) {
    theApp = nullptr;
  }
}

CWinApp* App() { return theApp; }

bool CWinApp::InitInstance() { return true; }
int CWinApp::ExitInstance() { return exitCode_; }
bool CWinApp::OnCommand(UINT) { return false; }

bool CWinApp::PreTranslateMessage(MSG* message) {
  for (HWND window = message->hwnd; window != nullptr; window = GetParent(window)) {
    CWnd* object = CWnd::FromHandle(window);
    if (object != nullptr && object->PreTranslateMessage(message)) {
      return true;
    }
  }
  return false;
}

int CWinApp::Run() {
  MSG message;
  for (;;) {
    BOOL got = GetMessageA(&message, nullptr, 0, 0);
    if (got == 0) {
      exitCode_ = static_cast<int>(message.wParam);
      return exitCode_;
    }
    if (got == -1) {
      Trace("GetMessage failed\n");
      exitCode_ = 1;
      return exitCode_;
    }
    if (!PreTranslateMessage(&message)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
  }
}

int RunApplication(CWinApp& app, HINSTANCE instance, const char* commandLine) {
  app.m_hInstance = instance;
  app.m_lpCmdLine = commandLine != nullptr ? commandLine : "";
  if (app.InitInstance()) {
    app.Run();
  }
  return app.ExitInstance();
}

void Trace(const char* text) {
#ifndef NDEBUG
  OutputDebugStringA(text);
#else
  (void)text;
#endif
}

}  // namespace fw
