// The tray icon's notification: the balloon fields of the extended record,
// sent with one modify and cleared again afterwards; withdrawn the same way
// with an empty text.
#include <cstring>

#include "core/fixed_text.h"
#include "ui/shell_notify.h"
#include "ui/tray_notify_icon.h"

namespace {

// Windows 7 and later drop the notification while the user is in quiet time
// (the first hour after a user's first logon or after an upgrade).
constexpr DWORD kRespectQuietTime = 0x80;  // NIIF_RESPECT_QUIET_TIME
// Only shells before Vista read the timeout; later ones use the user's setting.
constexpr UINT kBalloonTimeoutMs = 10000;

}  // namespace

// The balloon asks the shell for nothing but its own display: no
// SetForegroundWindow here, so the notification never takes the focus.
bool CTrayNotifyIcon::ShowBalloon(const char* title, const char* text, DWORD icon) {
  if (!created) {
    return false;
  }
  const DWORD size = iconData.cbSize;
  iconData.cbSize = kExtendedRecordSize;  // the short form has no balloon fields
  iconData.uFlags = NIF_INFO;
  CopyToBuffer(iconData.szInfoTitle, title != nullptr ? title : "", Overlong::Cut);
  CopyToBuffer(iconData.szInfo, text != nullptr ? text : "", Overlong::Cut);
  iconData.uTimeout = kBalloonTimeoutMs;
  iconData.dwInfoFlags = icon | kRespectQuietTime;
  bool shown = ShellNotify(NIM_MODIFY, &iconData) != FALSE;
  if (!shown) {
    // A shell older than the quiet-time flag may refuse the record for it.
    iconData.dwInfoFlags = icon;
    shown = ShellNotify(NIM_MODIFY, &iconData) != FALSE;
  }
  // The kept record is what a re-added icon carries: without the balloon.
  std::memset(iconData.szInfoTitle, 0, sizeof iconData.szInfoTitle);
  std::memset(iconData.szInfo, 0, sizeof iconData.szInfo);
  iconData.dwInfoFlags = 0;
  iconData.uTimeout = 0;
  iconData.cbSize = size;
  balloonShown = shown;
  return shown;
}

bool CTrayNotifyIcon::WithdrawBalloon() {
  if (!created || !balloonShown) {
    return false;
  }
  const DWORD size = iconData.cbSize;
  iconData.cbSize = kExtendedRecordSize;
  iconData.uFlags = NIF_INFO;  // szInfo is empty in the kept record
  const bool withdrawn = ShellNotify(NIM_MODIFY, &iconData) != FALSE;
  iconData.cbSize = size;
  balloonShown = false;
  return withdrawn;
}
