#include "framework/wnd.h"

#include <unordered_map>

#include "framework/current_message.h"

namespace fw {

namespace {

// Windows of this thread's objects. The program has one user-interface
// thread, so one map serves.
std::unordered_map<HWND, CWnd*>& WindowMap() {
  static std::unordered_map<HWND, CWnd*> map;
  return map;
}

thread_local CWnd* creatingWindow = nullptr;
thread_local HHOOK creationHook = nullptr;

bool IsImeWindow(const CREATESTRUCTA* cs) {
  return !IS_INTRESOURCE(cs->lpszClass) && lstrcmpiA(cs->lpszClass, "IME") == 0;
}

}  // namespace

LRESULT CALLBACK StandardWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  CWnd* object = CWnd::FromHandle(window);
  if (object == nullptr) {
    return DefWindowProcA(window, message, wParam, lParam);
  }
  LRESULT result;
  {
    CurrentMessageScope scope(window, message, wParam, lParam);
    result = object->WindowProc(message, wParam, lParam);
  }
  if (message == WM_NCDESTROY) {
    object->Unbind();
    object->PostNcDestroy();
  }
  return result;
}

CWnd::~CWnd() {
  // An object that goes before its window leaves the window to its own
  // procedure rather than to a destroyed object.
  if (m_hWnd != nullptr) {
    Unbind();
  }
}

CWnd* CWnd::FromHandle(HWND window) {
  auto found = WindowMap().find(window);
  return found == WindowMap().end() ? nullptr : found->second;
}

void CWnd::Attach(HWND window) {
  m_hWnd = window;
  WindowMap()[window] = this;
  superProc_ = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(StandardWindowProc)));
}

void CWnd::Unbind() {
  if (m_hWnd == nullptr) {
    return;
  }
  if (superProc_ != nullptr &&
      GetWindowLongPtrA(m_hWnd, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(StandardWindowProc)) {
    SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(superProc_));
  }
  WindowMap().erase(m_hWnd);
  m_hWnd = nullptr;
}

// Windows created through CreateEx or a dialog function are bound from a CBT
// hook, before their first message, whatever procedure their class has.
void CWnd::BeginCreation(CWnd* window) {
  creatingWindow = window;
  creationHook = SetWindowsHookExA(WH_CBT, CreationHook, nullptr, GetCurrentThreadId());
}

void CWnd::EndCreation() {
  creatingWindow = nullptr;
  if (creationHook != nullptr) {
    UnhookWindowsHookEx(creationHook);
    creationHook = nullptr;
  }
}

LRESULT CALLBACK CWnd::CreationHook(int code, WPARAM wParam, LPARAM lParam) {
  HHOOK hook = creationHook;
  if (code == HCBT_CREATEWND && creatingWindow != nullptr) {
    const CREATESTRUCTA* cs = reinterpret_cast<CBT_CREATEWNDA*>(lParam)->lpcs;
    // Only the top-level window being created: not an input-method window,
    // not the controls a dialog creates inside itself.
    if ((cs->style & WS_CHILD) == 0 && !IsImeWindow(cs)) {
      CWnd* window = creatingWindow;
      EndCreation();
      window->Attach(reinterpret_cast<HWND>(wParam));
    }
  }
  return CallNextHookEx(hook, code, wParam, lParam);
}

bool CWnd::CreateEx(DWORD exStyle, const char* className, const char* title, DWORD style,
                    int x, int y, int width, int height, HWND parent, HMENU menu) {
  CREATESTRUCTA cs{};
  cs.dwExStyle = exStyle;
  cs.lpszClass = className;
  cs.lpszName = title;
  cs.style = static_cast<LONG>(style);
  cs.x = x;
  cs.y = y;
  cs.cx = width;
  cs.cy = height;
  cs.hwndParent = parent;
  cs.hMenu = menu;
  cs.hInstance = GetModuleHandleA(nullptr);
  if (!PreCreateWindow(cs)) {
    return false;
  }
  BeginCreation(this);
  HWND window = CreateWindowExA(cs.dwExStyle, cs.lpszClass, cs.lpszName,
                                static_cast<DWORD>(cs.style), cs.x, cs.y, cs.cx, cs.cy,
                                cs.hwndParent, cs.hMenu, cs.hInstance, nullptr);
  EndCreation();
  return window != nullptr;
}

bool CWnd::SubclassWindow(HWND window) {
  if (window == nullptr || m_hWnd != nullptr || FromHandle(window) != nullptr) {
    return false;
  }
  Attach(window);
  PreSubclassWindow();
  return true;
}

bool CWnd::SubclassDlgItem(int id, CWnd* parent) {
  return parent != nullptr && SubclassWindow(GetDlgItem(parent->m_hWnd, id));
}

bool CWnd::DestroyWindow() { return m_hWnd != nullptr && ::DestroyWindow(m_hWnd) != FALSE; }

LRESULT CWnd::Default() {
  const MSG& current = CurrentMessage();
  if (superProc_ == nullptr) {
    return DefWindowProcA(m_hWnd, current.message, current.wParam, current.lParam);
  }
  return CallWindowProcA(superProc_, m_hWnd, current.message, current.wParam, current.lParam);
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      return OnCreate(reinterpret_cast<CREATESTRUCTA*>(lParam));
    case WM_DESTROY:
      OnDestroy();
      return 0;
    case WM_TIMER:
      OnTimer(wParam);
      return 0;
    case WM_COMMAND:
      if (OnCommand(LOWORD(wParam), HIWORD(wParam))) {
        return 0;
      }
      break;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT: {
      CWnd* control = FromHandle(reinterpret_cast<HWND>(lParam));
      if (control != nullptr) {
        if (HBRUSH brush = control->OnCtlColorReflect(reinterpret_cast<HDC>(wParam))) {
          return reinterpret_cast<LRESULT>(brush);
        }
      }
      break;
    }
    default:
      break;
  }
  return Default();
}

bool CWnd::PreTranslateMessage(MSG*) { return false; }
bool CWnd::PreCreateWindow(CREATESTRUCTA&) { return true; }
int CWnd::OnCreate(CREATESTRUCTA*) { return static_cast<int>(Default()); }
void CWnd::OnDestroy() { Default(); }
void CWnd::OnTimer(UINT_PTR) { Default(); }
bool CWnd::OnCommand(UINT, UINT) { return false; }
HBRUSH CWnd::OnCtlColorReflect(HDC) { return nullptr; }

}  // namespace fw
