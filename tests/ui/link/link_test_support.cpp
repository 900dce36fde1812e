#include "link_test_support.h"

#include <commctrl.h>

#include "framework/win_app.h"
#include "link_test_ids.h"
#include "ui/desktop_doors.h"
#include "ui/link_label.h"
#include "window_search.h"

namespace {

FakeShell* activeFake = nullptr;

HINSTANCE WINAPI FakeShellOpen(HWND, LPCSTR verb, LPCSTR file, LPCSTR parameters, LPCSTR directory,
                               INT show) {
  FakeShell& fake = *activeFake;
  fake.opens.push_back(ShellOpenCall{verb != nullptr ? verb : "", file != nullptr ? file : "",
                                     parameters != nullptr, directory != nullptr, show});
  size_t turn = fake.opens.size() - 1;
  UINT result =
      fake.shellResults[turn < fake.shellResults.size() ? turn : fake.shellResults.size() - 1];
  return reinterpret_cast<HINSTANCE>(static_cast<UINT_PTR>(result));
}

int WINAPI FakeMessageBox(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
  activeFake->boxes.push_back(MessageBoxCall{owner, text, caption, type});
  return IDOK;
}

}  // namespace

FakeShell::FakeShell() {
  activeFake = this;
  SetShellOpen(FakeShellOpen);
  SetMessageBox(FakeMessageBox);
}

FakeShell::~FakeShell() {
  SetShellOpen(nullptr);
  SetMessageBox(nullptr);
  activeFake = nullptr;
}

LinkTestDialog::LinkTestDialog() : fw::CDialog(IDD_LINK_TEST) {}

HtmAssociation::HtmAssociation(const char* fileType) {
  HKEY key;
  if (RegOpenKeyExA(HKEY_CLASSES_ROOT, ".htm", 0, KEY_QUERY_VALUE, &key) == ERROR_SUCCESS) {
    keyExisted_ = true;
    char value[MAX_PATH] = {};
    DWORD size = sizeof value - 1;
    if (RegQueryValueExA(key, nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(value), &size) ==
        ERROR_SUCCESS) {
      valueExisted_ = true;
      previous_ = value;
    }
    RegCloseKey(key);
  }
  RegSetValueA(HKEY_CLASSES_ROOT, ".htm", REG_SZ, fileType, lstrlenA(fileType));
}

HtmAssociation::~HtmAssociation() {
  if (!keyExisted_) {
    RegDeleteKeyA(HKEY_CLASSES_ROOT, ".htm");
  } else if (valueExisted_) {
    RegSetValueA(HKEY_CLASSES_ROOT, ".htm", REG_SZ, previous_.c_str(),
                 static_cast<DWORD>(previous_.size()));
  } else {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, ".htm", 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
      RegDeleteValueA(key, nullptr);
      RegCloseKey(key);
    }
  }
}

PageType::PageType(const char* name, const char* openCommand) : name_(name) {
  std::string commandKey = name_ + "\\shell\\open\\command";
  if (openCommand != nullptr) {
    RegSetValueA(HKEY_CLASSES_ROOT, commandKey.c_str(), REG_SZ, openCommand, lstrlenA(openCommand));
  } else {
    HKEY key;
    if (RegCreateKeyA(HKEY_CLASSES_ROOT, commandKey.c_str(), &key) == ERROR_SUCCESS) {
      RegCloseKey(key);
    }
  }
}

PageType::PageType(const char* name) : name_(name) {
  HKEY key;
  if (RegCreateKeyA(HKEY_CLASSES_ROOT, (name_ + "\\shell\\open").c_str(), &key) == ERROR_SUCCESS) {
    RegCloseKey(key);
  }
}

PageType::~PageType() {
  for (const char* tail : {"\\shell\\open\\command", "\\shell\\open", "\\shell", ""}) {
    RegDeleteKeyA(HKEY_CLASSES_ROOT, (name_ + tail).c_str());
  }
}

RECT RectInDialog(HWND control) {
  RECT rect;
  GetWindowRect(control, &rect);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

SIZE MeasureWithDefaultFont(HWND control, const std::string& text) {
  SIZE extent{};
  HDC dc = GetDC(control);
  GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &extent);
  ReleaseDC(control, dc);
  return extent;
}

std::string ControlText(HWND control) {
  char text[256] = {};
  GetWindowTextA(control, text, sizeof text);
  return text;
}

std::string TooltipText(HWND tooltip, HWND link) {
  char text[1024] = {};
  TOOLINFOA tool{};
  tool.cbSize = TTTOOLINFOA_V2_SIZE;
  tool.hwnd = link;
  tool.uId = CLinkLabel::kToolId;
  tool.lpszText = text;
  SendMessageA(tooltip, TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&tool));
  return text;
}

namespace {

bool IsTooltipOf(HWND window, HWND link) {
  if (lstrcmpiA(ClassOf(window).c_str(), TOOLTIPS_CLASSA) != 0) {
    return false;
  }
  int count = static_cast<int>(SendMessageA(window, TTM_GETTOOLCOUNT, 0, 0));
  for (int index = 0; index < count; ++index) {
    TOOLINFOA tool{};
    tool.cbSize = TTTOOLINFOA_V2_SIZE;
    if (SendMessageA(window, TTM_ENUMTOOLSA, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(&tool)) &&
        tool.hwnd == link) {
      return true;
    }
  }
  return false;
}

}  // namespace

HWND LinkTooltip(HWND link) {
  return FindThreadWindowWhere([link](HWND window) { return IsTooltipOf(window, link); });
}

COLORREF PaintedTextColour(HWND link) {
  HDC dc = CreateCompatibleDC(nullptr);
  SendMessageA(GetParent(link), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
               reinterpret_cast<LPARAM>(link));
  COLORREF colour = GetTextColor(dc);
  DeleteDC(dc);
  return colour;
}

std::string ClickedAddress(HWND link, FakeShell& shell) {
  shell.shellResults = {42};
  size_t before = shell.opens.size();
  SendMessageA(link, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(1, 1));
  SendMessageA(link, WM_LBUTTONUP, 0, MAKELPARAM(1, 1));
  return shell.opens.size() > before ? shell.opens.back().file : std::string();
}

void PumpMessages() {
  PostQuitMessage(0);
  fw::App()->Run();
}
