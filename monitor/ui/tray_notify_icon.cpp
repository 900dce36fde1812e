#include "ui/tray_notify_icon.h"

#include <cstddef>
#include <cstring>

#include "core/fixed_text.h"
#include "framework/resource_language.h"
#include "ui/shell_notify.h"

static_assert(offsetof(NOTIFYICONDATAA, szTip) + CTrayNotifyIcon::kShortTooltipSize ==
                  CTrayNotifyIcon::kShortRecordSize,
              "the short record ends with a 64-byte tooltip");
static_assert(sizeof(NOTIFYICONDATAA::szTip) == CTrayNotifyIcon::kExtendedTooltipSize,
              "the extended record has a 128-byte tooltip");
// The documented sizes of the two forms (NOTIFYICONDATAA_V1_SIZE and _V2_SIZE).
#if defined(_WIN64)
static_assert(CTrayNotifyIcon::kShortRecordSize == 104 &&
                  CTrayNotifyIcon::kShortRecordSize == NOTIFYICONDATAA_V1_SIZE,
              "the short record of 64-bit Windows is 104 bytes");
static_assert(CTrayNotifyIcon::kExtendedRecordSize == 504 &&
                  CTrayNotifyIcon::kExtendedRecordSize == NOTIFYICONDATAA_V2_SIZE,
              "the extended record of 64-bit Windows is 504 bytes");
#else
static_assert(CTrayNotifyIcon::kShortRecordSize == 88 &&
                  CTrayNotifyIcon::kShortRecordSize == NOTIFYICONDATAA_V1_SIZE,
              "the short record of 32-bit Windows is 88 bytes");
static_assert(CTrayNotifyIcon::kExtendedRecordSize == 488 &&
                  CTrayNotifyIcon::kExtendedRecordSize == NOTIFYICONDATAA_V2_SIZE,
              "the extended record of 32-bit Windows is 488 bytes");
#endif

namespace {

constexpr UINT kFlagsAll = NIF_MESSAGE | NIF_ICON | NIF_TIP;  // 7
constexpr UINT kMenuFlags = TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON;

}  // namespace

CTrayNotifyIcon::CTrayNotifyIcon() : iconData() {}

CTrayNotifyIcon::~CTrayNotifyIcon() {
  RemoveFromTray();
  if (menu != nullptr) {
    DestroyMenu(menu);
    menu = nullptr;
  }
}

void CTrayNotifyIcon::SetRecordSize(bool extended) {
  iconData.cbSize = extended ? kExtendedRecordSize : kShortRecordSize;
}

// The shell reads only as much of the tooltip as the record form holds, and
// a caller's text may be longer: cut it there, always terminated.
void CTrayNotifyIcon::CopyTooltip(const char* text) {
  size_t capacity =
      iconData.cbSize >= kExtendedRecordSize ? kExtendedTooltipSize : kShortTooltipSize;
  std::memset(iconData.szTip, 0, sizeof(iconData.szTip));
  CopyToBuffer(iconData.szTip, capacity, text != nullptr ? text : "", Overlong::Cut);
}

bool CTrayNotifyIcon::AddToTray(fw::CWnd* notifyWnd, UINT iconId, const char* tooltip, HICON icon,
                                UINT callbackMessage, UINT menuId, bool extended) {
  if (notifyWnd == nullptr || notifyWnd->m_hWnd == nullptr) {
    return false;
  }
  if (menu != nullptr) {
    DestroyMenu(menu);
  }
  menu = fw::LoadResMenu(menuId != 0 ? menuId : iconId);
  if (menu == nullptr) {
    return false;
  }
  HMENU popup = GetSubMenu(menu, 0);
  if (popup == nullptr) {
    return false;
  }
  SetMenuDefaultItem(popup, 0, TRUE);

  HWND frame = GetAncestor(notifyWnd->m_hWnd, GA_ROOT);
  if (frame == nullptr) {
    frame = notifyWnd->m_hWnd;
  }
  if (hook.HookedWindow() != frame) {
    hook.Detach();
    hook.Attach(frame);
  }
  // The timer carries the icon id, which is how the hook tells it from the
  // frame's own timers.
  hook.SetTimerEventId(iconId);

  notifyWindow = notifyWnd;
  SetRecordSize(extended);
  iconData.hWnd = notifyWnd->m_hWnd;
  iconData.uID = iconId;
  iconData.uFlags = kFlagsAll;
  iconData.uCallbackMessage = callbackMessage;
  iconData.hIcon = icon;
  CopyTooltip(tooltip);
  created = ShellNotify(NIM_ADD, &iconData) != FALSE;
  return created;
}

bool CTrayNotifyIcon::ChangeIcon(HICON icon) {
  if (!created) {
    return false;
  }
  StopAnimation();
  iconData.uFlags = NIF_ICON;
  iconData.hIcon = icon;
  return ShellNotify(NIM_MODIFY, &iconData) != FALSE;
}

bool CTrayNotifyIcon::AnimateIcons(const HICON* icons, int count, UINT intervalMs) {
  if (icons == nullptr || count <= 0 || !ChangeIcon(icons[0])) {
    return false;
  }
  frames.assign(icons, icons + count);
  frameIndex = 0;
  hook.StartTimer(intervalMs);
  return true;
}

void CTrayNotifyIcon::NextFrame() {
  // A stray tick after the blink stopped has nothing to show.
  if (frames.empty()) {
    return;
  }
  frameIndex = (frameIndex + 1) % frames.size();
  iconData.uFlags = NIF_ICON;
  iconData.hIcon = frames[frameIndex];
  ShellNotify(NIM_MODIFY, &iconData);
}

void CTrayNotifyIcon::StopAnimation() {
  hook.StopTimer();
  frames.clear();
  frameIndex = 0;
}

bool CTrayNotifyIcon::ChangeTooltip(const char* text, bool extended) {
  if (!created) {
    return false;
  }
  SetRecordSize(extended);
  iconData.uFlags = NIF_TIP;
  CopyTooltip(text);
  return ShellNotify(NIM_MODIFY, &iconData) != FALSE;
}

void CTrayNotifyIcon::HideIcon() {
  if (hidden) {
    return;
  }
  iconData.uFlags = NIF_ICON;
  ShellNotify(NIM_DELETE, &iconData);
  hidden = true;
}

void CTrayNotifyIcon::ShowIcon() {
  if (!hidden) {
    return;
  }
  iconData.uFlags = kFlagsAll;
  ShellNotify(NIM_ADD, &iconData);
  hidden = false;
}

// A new taskbar knows nothing of the icon: drop the stale entry and add the
// record as it stands, with the current picture and tooltip. A blink goes on
// with the timer it has.
void CTrayNotifyIcon::OnTaskbarCreated() {
  if (!hidden) {
    HideIcon();
    ShowIcon();
  }
}

void CTrayNotifyIcon::RemoveFromTray() {
  if (!created) {
    return;
  }
  iconData.uFlags = 0;
  ShellNotify(NIM_DELETE, &iconData);
  StopAnimation();
  created = false;
}

LRESULT CTrayNotifyIcon::HandleNotification(WPARAM wParam, LPARAM lParam) {
  if (static_cast<UINT>(wParam) != iconData.uID) {
    return 0;
  }
  if (lParam == NIN_BALLOONTIMEOUT || lParam == NIN_BALLOONHIDE ||
      lParam == NIN_BALLOONUSERCLICK) {
    balloonShown = false;  // the shell took it off itself
  }
  HMENU popup = menu != nullptr ? GetSubMenu(menu, 0) : nullptr;
  HWND owner = notifyWindow != nullptr ? notifyWindow->m_hWnd : nullptr;
  if (popup == nullptr || owner == nullptr) {
    return 1;
  }
  switch (static_cast<UINT>(lParam)) {
    case WM_RBUTTONUP: {
      POINT cursor{};
      GetCursorPos(&cursor);
      // Without the foreground the menu would not close when the user
      // clicks elsewhere; the empty message afterwards lets it close
      // properly on the next click.
      SetForegroundWindow(owner);
      TrackPopupMenu(popup, kMenuFlags, cursor.x, cursor.y, 0, owner, nullptr);
      PostMessageA(owner, WM_NULL, 0, 0);
      break;
    }
    case NIN_BALLOONUSERCLICK:  // a click on the icon's notification
    case WM_LBUTTONDBLCLK: {
      SetForegroundWindow(owner);
      UINT command = GetMenuItemID(popup, 0);
      if (command != static_cast<UINT>(-1)) {  // -1: the first item is a sub-menu
        SendMessageA(owner, WM_COMMAND, MAKEWPARAM(command, 0), 0);
      }
      break;
    }
    default:
      break;
  }
  return 1;
}

HICON CTrayNotifyIcon::LoadTrayIcon(UINT id) {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  // The notification area shows small icons: 16 pixels at 100 % scaling, 24
  // at 150 %. The program is system-DPI-aware, so the metric is the one the
  // shell uses and the icon holds an image drawn for that size.
  const int width = GetSystemMetrics(SM_CXSMICON);
  const int height = GetSystemMetrics(SM_CYSMICON);
  auto icon = static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(id), IMAGE_ICON,
                                            width > 0 ? width : 16, height > 0 ? height : 16,
                                            LR_DEFAULTCOLOR));
  if (icon == nullptr) {
    icon = static_cast<HICON>(
        LoadImageA(instance, MAKEINTRESOURCEA(id), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE));
  }
  return icon;
}
