// The program's one icon in the taskbar notification area: added with a
// tooltip and a callback message, changed to one picture or a blinking list,
// re-added when the shell's taskbar is re-created, and turned from mouse
// messages into the pop-up menu and its default command.
#pragma once

#include <windows.h>

#include <shellapi.h>

#include <vector>

#include "framework/wnd.h"
#include "ui/tray_hook.h"

// The callback message the icon sends to its notification window.
constexpr UINT WM_TRAYNOTIFY = WM_USER + 100;

class CTrayNotifyIcon : public CTrayHook::Listener {
 public:
  // The first, shortest record form (tooltip of 64 bytes) and the extended
  // one (tooltip of 128 bytes, up to the item's GUID). The window and icon
  // handles in them take the pointer width, so the sizes differ by platform.
#if defined(_WIN64)
  static constexpr DWORD kShortRecordSize = 104;
  static constexpr DWORD kExtendedRecordSize = 504;
#else
  static constexpr DWORD kShortRecordSize = 88;
  static constexpr DWORD kExtendedRecordSize = 488;
#endif
  static constexpr size_t kShortTooltipSize = 64;
  static constexpr size_t kExtendedTooltipSize = 128;

  CTrayNotifyIcon();
  // Removes the icon, then frees the menu, then the hook stops any blink.
  virtual ~CTrayNotifyIcon();
  CTrayNotifyIcon(const CTrayNotifyIcon&) = delete;
  CTrayNotifyIcon& operator=(const CTrayNotifyIcon&) = delete;

  // Loads menu `menuId` (the icon id when 0), hooks the notification
  // window's top-level frame and adds the icon. False when the menu or its
  // first sub-menu is missing (nothing reaches the shell) or the shell
  // refuses the add.
  bool AddToTray(fw::CWnd* notifyWindow, UINT iconId, const char* tooltip, HICON icon,
                 UINT callbackMessage, UINT menuId, bool extended = false);

  // The modify operations answer false, and change nothing, until an add
  // has succeeded.
  bool ChangeIcon(HICON icon);  // also ends any blink
  // Shows icons[0] at once, then the next one every `intervalMs`; each call
  // starts again from the first.
  bool AnimateIcons(const HICON* icons, int count, UINT intervalMs);
  bool ChangeTooltip(const char* text, bool extended = false);
  // A notification from the icon (tray_balloon.cpp): `icon` is NIIF_WARNING
  // or NIIF_ERROR; title and text are cut to what the extended record holds.
  bool ShowBalloon(const char* title, const char* text, DWORD icon);
  // Takes a notification that is still shown off the screen (the shell's
  // way: a modify with NIF_INFO and an empty text); sends nothing when none
  // is, or when the shell said it is gone (timed out, closed or clicked).
  bool WithdrawBalloon();

  void NextFrame() override;  // one blink step
  void StopAnimation();       // the icon keeps the frame it shows

  // Delete the icon from the area and add it again from the kept record.
  void HideIcon();
  void ShowIcon();
  void OnTaskbarCreated() override;
  // The final deletion; the destructor runs it.
  void RemoveFromTray();

  // The notification window's handler of the callback message passes both
  // parameters here and answers the result: 1 for a mouse message of this
  // icon, 0 for another icon.
  virtual LRESULT HandleNotification(WPARAM wParam, LPARAM lParam);

  // Icon resource `id` at the shell's small icon size (16 x 16 at 100 %
  // scaling), else at the standard icon size; nullptr when it does not exist.
  static HICON LoadTrayIcon(UINT id);

  UINT IconId() const { return iconData.uID; }

 private:
  void SetRecordSize(bool extended);
  void CopyTooltip(const char* text);

  NOTIFYICONDATAA iconData;
  bool created = false;
  bool hidden = false;
  bool balloonShown = false;
  fw::CWnd* notifyWindow = nullptr;
  CTrayHook hook{this};
  // The blink's pictures (the handles stay the caller's) and the one shown.
  std::vector<HICON> frames;
  size_t frameIndex = 0;
  HMENU menu = nullptr;
};
