#include "ui/link_label.h"

#include <commctrl.h>

#include "core/open_error_text.h"
#include "framework/resource_language.h"
#include "resources/resource.h"
#include "ui/browser_open.h"
#include "ui/desktop_doors.h"

namespace {

std::string WindowText(HWND window) {
  int length = GetWindowTextLengthA(window);
  if (length <= 0) {
    return std::string();
  }
  std::string text(static_cast<size_t>(length) + 1, '\0');
  int copied = GetWindowTextA(window, &text[0], length + 1);
  text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
  return text;
}

// Window rectangle of `window` in its parent's client co-ordinates, or in
// screen co-ordinates for a window without a parent.
RECT RectInParent(HWND window) {
  RECT rect;
  GetWindowRect(window, &rect);
  if (HWND parent = GetParent(window)) {
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
  }
  return rect;
}

TOOLINFOA LinkTool(HWND window, const std::string& text) {
  TOOLINFOA tool{};
  // The size every common-controls version since 4.70 accepts: the program's
  // manifest asks for no Common Controls 6, so it gets version 5 controls,
  // which refuse the larger record of newer headers.
  tool.cbSize = TTTOOLINFOA_V2_SIZE;
  tool.hwnd = window;
  tool.uId = CLinkLabel::kToolId;
  GetClientRect(window, &tool.rect);
  tool.lpszText = const_cast<char*>(text.c_str());
  return tool;
}

}  // namespace

CLinkLabel::CLinkLabel() = default;

CLinkLabel::~CLinkLabel() { ReleaseResources(); }

void CLinkLabel::PreSubclassWindow() { PrepareLabel(); }

void CLinkLabel::PrepareLabel() {
  // Without the notify style a static lets the mouse through to its parent:
  // the link would see neither clicks nor the cursor request.
  SetWindowLongPtrA(m_hWnd, GWL_STYLE, GetWindowLongPtrA(m_hWnd, GWL_STYLE) | SS_NOTIFY);
  std::string text = WindowText(m_hWnd);
  if (url.empty()) {
    url = text;
  }
  if (text.empty()) {
    SetWindowTextA(m_hWnd, url.c_str());
  }
  FitToText();
  handCursor = LoadCursorA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDC_HAND_LINK));
  CreateTooltip();
}

void CLinkLabel::CreateTooltip() {
  INITCOMMONCONTROLSEX classes{sizeof classes, ICC_WIN95_CLASSES};
  InitCommonControlsEx(&classes);
  tooltip = CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                            CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_hWnd,
                            nullptr, GetModuleHandleA(nullptr), nullptr);
  if (tooltip == nullptr) {
    return;
  }
  TOOLINFOA tool = LinkTool(m_hWnd, url);
  SendMessageA(tooltip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

void CLinkLabel::SetUrl(const char* newUrl) {
  url = newUrl != nullptr ? newUrl : "";
  FitToText();
  if (tooltip != nullptr) {
    TOOLINFOA tool = LinkTool(m_hWnd, url);
    SendMessageA(tooltip, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
  }
}

void CLinkLabel::SetUnderline(bool on) {
  underline = on;
  Repaint();
}

void CLinkLabel::FitToText() {
  if (!fitToText || m_hWnd == nullptr) {
    return;
  }
  RECT rect = RectInParent(m_hWnd);
  // Measured with the device context as it comes, in its default font: the
  // link has always been sized that way, and its dialogs are laid out for it.
  std::string text = WindowText(m_hWnd);
  SIZE extent{};
  HDC dc = GetDC(m_hWnd);
  GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &extent);
  ReleaseDC(m_hWnd, dc);

  LONG style = static_cast<LONG>(GetWindowLongPtrA(m_hWnd, GWL_STYLE));
  if (style & SS_CENTERIMAGE) {
    int half = ((rect.bottom - rect.top) - extent.cy) / 2;
    rect.top += half;
    rect.bottom -= half;
  } else {
    rect.bottom = rect.top + extent.cy;
  }
  // The alignment is a value of the type field, not a set of bits: SS_SIMPLE
  // shares its bits with SS_CENTER and SS_RIGHT.
  switch (style & SS_TYPEMASK) {
    case SS_CENTER: {
      int half = ((rect.right - rect.left) - extent.cx) / 2;
      rect.left += half;
      rect.right -= half;
      break;
    }
    case SS_RIGHT:
      rect.left = rect.right - extent.cx;
      break;
    default:
      rect.right = rect.left + extent.cx;
      break;
  }
  SetWindowPos(m_hWnd, nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
               SWP_NOZORDER | SWP_NOACTIVATE);
  // Keep the tooltip's tool over the whole link when its size changes.
  if (tooltip != nullptr) {
    TOOLINFOA tool = LinkTool(m_hWnd, url);
    SendMessageA(tooltip, TTM_NEWTOOLRECTA, 0, reinterpret_cast<LPARAM>(&tool));
  }
}

HFONT CLinkLabel::UnderlineFont() {
  if (underlineFont == nullptr) {
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(m_hWnd, WM_GETFONT, 0, 0));
    if (font == nullptr) {
      font = static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
    }
    LOGFONTA description;
    if (GetObjectA(font, sizeof description, &description) == 0) {
      return nullptr;
    }
    description.lfUnderline = TRUE;
    underlineFont = CreateFontIndirectA(&description);
  }
  return underlineFont;
}

HBRUSH CLinkLabel::OnCtlColorReflect(HDC dc) {
  SetTextColor(dc, visited ? visitedColour : linkColour);
  if (underline) {
    if (HFONT font = UnderlineFont()) {
      SelectObject(dc, font);
    }
  }
  // Transparent text on a hollow brush: the dialog's own background shows.
  SetBkMode(dc, TRANSPARENT);
  return static_cast<HBRUSH>(GetStockObject(HOLLOW_BRUSH));
}

LRESULT CLinkLabel::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SETCURSOR:
      if (handCursor != nullptr) {
        SetCursor(handCursor);
        return TRUE;
      }
      break;
    // A click is a press and a release both on the link, caught here rather
    // than from the STN_CLICKED the static sends its dialog on the press: the
    // dialog's commands belong to the dialog, and a press that is dragged
    // off the link before the release opens nothing.
    // The second press of a double click (WM_LBUTTONDBLCLK) is no new click:
    // one double click opens the address once.
    case WM_LBUTTONDOWN: {
      LRESULT result = Default();
      pressed = true;
      SetCapture(m_hWnd);
      return result;
    }
    case WM_LBUTTONUP: {
      LRESULT result = Default();
      if (pressed) {
        pressed = false;
        if (GetCapture() == m_hWnd) {
          ReleaseCapture();
        }
        POINT point{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        RECT client;
        GetClientRect(m_hWnd, &client);
        if (PtInRect(&client, point)) {
          OnClicked();
        }
      }
      return result;
    }
    case WM_CAPTURECHANGED:
      pressed = false;
      break;
    default:
      break;
  }
  return fw::CWnd::WindowProc(message, wParam, lParam);
}

bool CLinkLabel::PreTranslateMessage(MSG* message) {
  if (tooltip != nullptr && message->hwnd == m_hWnd) {
    SendMessageA(tooltip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(message));
  }
  return false;  // the link handles the message as usual afterwards
}

void CLinkLabel::OnClicked() {
  UINT result = OpenInBrowser(url.c_str(), SW_SHOWNORMAL);
  visited = result > 32;
  if (visited) {
    Repaint();
  } else {
    ReportOpenError(result);
  }
}

void CLinkLabel::Repaint() {
  if (m_hWnd == nullptr) {
    return;
  }
  // The link is transparent: its background is the dialog's, so the dialog
  // repaints the area below it before the link draws its text again.
  if (HWND parent = GetParent(m_hWnd)) {
    RECT area = RectInParent(m_hWnd);
    RedrawWindow(parent, &area, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
  } else {
    InvalidateRect(m_hWnd, nullptr, TRUE);
  }
}

void CLinkLabel::ReportOpenError(UINT code) {
  std::string text = OpenErrorMessage(code);
  std::string title = fw::LoadResString(IDS_PROGRAM_TITLE);
  HWND owner = m_hWnd != nullptr ? GetParent(m_hWnd) : nullptr;
  ShowMessageBox(owner, text.c_str(), title.c_str(), MB_OK | MB_ICONEXCLAMATION);
}

void CLinkLabel::OnDestroy() {
  ReleaseResources();
  fw::CWnd::OnDestroy();
}

void CLinkLabel::ReleaseResources() {
  if (tooltip != nullptr) {
    // The tooltip's owner is the dialog, which may have destroyed it first.
    if (IsWindow(tooltip)) {
      ::DestroyWindow(tooltip);
    }
    tooltip = nullptr;
  }
  if (underlineFont != nullptr) {
    DeleteObject(underlineFont);
    underlineFont = nullptr;
  }
  pressed = false;
}
