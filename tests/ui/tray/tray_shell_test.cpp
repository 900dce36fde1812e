// The tray icon against Wine's own notification area, and its pop-up menu on
// the screen. These use the desktop, so they run alone.
#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "resources/resource.h"
#include "shell_recorder.h"
#include "tray_test_frame.h"
#include "ui/tray_notify_icon.h"

namespace {

constexpr UINT kIconId = 129;

std::vector<UINT> ItemIds(HMENU menu) {
  std::vector<UINT> ids;
  const int count = GetMenuItemCount(menu);
  for (int i = 0; i < count && i < 100; ++i) ids.push_back(GetMenuItemID(menu, i));
  return ids;
}

class TrayShellTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterTaskbarCreatedMessage();
    shell.passThrough = true;
    ASSERT_TRUE(frame.Create("tray shell test"));
    frame.tray = &tray;
    for (UINT id : {IDI_DRIVE, IDI_DRIVE_WARNING, IDI_DRIVE_OK, IDI_DRIVE_UNKNOWN}) {
      HICON icon = CTrayNotifyIcon::LoadTrayIcon(id);
      ASSERT_NE(nullptr, icon) << id;
      icons.push_back(icon);
    }
  }
  void TearDown() override {
    tray.RemoveFromTray();
    frame.DestroyWindow();
    for (HICON icon : icons) DestroyIcon(icon);
  }
  // A right click on the icon; the frame closes the menu as soon as it waits
  // for the user. The menu that opened, or nullptr.
  HMENU OpenMenu() {
    frame.closeMenuWhenIdle = true;
    EXPECT_EQ(1, SendMessageA(frame.m_hWnd, WM_TRAYNOTIFY, kIconId, WM_RBUTTONUP));
    return frame.popups.size() == 1 ? frame.popups[0] : nullptr;
  }

  ShellRecorder shell;
  TrayTestFrame frame;
  CTrayNotifyIcon tray;
  std::vector<HICON> icons;  // drive, warning, ok, unknown
};

TEST_F(TrayShellTest, IconIsAddedChangedReAddedAndRemoved) {
  ASSERT_TRUE(tray.AddToTray(&frame, kIconId, "Brimlet", icons[3], WM_TRAYNOTIFY, 0));
  EXPECT_TRUE(tray.ChangeTooltip("Disk space used :  80% on H:\\ - 20.00 Mb free."));
  EXPECT_TRUE(tray.ChangeIcon(icons[2]));
  ASSERT_TRUE(tray.AnimateIcons(icons.data(), 2, 600000));
  SendMessageA(frame.m_hWnd, WM_TIMER, kIconId, 0);
  SendMessageA(frame.m_hWnd, TaskbarCreatedMessage(), 0, 0);
  SendMessageA(frame.m_hWnd, WM_TIMER, kIconId, 0);
  tray.RemoveFromTray();
  for (const ShellCall& call : shell.calls) {
    EXPECT_TRUE(call.answer) << "action " << call.action << " flags " << call.flags;
  }
  ASSERT_GE(shell.calls.size(), 8u);
  EXPECT_EQ(static_cast<DWORD>(NIM_DELETE), shell.calls.back().action);

  // The shell knows an icon by its window and id: this one is gone.
  NOTIFYICONDATAA record{};
  record.cbSize = CTrayNotifyIcon::kShortRecordSize;
  record.hWnd = frame.m_hWnd;
  record.uID = kIconId;
  EXPECT_FALSE(Shell_NotifyIconA(NIM_DELETE, &record));
}

TEST_F(TrayShellTest, MenuOfTheIconIdWithTheDetailsCommandAsDefault) {
  ASSERT_TRUE(tray.AddToTray(&frame, kIconId, "Brimlet", icons[3], WM_TRAYNOTIFY, 0));
  HMENU popup = OpenMenu();
  ASSERT_NE(nullptr, popup);
  EXPECT_EQ(0u, GetMenuDefaultItem(popup, TRUE, 0));
  EXPECT_EQ(static_cast<UINT>(ID_QUOTA_DETAILS), GetMenuItemID(popup, 0));
}

TEST_F(TrayShellTest, RightClickOpensTheMenuOwnedByTheFrameThenPostsAnEmptyMessage) {
  ASSERT_TRUE(tray.AddToTray(&frame, kIconId, "Brimlet", icons[3], WM_TRAYNOTIFY, 0));
  HMENU popup = OpenMenu();
  ASSERT_NE(nullptr, popup);
  // The first sub-menu of the icon's menu resource, kept by the icon after
  // it closed.
  HMENU resource = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(kIconId));
  ASSERT_NE(nullptr, resource);
  EXPECT_EQ(ItemIds(GetSubMenu(resource, 0)), ItemIds(popup));
  DestroyMenu(resource);
  EXPECT_TRUE(IsMenu(popup));
  int before = frame.emptyMessages;
  MSG message;
  for (int i = 0; i < 100 && PeekMessageA(&message, frame.m_hWnd, 0, 0, PM_REMOVE); ++i) {
    DispatchMessageA(&message);
  }
  EXPECT_EQ(before + 1, frame.emptyMessages);
  EXPECT_TRUE(frame.commands.empty());  // closed without a choice
}

}  // namespace
