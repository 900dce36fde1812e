// The tray icon against a recording shell: what reaches the notification
// area, in which order, and what reaches the frame.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>

#include "resources/resource.h"
#include "shell_recorder.h"
#include "tray_test_frame.h"
#include "tray_test_ids.h"
#include "ui/tray_notify_icon.h"

namespace {

constexpr UINT kIconId = 129;
// The record sizes Windows documents for the short and the extended form:
// the handles in them take the pointer width.
#if defined(_WIN64)
constexpr DWORD kShortRecord = 104;
constexpr DWORD kExtendedRecord = 504;
#else
constexpr DWORD kShortRecord = 88;
constexpr DWORD kExtendedRecord = 488;
#endif
constexpr UINT kLongInterval = 600000;  // ticks come by hand only

class TrayIconTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterTaskbarCreatedMessage();
    ASSERT_TRUE(frame.Create("tray test"));
    frame.tray = tray.get();
  }
  void TearDown() override { frame.DestroyWindow(); }

  bool Add(bool extended = false) {
    return tray->AddToTray(&frame, kIconId, "Brimlet", FakeIcon(139), WM_TRAYNOTIFY, 0, extended);
  }
  void Tick() { SendMessageA(frame.m_hWnd, WM_TIMER, kIconId, 0); }
  bool AnimationTimerRuns() {
    // KillTimer answers whether the timer existed; start it again if it did.
    if (!KillTimer(frame.m_hWnd, kIconId)) return false;
    SetTimer(frame.m_hWnd, kIconId, kLongInterval, nullptr);
    return true;
  }
  // A blink as far as the frame and the shell can tell: its timer runs, or a
  // blink step still has a frame to send.
  bool Blinking() {
    if (AnimationTimerRuns()) return true;
    size_t before = shell.calls.size();
    tray->NextFrame();
    return shell.calls.size() != before;
  }
  // Whether the icon counts itself in the notification area: only then does
  // a removal reach the shell. The icon is removed afterwards.
  bool RemovalReachesTheShell() {
    size_t before = shell.calls.size();
    tray->RemoveFromTray();
    return shell.calls.size() == before + 1 && shell.calls.back().action == NIM_DELETE;
  }
  // Whether the icon counts itself hidden: only then does a show add it to
  // the area again. The icon is shown afterwards.
  bool ShowReachesTheShell() {
    size_t before = shell.calls.size();
    tray->ShowIcon();
    return shell.calls.size() == before + 1 && shell.calls.back().action == NIM_ADD;
  }

  ShellRecorder shell;
  TrayTestFrame frame;
  std::unique_ptr<CTrayNotifyIcon> tray = std::make_unique<CTrayNotifyIcon>();
};

TEST_F(TrayIconTest, AddSendsTheWholeShortRecordOnce) {
  ASSERT_TRUE(Add());
  ASSERT_EQ(1u, shell.calls.size());
  const ShellCall& add = shell.calls[0];
  EXPECT_EQ(static_cast<DWORD>(NIM_ADD), add.action);
  EXPECT_EQ(kShortRecord, add.size);
  EXPECT_EQ(7u, add.flags);
  EXPECT_EQ(FakeIcon(139), add.icon);
  EXPECT_EQ("Brimlet", add.tooltip);
  EXPECT_EQ(1124u, add.callbackMessage);
  EXPECT_EQ(kIconId, add.id);
  EXPECT_EQ(frame.m_hWnd, add.window);
  EXPECT_TRUE(RemovalReachesTheShell());
}

TEST_F(TrayIconTest, ExtendedAddUsesTheFullRecord) {
  ASSERT_TRUE(Add(true));
  EXPECT_EQ(kExtendedRecord, shell.calls.at(0).size);
}

struct RefusedAdd {
  const char* name;
  bool tried;  // false: no add at all
  UINT menuId;
  BOOL shellAnswer;
  size_t shellCalls;
};

class TrayRefusedAddTest : public TrayIconTest, public ::testing::WithParamInterface<RefusedAdd> {};

TEST_P(TrayRefusedAddTest, AnswersFalseAndLaterModifiesSendNothing) {
  shell.answer = GetParam().shellAnswer;
  if (GetParam().tried) {
    EXPECT_FALSE(tray->AddToTray(&frame, kIconId, "Brimlet", FakeIcon(139), WM_TRAYNOTIFY,
                                 GetParam().menuId));
  }
  EXPECT_EQ(GetParam().shellCalls, shell.calls.size());
  shell.calls.clear();
  HICON pair[] = {FakeIcon(137), FakeIcon(136)};
  EXPECT_FALSE(tray->ChangeIcon(FakeIcon(135)));
  EXPECT_FALSE(tray->AnimateIcons(pair, 2, kLongInterval));
  EXPECT_FALSE(tray->ChangeTooltip("text"));
  EXPECT_TRUE(shell.calls.empty());
  EXPECT_FALSE(Blinking());
  EXPECT_FALSE(KillTimer(frame.m_hWnd, kIconId));
  EXPECT_FALSE(RemovalReachesTheShell());
  EXPECT_TRUE(shell.calls.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TrayRefusedAddTest,
    ::testing::Values(RefusedAdd{"NoAddYet", false, 0, TRUE, 0},
                      RefusedAdd{"MenuMissing", true, IDR_MISSING_MENU, TRUE, 0},
                      RefusedAdd{"MenuWithoutSubMenu", true, IDR_FLAT_MENU, TRUE, 0},
                      RefusedAdd{"ShellRefuses", true, 0, FALSE, 1}),
    [](const ::testing::TestParamInfo<RefusedAdd>& info) { return info.param.name; });

struct BlinkPair {
  const char* name;
  int second;
};

class TrayBlinkTest : public TrayIconTest, public ::testing::WithParamInterface<BlinkPair> {};

TEST_P(TrayBlinkTest, PlainDriveFirstThenAlternatingOnEachTick) {
  ASSERT_TRUE(Add());
  HICON pair[] = {FakeIcon(137), FakeIcon(GetParam().second)};
  ASSERT_TRUE(tray->AnimateIcons(pair, 2, kLongInterval));
  EXPECT_TRUE(AnimationTimerRuns());
  for (int i = 0; i < 3; ++i) Tick();
  std::vector<HICON> expected = {pair[0], pair[1], pair[0], pair[1]};
  EXPECT_EQ(expected, shell.ModifiedIcons());
  EXPECT_TRUE(frame.timers.empty());
}

TEST_P(TrayBlinkTest, EachAnimateRestartsFromTheFirstFrame) {
  ASSERT_TRUE(Add());
  HICON pair[] = {FakeIcon(137), FakeIcon(GetParam().second)};
  ASSERT_TRUE(tray->AnimateIcons(pair, 2, kLongInterval));
  Tick();  // now showing the second frame
  ASSERT_TRUE(tray->AnimateIcons(pair, 2, kLongInterval));
  Tick();
  std::vector<HICON> expected = {pair[0], pair[1], pair[0], pair[1]};
  EXPECT_EQ(expected, shell.ModifiedIcons());
}

TEST_P(TrayBlinkTest, ChangeIconStopsTheBlinkAtOnce) {
  ASSERT_TRUE(Add());
  HICON pair[] = {FakeIcon(137), FakeIcon(GetParam().second)};
  ASSERT_TRUE(tray->AnimateIcons(pair, 2, kLongInterval));
  Tick();
  ASSERT_TRUE(tray->ChangeIcon(FakeIcon(135)));
  EXPECT_FALSE(KillTimer(frame.m_hWnd, kIconId));
  size_t before = shell.calls.size();
  Tick();  // a tick already queued when the timer went
  EXPECT_EQ(before, shell.calls.size());
  EXPECT_FALSE(Blinking());
  EXPECT_EQ(static_cast<DWORD>(NIM_MODIFY), shell.calls.back().action);
  EXPECT_EQ(2u, shell.calls.back().flags);  // icon only
  EXPECT_EQ(FakeIcon(135), shell.calls.back().icon);
  EXPECT_TRUE(frame.timers.empty());
}

INSTANTIATE_TEST_SUITE_P(Levels, TrayBlinkTest,
                         ::testing::Values(BlinkPair{"Warning", 136}, BlinkPair{"Danger", 138}),
                         [](const ::testing::TestParamInfo<BlinkPair>& info) {
                           return info.param.name;
                         });

TEST_F(TrayIconTest, AnimateWithoutIconsIsRefused) {
  ASSERT_TRUE(Add());
  HICON one[] = {FakeIcon(137)};
  EXPECT_FALSE(tray->AnimateIcons(nullptr, 2, kLongInterval));
  EXPECT_FALSE(tray->AnimateIcons(one, 0, kLongInterval));
  EXPECT_EQ(1u, shell.calls.size());
  EXPECT_FALSE(Blinking());
}

TEST_F(TrayIconTest, RealTimerTicksBlinkWithoutReachingTheFrame) {
  ASSERT_TRUE(Add());
  HICON pair[] = {FakeIcon(137), FakeIcon(136)};
  ASSERT_TRUE(tray->AnimateIcons(pair, 2, 10));
  SetTimer(frame.m_hWnd, 1, 10, nullptr);  // the poll timer goes through
  DWORD start = GetTickCount();
  MSG message;
  while (GetTickCount() - start < 3000 &&
         (shell.ModifiedIcons().size() < 4 || frame.timers.empty())) {
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    Sleep(5);
  }
  KillTimer(frame.m_hWnd, 1);
  std::vector<HICON> icons = shell.ModifiedIcons();
  ASSERT_GE(icons.size(), 4u);
  for (size_t i = 0; i < icons.size(); ++i) EXPECT_EQ(pair[i % 2], icons[i]) << i;
  ASSERT_FALSE(frame.timers.empty());
  for (UINT_PTR id : frame.timers) EXPECT_EQ(1u, id);
}

TEST_F(TrayIconTest, StrayTickWithoutBlinkIsSwallowed) {
  ASSERT_TRUE(Add());
  Tick();
  EXPECT_EQ(1u, shell.calls.size());
  EXPECT_TRUE(frame.timers.empty());
}

TEST_F(TrayIconTest, TaskbarCreatedReAddsLastIconAndTooltipAndBlinkGoesOn) {
  ASSERT_TRUE(Add());
  ASSERT_TRUE(tray->ChangeTooltip("Disk space used :  80% on H:\\ - 20.00 Mb free."));
  HICON pair[] = {FakeIcon(137), FakeIcon(136)};
  ASSERT_TRUE(tray->AnimateIcons(pair, 2, kLongInterval));
  Tick();
  size_t first = shell.calls.size();
  EXPECT_EQ(0, SendMessageA(frame.m_hWnd, TaskbarCreatedMessage(), 0, 0));
  EXPECT_EQ(0, frame.taskbarCreatedSeen);
  ASSERT_EQ(first + 2, shell.calls.size());
  const ShellCall& del = shell.calls[first];
  const ShellCall& add = shell.calls[first + 1];
  EXPECT_EQ(static_cast<DWORD>(NIM_DELETE), del.action);
  EXPECT_EQ(static_cast<DWORD>(NIM_ADD), add.action);
  EXPECT_EQ(7u, add.flags);
  EXPECT_EQ(kShortRecord, add.size);
  EXPECT_EQ(FakeIcon(136), add.icon);
  EXPECT_EQ("Disk space used :  80% on H:\\ - 20.00 Mb free.", add.tooltip);
  EXPECT_EQ(1124u, add.callbackMessage);
  EXPECT_EQ(kIconId, add.id);
  EXPECT_TRUE(AnimationTimerRuns());
  Tick();
  EXPECT_EQ(FakeIcon(137), shell.calls.back().icon);
  EXPECT_FALSE(ShowReachesTheShell());
}

TEST_F(TrayIconTest, TaskbarCreatedLeavesAHiddenIconHidden) {
  ASSERT_TRUE(Add());
  tray->HideIcon();
  size_t first = shell.calls.size();
  SendMessageA(frame.m_hWnd, TaskbarCreatedMessage(), 0, 0);
  EXPECT_EQ(first, shell.calls.size());
  EXPECT_TRUE(ShowReachesTheShell());
}

TEST_F(TrayIconTest, HideAndShowActOnlyOnAChange) {
  ASSERT_TRUE(Add());
  tray->HideIcon();
  tray->HideIcon();
  tray->ShowIcon();
  tray->ShowIcon();
  ASSERT_EQ(3u, shell.calls.size());
  EXPECT_EQ(static_cast<DWORD>(NIM_DELETE), shell.calls[1].action);
  EXPECT_EQ(2u, shell.calls[1].flags);
  EXPECT_EQ(static_cast<DWORD>(NIM_ADD), shell.calls[2].action);
  EXPECT_EQ(7u, shell.calls[2].flags);
  EXPECT_TRUE(RemovalReachesTheShell());
}

TEST_F(TrayIconTest, RemoveDeletesOnceAndStopsTheBlink) {
  ASSERT_TRUE(Add());
  HICON pair[] = {FakeIcon(137), FakeIcon(138)};
  ASSERT_TRUE(tray->AnimateIcons(pair, 2, kLongInterval));
  tray->RemoveFromTray();
  tray->RemoveFromTray();
  ASSERT_EQ(3u, shell.calls.size());
  EXPECT_EQ(static_cast<DWORD>(NIM_DELETE), shell.calls[2].action);
  EXPECT_EQ(0u, shell.calls[2].flags);
  EXPECT_FALSE(RemovalReachesTheShell());
  EXPECT_FALSE(KillTimer(frame.m_hWnd, kIconId));
  EXPECT_FALSE(tray->ChangeIcon(FakeIcon(135)));
  EXPECT_EQ(3u, shell.calls.size());
}

TEST_F(TrayIconTest, DestroyingTheIconRemovesItAndGivesTheFrameItsTimersBack) {
  ASSERT_TRUE(Add());
  HICON pair[] = {FakeIcon(137), FakeIcon(136)};
  ASSERT_TRUE(tray->AnimateIcons(pair, 2, kLongInterval));
  frame.tray = nullptr;
  tray.reset();
  EXPECT_EQ(static_cast<DWORD>(NIM_DELETE), shell.calls.back().action);
  EXPECT_FALSE(KillTimer(frame.m_hWnd, kIconId));
  Tick();
  EXPECT_EQ(std::vector<UINT_PTR>{kIconId}, frame.timers);
}

TEST_F(TrayIconTest, FrameDestroyedWhileBlinkingThenIconDestroyed) {
  ASSERT_TRUE(Add());
  HICON pair[] = {FakeIcon(137), FakeIcon(136)};
  ASSERT_TRUE(tray->AnimateIcons(pair, 2, kLongInterval));
  frame.DestroyWindow();
  // The hook left the frame before the frame's last message.
  ASSERT_TRUE(frame.ncDestroyed);
  EXPECT_EQ(nullptr, frame.hookAtNcDestroy);
  EXPECT_FALSE(frame.hookProcAtNcDestroy);
  tray->StopAnimation();
  EXPECT_FALSE(Blinking());
  tray.reset();
  EXPECT_EQ(static_cast<DWORD>(NIM_DELETE), shell.calls.back().action);
}

TEST_F(TrayIconTest, CallbackForAnotherIconIsAnsweredWithZero) {
  ASSERT_TRUE(Add());
  EXPECT_EQ(0, SendMessageA(frame.m_hWnd, WM_TRAYNOTIFY, kIconId + 1, WM_LBUTTONDBLCLK));
  EXPECT_TRUE(frame.commands.empty());
}

TEST_F(TrayIconTest, DoubleClickSendsTheDefaultCommandSynchronously) {
  ASSERT_TRUE(Add());
  EXPECT_EQ(1, SendMessageA(frame.m_hWnd, WM_TRAYNOTIFY, kIconId, WM_LBUTTONDBLCLK));
  EXPECT_EQ(std::vector<UINT>{ID_QUOTA_DETAILS}, frame.commands);
}

class TrayIgnoredMouseTest : public TrayIconTest, public ::testing::WithParamInterface<UINT> {};

TEST_P(TrayIgnoredMouseTest, AnsweredWithOneAndIgnored) {
  ASSERT_TRUE(Add());
  EXPECT_EQ(1, SendMessageA(frame.m_hWnd, WM_TRAYNOTIFY, kIconId, GetParam()));
  EXPECT_TRUE(frame.commands.empty());
  EXPECT_TRUE(frame.popups.empty());
  EXPECT_EQ(1u, shell.calls.size());
}

INSTANTIATE_TEST_SUITE_P(Messages, TrayIgnoredMouseTest,
                         ::testing::Values(WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP,
                                           WM_RBUTTONDOWN, WM_RBUTTONDBLCLK, WM_MBUTTONUP,
                                           NIN_BALLOONSHOW, NIN_BALLOONHIDE,
                                           NIN_BALLOONTIMEOUT));

struct TooltipCase {
  const char* name;
  bool extended;
  size_t length;
  size_t kept;
};

class TrayTooltipTest : public TrayIconTest, public ::testing::WithParamInterface<TooltipCase> {};

TEST_P(TrayTooltipTest, KeptWholeOrCutAndTerminatedOnAddAndChange) {
  const TooltipCase& c = GetParam();
  std::string text;
  for (size_t i = 0; i < c.length; ++i) text += static_cast<char>('a' + i % 26);
  size_t record = c.extended ? kExtendedRecord : kShortRecord;
  ASSERT_TRUE(
      tray->AddToTray(&frame, kIconId, text.c_str(), FakeIcon(139), WM_TRAYNOTIFY, 0, c.extended));
  ASSERT_TRUE(tray->ChangeTooltip(text.c_str(), c.extended));
  ASSERT_EQ(2u, shell.calls.size());
  for (const ShellCall& call : shell.calls) {
    EXPECT_EQ(text.substr(0, c.kept), call.tooltip);
    EXPECT_TRUE(call.tooltipEnds);
    EXPECT_EQ(record, call.size);
  }
  EXPECT_EQ(4u, shell.calls[1].flags);
}

INSTANTIATE_TEST_SUITE_P(Lengths, TrayTooltipTest,
                         ::testing::Values(TooltipCase{"Short63Whole", false, 63, 63},
                                           TooltipCase{"Short64Cut", false, 64, 63},
                                           TooltipCase{"Short200Cut", false, 200, 63},
                                           TooltipCase{"Empty", false, 0, 0},
                                           TooltipCase{"Extended127Whole", true, 127, 127},
                                           TooltipCase{"Extended300Cut", true, 300, 127}),
                         [](const ::testing::TestParamInfo<TooltipCase>& info) {
                           return info.param.name;
                         });

TEST_F(TrayIconTest, MissingTooltipTextIsEmpty) {
  ASSERT_TRUE(tray->AddToTray(&frame, kIconId, nullptr, FakeIcon(139), WM_TRAYNOTIFY, 0));
  ASSERT_TRUE(tray->ChangeTooltip("x"));
  ASSERT_TRUE(tray->ChangeTooltip(nullptr));
  EXPECT_EQ("", shell.calls[0].tooltip);
  EXPECT_EQ("", shell.calls[2].tooltip);
}

TEST(TrayIconLoad, EveryPictureLoadsAtSixteenPixels) {
  for (UINT id :
       {IDI_DRIVE_OK, IDI_DRIVE_WARNING, IDI_DRIVE, IDI_DRIVE_DANGER, IDI_DRIVE_UNKNOWN}) {
    HICON icon = CTrayNotifyIcon::LoadTrayIcon(id);
    ASSERT_NE(nullptr, icon) << id;
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(icon, &info)) << id;
    BITMAP bitmap{};
    GetObjectA(info.hbmMask, sizeof(bitmap), &bitmap);
    EXPECT_EQ(16, bitmap.bmWidth) << id;
    if (info.hbmColor) DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    DestroyIcon(icon);
  }
  EXPECT_EQ(nullptr, CTrayNotifyIcon::LoadTrayIcon(4321));
}

// ---- The notification (balloon) ---------------------------------------------

constexpr DWORD kQuietTime = 0x80;  // NIIF_RESPECT_QUIET_TIME

TEST_F(TrayIconTest, BalloonBeforeTheAddSendsNothing) {
  EXPECT_FALSE(tray->ShowBalloon("Brimlet", "text", NIIF_WARNING));
  EXPECT_TRUE(shell.calls.empty());
}

TEST_F(TrayIconTest, BalloonIsOneModifyOfTheExtendedRecordThenTheRecordIsShortAgain) {
  ASSERT_TRUE(Add());
  ASSERT_TRUE(tray->ShowBalloon("Brimlet", "Low.\nDisk space used :  80%", NIIF_ERROR));
  ASSERT_EQ(2u, shell.calls.size());
  const ShellCall& balloon = shell.calls[1];
  EXPECT_EQ(static_cast<DWORD>(NIM_MODIFY), balloon.action);
  EXPECT_EQ(CTrayNotifyIcon::kExtendedRecordSize, balloon.size);
  EXPECT_EQ(static_cast<UINT>(NIF_INFO), balloon.flags);
  EXPECT_EQ(kIconId, balloon.id);
  EXPECT_EQ(frame.m_hWnd, balloon.window);
  EXPECT_EQ("Brimlet", balloon.infoTitle);
  EXPECT_EQ("Low.\nDisk space used :  80%", balloon.info);
  EXPECT_EQ(static_cast<DWORD>(NIIF_ERROR) | kQuietTime, balloon.infoFlags);
  // Nothing of the balloon stays in what reaches the shell afterwards: the
  // next change and the delete and re-add for a new taskbar send the short
  // record.
  ASSERT_TRUE(tray->ChangeTooltip("Brimlet"));
  SendMessageA(frame.m_hWnd, TaskbarCreatedMessage(), 0, 0);
  ASSERT_EQ(5u, shell.calls.size());
  EXPECT_EQ(static_cast<DWORD>(NIM_ADD), shell.calls[4].action);
  for (std::size_t i = 2; i < shell.calls.size(); ++i) {
    const ShellCall& after = shell.calls[i];
    EXPECT_EQ(CTrayNotifyIcon::kShortRecordSize, after.size) << "call " << i;
    EXPECT_EQ(0u, after.flags & NIF_INFO) << "call " << i;
    EXPECT_EQ("", after.infoTitle) << "call " << i;
    EXPECT_EQ("", after.info) << "call " << i;
    EXPECT_EQ(0u, after.infoFlags) << "call " << i;
  }
}

TEST_F(TrayIconTest, BalloonRefusedWithTheQuietTimeFlagGoesAgainWithout) {
  ASSERT_TRUE(Add());
  shell.answer = FALSE;
  EXPECT_FALSE(tray->ShowBalloon("Brimlet", "text", NIIF_WARNING));
  ASSERT_EQ(3u, shell.calls.size());
  EXPECT_EQ(static_cast<DWORD>(NIIF_WARNING) | kQuietTime, shell.calls[1].infoFlags);
  EXPECT_EQ(static_cast<DWORD>(NIIF_WARNING), shell.calls[2].infoFlags);
  EXPECT_EQ("text", shell.calls[2].info);
}

TEST_F(TrayIconTest, BalloonTitleAndTextAreCutToTheRecordAndTerminated) {
  ASSERT_TRUE(Add());
  const std::string title(100, 'T'), text(300, 'x');
  ASSERT_TRUE(tray->ShowBalloon(title.c_str(), text.c_str(), NIIF_WARNING));
  EXPECT_EQ(std::string(63, 'T'), shell.calls.back().infoTitle);
  EXPECT_EQ(std::string(255, 'x'), shell.calls.back().info);
  ASSERT_TRUE(tray->ShowBalloon(nullptr, nullptr, NIIF_WARNING));
  EXPECT_EQ("", shell.calls.back().infoTitle);
  EXPECT_EQ("", shell.calls.back().info);
}

TEST_F(TrayIconTest, AClickOnTheBalloonSendsTheDefaultCommandLikeADoubleClick) {
  ASSERT_TRUE(Add());
  EXPECT_EQ(0, SendMessageA(frame.m_hWnd, WM_TRAYNOTIFY, kIconId + 1, NIN_BALLOONUSERCLICK));
  EXPECT_TRUE(frame.commands.empty());
  EXPECT_EQ(1, SendMessageA(frame.m_hWnd, WM_TRAYNOTIFY, kIconId, NIN_BALLOONUSERCLICK));
  EXPECT_EQ(std::vector<UINT>{ID_QUOTA_DETAILS}, frame.commands);
}

}  // namespace
