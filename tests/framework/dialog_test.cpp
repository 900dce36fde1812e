// Modeless and modal dialogs built from the program's templates.
#include <gtest/gtest.h>
#include <windows.h>

#include "framework/dialog.h"
#include "framework/win_app.h"
#include "test_ids.h"

namespace {

class TestDialog : public fw::CDialog {
 public:
  TestDialog() : fw::CDialog(IDD_TEST_DIALOG) {}
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
    if (IsModal()) {
      fw::CDialog::OnCancel();
    } else {
      ShowWindow(m_hWnd, SW_HIDE);
    }
  }
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

}  // namespace
