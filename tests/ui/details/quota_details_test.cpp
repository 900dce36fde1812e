// The details window on the screen: created hidden and centred, closed only
// by hiding except for OK when it ends the program, the auto-show box, the
// help links and the balance label's colours. Keys go through the
// application's message loop, as the user's keys do; colours are those the
// window's controls give it for painting them.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "framework/frame_wnd.h"
#include "framework/win_app.h"
#include "resources/resource.h"
#include "ui/colour_label.h"
#include "ui/desktop_doors.h"
#include "ui/link_label.h"
#include "ui/quota_details_dlg.h"

namespace {

// What the parent of `control` gets for painting it.
struct Paint {
  COLORREF text;
  COLORREF back;
  HBRUSH brush;
  bool underlined;  // the font selected for the text
};

Paint PaintOf(HWND control) {
  HDC dc = CreateCompatibleDC(nullptr);
  LRESULT brush = SendMessageA(GetParent(control), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                               reinterpret_cast<LPARAM>(control));
  LOGFONTA font{};
  GetObjectA(GetCurrentObject(dc, OBJ_FONT), sizeof font, &font);
  Paint paint{GetTextColor(dc), GetBkColor(dc), reinterpret_cast<HBRUSH>(brush),
              font.lfUnderline != 0};
  DeleteDC(dc);
  return paint;
}

// The addresses handed to the shell's open door while an OpenRecorder lives;
// the shell answers success.
std::vector<std::string> openedAddresses;

HINSTANCE WINAPI RecordOpen(HWND, LPCSTR, LPCSTR file, LPCSTR, LPCSTR, INT) {
  openedAddresses.push_back(file != nullptr ? file : "");
  return reinterpret_cast<HINSTANCE>(static_cast<UINT_PTR>(42));
}

class OpenRecorder {
 public:
  OpenRecorder() {
    openedAddresses.clear();
    SetShellOpen(RecordOpen);
  }
  ~OpenRecorder() { SetShellOpen(nullptr); }
  OpenRecorder(const OpenRecorder&) = delete;
  OpenRecorder& operator=(const OpenRecorder&) = delete;
};

void Click(HWND control) {
  SendMessageA(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(1, 1));
  SendMessageA(control, WM_LBUTTONUP, 0, MAKELPARAM(1, 1));
}

// The label's own brush: solid, of the button face.
void ExpectButtonFaceBrush(HBRUSH brush) {
  ASSERT_EQ(static_cast<DWORD>(OBJ_BRUSH), GetObjectType(brush));
  LOGBRUSH description{};
  GetObjectA(brush, sizeof description, &description);
  EXPECT_EQ(static_cast<UINT>(BS_SOLID), description.lbStyle);
  EXPECT_EQ(GetSysColor(COLOR_BTNFACE), description.lbColor);
}

class QuotaDetailsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(mainFrame.Create("details test main window"));
    app.m_pMainWnd = &mainFrame;
    ASSERT_TRUE(details.Create(nullptr));
  }
  void TearDown() override {
    details.DestroyWindow();
    mainFrame.DestroyWindow();
    Pump();
  }

  // Runs everything queued through the loop's filters, then stops.
  void Pump() {
    PostQuitMessage(0);
    app.Run();
  }
  void Show() {
    ShowWindow(details.m_hWnd, SW_SHOW);
    SetForegroundWindow(details.m_hWnd);
    SetFocus(Item(IDOK));
  }
  void PressKey(WPARAM key) {
    PostMessageA(GetFocus(), WM_KEYDOWN, key, 1);
    Pump();
  }
  HWND Item(int id) { return GetDlgItem(details.m_hWnd, id); }
  // The object the window bound to control `id`, when it is a T.
  template <class T>
  T* Bound(int id) {
    return dynamic_cast<T*>(fw::CWnd::FromHandle(Item(id)));
  }
  CColourLabel* BalanceLabel() { return Bound<CColourLabel>(IDC_BALANCE); }
  bool Visible() { return IsWindowVisible(details.m_hWnd) != FALSE; }
  bool MainWindowLives() { return mainFrame.m_hWnd != nullptr; }

  fw::CWinApp app;
  fw::CFrameWnd mainFrame;
  CQuotaDetailsDlg details;
};

TEST_F(QuotaDetailsTest, CreatedHiddenAndCentredWithEverythingBound) {
  EXPECT_FALSE(Visible());
  RECT work, own;
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  GetWindowRect(details.m_hWnd, &own);
  EXPECT_NEAR((work.left + work.right) / 2, (own.left + own.right) / 2, 1);
  EXPECT_NEAR((work.top + work.bottom) / 2, (own.top + own.bottom) / 2, 1);

  CLinkLabel* printHelp = Bound<CLinkLabel>(IDC_PRINT_HELP_LINK);
  CLinkLabel* quotaHelp = Bound<CLinkLabel>(IDC_QUOTA_HELP_LINK);
  ASSERT_NE(nullptr, printHelp);
  ASSERT_NE(nullptr, quotaHelp);
  // Both links paint in the link colour, without an underline.
  for (CLinkLabel* link : {printHelp, quotaHelp}) {
    Paint paint = PaintOf(link->m_hWnd);
    EXPECT_EQ(CLinkLabel::kLinkColour, paint.text);
    EXPECT_FALSE(paint.underlined);
  }
  {
    OpenRecorder recorder;
    Click(printHelp->m_hWnd);
    Click(quotaHelp->m_hWnd);
  }
  EXPECT_EQ((std::vector<std::string>{BRIMLET_PRINT_HELP_ADDRESS, BRIMLET_QUOTA_HELP_ADDRESS}),
            openedAddresses);

  ASSERT_NE(nullptr, BalanceLabel());
  EXPECT_EQ(GetSysColor(COLOR_BTNTEXT), BalanceLabel()->GetTextColour());
  EXPECT_EQ(static_cast<UINT>(BST_UNCHECKED), IsDlgButtonChecked(details.m_hWnd, IDC_AUTO_SHOW));
}

enum class OkWay { kButton, kEnterKey };

struct OkCase {
  const char* name;
  OkWay way;
  bool exitOnOk;
};

class QuotaDetailsOkTest : public QuotaDetailsTest, public ::testing::WithParamInterface<OkCase> {};

TEST_P(QuotaDetailsOkTest, HidesOrEndsTheProgram) {
  details.SetExitOnOk(GetParam().exitOnOk);
  Show();
  if (GetParam().way == OkWay::kButton) {
    SendMessageA(Item(IDOK), BM_CLICK, 0, 0);
    Pump();
  } else {
    PressKey(VK_RETURN);
  }
  // Ending the program leaves the window to go with the process.
  EXPECT_EQ(GetParam().exitOnOk, Visible());
  EXPECT_EQ(!GetParam().exitOnOk, MainWindowLives());
  EXPECT_NE(nullptr, details.m_hWnd);  // the window itself is never destroyed here
}

INSTANTIATE_TEST_SUITE_P(Cases, QuotaDetailsOkTest,
                         ::testing::Values(OkCase{"ButtonHides", OkWay::kButton, false},
                                           OkCase{"EnterHides", OkWay::kEnterKey, false},
                                           OkCase{"ButtonEnds", OkWay::kButton, true},
                                           OkCase{"EnterEnds", OkWay::kEnterKey, true}),
                         [](const ::testing::TestParamInfo<OkCase>& info) {
                           return info.param.name;
                         });

enum class CancelWay { kEscapeKey, kCloseBox };

struct CancelCase {
  const char* name;
  CancelWay way;
};

class QuotaDetailsCancelTest : public QuotaDetailsTest,
                               public ::testing::WithParamInterface<CancelCase> {
 protected:
  void Cancel() {
    if (GetParam().way == CancelWay::kEscapeKey) {
      PressKey(VK_ESCAPE);
    } else {
      SendMessageA(details.m_hWnd, WM_SYSCOMMAND, SC_CLOSE, 0);
      Pump();
    }
  }
};

TEST_P(QuotaDetailsCancelTest, OnlyHidesAndTheWindowComesBackWhereItWasLeft) {
  details.SetExitOnOk(true);
  SetWindowPos(details.m_hWnd, nullptr, 12, 34, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  Show();
  Cancel();
  EXPECT_FALSE(Visible());
  EXPECT_TRUE(MainWindowLives());
  Show();
  RECT own;
  GetWindowRect(details.m_hWnd, &own);
  EXPECT_EQ(12, own.left);
  EXPECT_EQ(34, own.top);
  // OK still ends the program after the window was reopened.
  SendMessageA(Item(IDOK), BM_CLICK, 0, 0);
  Pump();
  EXPECT_FALSE(MainWindowLives());
}

INSTANTIATE_TEST_SUITE_P(Cases, QuotaDetailsCancelTest,
                         ::testing::Values(CancelCase{"EscapeKey", CancelWay::kEscapeKey},
                                           CancelCase{"CloseBox", CancelWay::kCloseBox}),
                         [](const ::testing::TestParamInfo<CancelCase>& info) {
                           return info.param.name;
                         });

TEST_F(QuotaDetailsTest, OkWithoutAMainWindowOnlyHides) {
  app.m_pMainWnd = nullptr;
  details.SetExitOnOk(true);
  Show();
  SendMessageA(Item(IDOK), BM_CLICK, 0, 0);
  Pump();
  EXPECT_FALSE(Visible());
  EXPECT_TRUE(MainWindowLives());
}

// The box tells each switch of the user; the frame keeps the state.
TEST_F(QuotaDetailsTest, CheckBoxAndAutoShowFollowEachOther) {
  Show();
  std::vector<bool> told;
  details.OnAutoShowChanged([&told](bool on) { told.push_back(on); });
  details.SetAutoShowBox(true);
  EXPECT_EQ(static_cast<UINT>(BST_CHECKED), IsDlgButtonChecked(details.m_hWnd, IDC_AUTO_SHOW));
  EXPECT_TRUE(told.empty());  // setting the box is no switch of the user's
  for (bool expected : {false, true, false}) {
    SendMessageA(Item(IDC_AUTO_SHOW), BM_CLICK, 0, 0);
    EXPECT_EQ(expected, IsDlgButtonChecked(details.m_hWnd, IDC_AUTO_SHOW) == BST_CHECKED);
  }
  EXPECT_EQ((std::vector<bool>{false, true, false}), told);
  details.SetAutoShowBox(true);
  details.SetAutoShowBox(false);
  EXPECT_EQ(static_cast<UINT>(BST_UNCHECKED), IsDlgButtonChecked(details.m_hWnd, IDC_AUTO_SHOW));
}

TEST_F(QuotaDetailsTest, HiddenAutoShowBoxStaysHiddenAndStillCarriesTheState) {
  Show();
  EXPECT_TRUE(IsWindowVisible(Item(IDC_AUTO_SHOW)));
  details.HideAutoShowBox();
  details.SetAutoShowBox(false);
  ShowWindow(details.m_hWnd, SW_HIDE);
  Show();
  EXPECT_FALSE(IsWindowVisible(Item(IDC_AUTO_SHOW)));
  EXPECT_EQ(static_cast<UINT>(BST_UNCHECKED), IsDlgButtonChecked(details.m_hWnd, IDC_AUTO_SHOW));
}

struct ColourCase {
  const char* name;
  COLORREF given;
  bool systemText;  // the expected colour is the system's button text
  COLORREF expected;
};

class BalanceColourTest : public QuotaDetailsTest,
                          public ::testing::WithParamInterface<ColourCase> {};

TEST_P(BalanceColourTest, RoundTripRepaintAndColoursGivenToTheDialog) {
  const ColourCase& c = GetParam();
  COLORREF expected = c.systemText ? GetSysColor(COLOR_BTNTEXT) : c.expected;
  ASSERT_NE(nullptr, BalanceLabel());
  CColourLabel& label = *BalanceLabel();
  Show();
  label.SetTextColour(RGB(1, 2, 3));  // so that every case is a change
  UpdateWindow(details.m_hWnd);
  label.SetTextColour(c.given);
  EXPECT_EQ(expected, label.GetTextColour());
  EXPECT_TRUE(GetUpdateRect(label.m_hWnd, nullptr, FALSE));

  Paint paint = PaintOf(label.m_hWnd);
  EXPECT_EQ(expected, paint.text);
  EXPECT_EQ(GetSysColor(COLOR_BTNFACE), paint.back);
  // The label's own brush, the same one at every request.
  ExpectButtonFaceBrush(paint.brush);
  EXPECT_EQ(paint.brush, PaintOf(label.m_hWnd).brush);
  // Other texts of the window keep the dialog's own colours.
  EXPECT_NE(paint.brush, PaintOf(Item(IDC_LOW_LIMIT)).brush);
}

INSTANTIATE_TEST_SUITE_P(
    Colours, BalanceColourTest,
    ::testing::Values(ColourCase{"Yellow", RGB(255, 255, 0), false, RGB(255, 255, 0)},
                      ColourCase{"Red", RGB(255, 0, 0), false, RGB(255, 0, 0)},
                      ColourCase{"SystemText", static_cast<COLORREF>(-1), true, 0}),
    [](const ::testing::TestParamInfo<ColourCase>& info) { return info.param.name; });

TEST_F(QuotaDetailsTest, BalanceBrushGoesWithTheWindow) {
  CColourLabel* label = BalanceLabel();
  ASSERT_NE(nullptr, label);
  HBRUSH brush = PaintOf(label->m_hWnd).brush;
  ExpectButtonFaceBrush(brush);
  details.DestroyWindow();
  EXPECT_EQ(0u, GetObjectType(brush));

  // Bound again, the label paints with a new brush rather than the freed one.
  HWND text = CreateWindowExA(0, "STATIC", "12.34", WS_CHILD, 0, 0, 60, 20, mainFrame.m_hWnd,
                              nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(nullptr, text);
  ASSERT_TRUE(label->SubclassWindow(text));
  HBRUSH again = PaintOf(text).brush;
  ExpectButtonFaceBrush(again);
  EXPECT_TRUE(DestroyWindow(text));
  EXPECT_EQ(0u, GetObjectType(again));
}

TEST(ColourLabel, BrushIsFreedWhenTheObjectGoesFirst) {
  fw::CFrameWnd parent;  // passes the colour requests on to the label
  ASSERT_TRUE(parent.Create("colour label test"));
  HWND text = CreateWindowExA(0, "STATIC", "12.34", WS_CHILD, 0, 0, 60, 20, parent.m_hWnd, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(nullptr, text);
  HBRUSH brush;
  {
    CColourLabel label;
    ASSERT_TRUE(label.SubclassWindow(text));
    Paint paint = PaintOf(text);
    brush = paint.brush;
    ExpectButtonFaceBrush(brush);
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), paint.back);
  }
  EXPECT_EQ(0u, GetObjectType(brush));
  EXPECT_EQ(nullptr, fw::CWnd::FromHandle(text));
  SendMessageA(text, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("still a window"));
  EXPECT_TRUE(DestroyWindow(text));
  parent.DestroyWindow();
}

}  // namespace
