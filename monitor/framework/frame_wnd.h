// A top-level frame window. Commands it does not handle go on to the
// application object; destroying the application's main window ends the
// message loop.
#pragma once

#include "framework/wnd.h"

namespace fw {

class CFrameWnd : public CWnd {
 public:
  // Creates the frame at the system's default position and size.
  bool Create(const char* title, DWORD style = WS_OVERLAPPEDWINDOW, HWND parent = nullptr);

  // The class the frame gets unless PreCreateWindow names another one.
  static const char* DefaultClassName();

 protected:
  bool PreCreateWindow(CREATESTRUCTA& cs) override;
  void OnDestroy() override;
  bool OnCommand(UINT id, UINT notifyCode) override;
};

}  // namespace fw
