// Modeless and modal dialogs built from the program's templates.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>

#include "framework/dialog.h"
#include "framework/win_app.h"
#include "test_ids.h"

namespace {

class TestDialog : public fw::CDialog {
 public:
  TestDialog() : fw::CDialog(IDD_TEST_DIALOG) {}
  // Made modeless, Cancel hides it, as the details window does.
  bool Create(fw::CWnd* parent) {
    modeless = true;
    return fw::CDialog::Create(parent);
  }
  int inits = 0;
  int oks = 0;
  int cancels = 0;

 protected:
  BOOL OnInitDialog() override {
    ++inits;
    return fw::CDialog::OnInitDialog();
  }
  void OnOK() override {
    ++oks;
    fw::CDialog::OnOK();
  }
  void OnCancel() override {
    ++cancels;
    if (modeless) {
      ShowWindow(m_hWnd, SW_HIDE);
    } else {
      fw::CDialog::OnCancel();
    }
  }

 private:
  bool modeless = false;
};

// Runs the thread's queue through the application's message loop filters
// until nothing is left, bounded.
void PumpThroughLoop(fw::CWinApp& app) {
  PostQuitMessage(0);
  app.Run();
}

TEST(ModelessDialog, IsCreatedHiddenAndCentredOnTheScreen) {
  fw::CWinApp app;
  TestDialog dialog;
  ASSERT_TRUE(dialog.Create(nullptr));
  EXPECT_EQ(1, dialog.inits);
  EXPECT_FALSE(IsWindowVisible(dialog.m_hWnd));
  RECT work, own;
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  GetWindowRect(dialog.m_hWnd, &own);
  EXPECT_NEAR((work.left + work.right) / 2, (own.left + own.right) / 2, 1);
  EXPECT_NEAR((work.top + work.bottom) / 2, (own.top + own.bottom) / 2, 1);
  dialog.DestroyWindow();
}

TEST(ModelessDialog, EscapeThroughTheMessageLoopReachesOnCancel) {
  fw::CWinApp app;
  TestDialog dialog;
  ASSERT_TRUE(dialog.Create(nullptr));
  ShowWindow(dialog.m_hWnd, SW_SHOW);
  SetForegroundWindow(dialog.m_hWnd);
  HWND ok = GetDlgItem(dialog.m_hWnd, IDOK);
  SetFocus(ok);
  PostMessageA(ok, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
  PumpThroughLoop(app);
  EXPECT_EQ(1, dialog.cancels);
  EXPECT_FALSE(IsWindowVisible(dialog.m_hWnd));
  PostMessageA(ok, WM_KEYDOWN, VK_RETURN, 0x001C0001);
  PumpThroughLoop(app);
  EXPECT_EQ(1, dialog.oks);
  EXPECT_EQ(nullptr, dialog.m_hWnd);  // a modeless dialog's OK destroys it by default
}

TEST(ModalDialog, RunsUntilEndedAndAnswersTheResult) {
  fw::CWinApp app;
  TestDialog dialog;
  struct Closer {
    static void CALLBACK Fire(HWND, UINT, UINT_PTR id, DWORD) {
      KillTimer(nullptr, id);
      HWND found = FindWindowA(nullptr, "Test dialog");
      if (found != nullptr) {
        PostMessageA(found, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
      }
    }
  };
  SetTimer(nullptr, 0, 50, Closer::Fire);
  EXPECT_EQ(IDCANCEL, dialog.DoModal(nullptr));
  EXPECT_EQ(1, dialog.inits);
  EXPECT_EQ(1, dialog.cancels);
  EXPECT_EQ(nullptr, dialog.m_hWnd);
}

TEST(ModalDialog, MissingTemplateFailsWithoutAWindow) {
  fw::CWinApp app;
  fw::CDialog missing(4242);
  EXPECT_EQ(-1, missing.DoModal(nullptr));
  EXPECT_FALSE(missing.Create(nullptr));
}

// While a modal dialog runs, a timer of the thread acts once and ends it.
struct ModalProbe {
  static std::function<void(HWND modal)> action;
  static void CALLBACK Fire(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    HWND modal = FindWindowA(nullptr, "Test dialog modal");
    if (modal != nullptr && action) {
      action(modal);
    }
    if (modal != nullptr) {
      PostMessageA(modal, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    }
  }
};
std::function<void(HWND)> ModalProbe::action;

// Runs a modal TestDialog, retitled so the probe can tell it from others.
class ModalTestDialog : public TestDialog {
 protected:
  BOOL OnInitDialog() override {
    SetWindowTextA(m_hWnd, "Test dialog modal");
    return TestDialog::OnInitDialog();
  }
};

TEST(ModalDialog, ItsLoopKeepsTheKeysOfAModelessDialog) {
  fw::CWinApp app;
  TestDialog modeless;
  ASSERT_TRUE(modeless.Create(nullptr));
  ShowWindow(modeless.m_hWnd, SW_SHOW);
  HWND ok = GetDlgItem(modeless.m_hWnd, IDOK);
  // The Escape key reaches the modeless dialog only through the filters of
  // the loop that is running: the modal one's.
  ModalProbe::action = [ok](HWND) {
    PostMessageA(ok, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
  };
  SetTimer(nullptr, 0, 50, ModalProbe::Fire);
  ModalTestDialog modal;
  EXPECT_EQ(IDCANCEL, modal.DoModal(nullptr));
  ModalProbe::action = nullptr;
  // The key was posted before the modal dialog's cancel: it has been handled.
  EXPECT_EQ(1, modeless.cancels);
  modeless.DestroyWindow();
}

TEST(ModalDialog, OpensAboveAWindowThatStaysOnTop) {
  fw::CWinApp app;
  TestDialog topmost;
  ASSERT_TRUE(topmost.Create(nullptr));
  SetWindowPos(topmost.m_hWnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
  bool above = false;
  HWND below = topmost.m_hWnd;
  ModalProbe::action = [&above, below](HWND modal) {
    for (HWND window = GetWindow(modal, GW_HWNDNEXT); window != nullptr && !above;
         window = GetWindow(window, GW_HWNDNEXT)) {
      above = window == below;
    }
  };
  SetTimer(nullptr, 0, 200, ModalProbe::Fire);
  ModalTestDialog modal;
  EXPECT_EQ(IDCANCEL, modal.DoModal(nullptr));
  ModalProbe::action = nullptr;
  EXPECT_TRUE(above);
  topmost.DestroyWindow();
}

TEST(ModalDialog, AQuitDuringTheDialogReachesTheOuterLoop) {
  fw::CWinApp app;
  ModalProbe::action = [](HWND) { PostQuitMessage(7); };
  SetTimer(nullptr, 0, 50, ModalProbe::Fire);
  ModalTestDialog modal;
  modal.DoModal(nullptr);
  ModalProbe::action = nullptr;
  EXPECT_EQ(7, app.Run());
}

}  // namespace
