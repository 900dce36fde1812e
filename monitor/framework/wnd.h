// A window object: one C++ object per HWND, with typed handlers for the
// messages the program uses and default handling for everything else.
#pragma once

#include <windows.h>

namespace fw {

class CWnd {
 public:
  CWnd() = default;
  virtual ~CWnd();
  CWnd(const CWnd&) = delete;
  CWnd& operator=(const CWnd&) = delete;

  // The object bound to `window`, or nullptr for windows of no object.
  static CWnd* FromHandle(HWND window);

  // Creates the window. Its class may use any window procedure (the system's
  // default one included): the window is bound to this object as soon as it
  // exists, so the object sees WM_NCCREATE and everything after it.
  bool CreateEx(DWORD exStyle, const char* className, const char* title, DWORD style, int x,
                int y, int width, int height, HWND parent, HMENU menu);

  // Binds an existing window (typically a dialog control) to this object.
  bool SubclassWindow(HWND window);
  bool SubclassDlgItem(int id, CWnd* parent);

  bool DestroyWindow();

  HWND m_hWnd = nullptr;

 protected:
  friend LRESULT CALLBACK StandardWindowProc(HWND, UINT, WPARAM, LPARAM);
  friend class CWinApp;

  // Entry of every message of the window. Dispatches to the handlers below;
  // anything it does not know goes to Default().
  virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);

  // The window procedure that was there before the object, called with the
  // thread's current message.
  LRESULT Default();

  // Offered every queued message for this window or its children before it
  // is dispatched; true consumes it.
  virtual bool PreTranslateMessage(MSG* message);

  // Adjusts the creation parameters; false cancels the creation.
  virtual bool PreCreateWindow(CREATESTRUCTA& cs);
  // Runs when an existing window has just been bound by SubclassWindow.
  virtual void PreSubclassWindow() {}
  // Runs after the last message of the window; the object is unbound by then.
  virtual void PostNcDestroy() {}

  virtual int OnCreate(CREATESTRUCTA* cs);
  virtual void OnDestroy();
  virtual void OnTimer(UINT_PTR id);
  // A command from a menu, an accelerator or a control; true when handled.
  virtual bool OnCommand(UINT id, UINT notifyCode);
  // The parent asks this control for its colours (WM_CTLCOLOR* reflected);
  // a brush answers the request, nullptr leaves it to the parent.
  virtual HBRUSH OnCtlColorReflect(HDC dc);

  // Around a creation call: binds the next top-level window created on this
  // thread to `window`.
  static void BeginCreation(CWnd* window);
  static void EndCreation();

 private:
  void Attach(HWND window);
  void Unbind();
  static LRESULT CALLBACK CreationHook(int code, WPARAM wParam, LPARAM lParam);

  WNDPROC superProc_ = nullptr;
};

}  // namespace fw
