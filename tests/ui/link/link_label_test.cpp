// A link bound to a static control: preparation, fitting, tooltip, painting,
// cursor and the relay of queued messages to the tooltip.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "framework/win_app.h"
#include "link_test_ids.h"
#include "link_test_support.h"
#include "resources/resource.h"
#include "ui/hook_wnd.h"
#include "ui/link_label.h"

namespace {

constexpr const char* kQuotaHelp = "http://help.example/quota.html";

class LinkTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(dialog.Create(nullptr)); }
  void TearDown() override { dialog.DestroyWindow(); }

  fw::CWinApp app;
  FakeShell shell;  // no test may reach a real browser or message box
  LinkTestDialog dialog;
};

int Width(const RECT& rect) { return rect.right - rect.left; }
int Height(const RECT& rect) { return rect.bottom - rect.top; }

struct PrepareCase {
  const char* name;
  int control;
  const char* urlBeforeBinding;  // nullptr: none set
  const char* url;
  const char* text;
};

class PrepareLabel : public LinkTest, public ::testing::WithParamInterface<PrepareCase> {};

TEST_P(PrepareLabel, TakesTheAddressAndTextAndAddsTheTool) {
  const PrepareCase& c = GetParam();
  CLinkLabel link;
  if (c.urlBeforeBinding != nullptr) {
    link.SetUrl(c.urlBeforeBinding);
  }
  ASSERT_TRUE(link.SubclassDlgItem(c.control, &dialog));

  EXPECT_EQ(c.text, ControlText(link.m_hWnd));
  EXPECT_NE(0, GetWindowLongPtrA(link.m_hWnd, GWL_STYLE) & SS_NOTIFY);
  SIZE extent = MeasureWithDefaultFont(link.m_hWnd, c.text);
  RECT rect = RectInDialog(link.m_hWnd);
  EXPECT_EQ(extent.cx, Width(rect));
  if (c.text[0] == '\0') {
    EXPECT_EQ(0, Width(rect));
  }

  HWND tooltip = LinkTooltip(link.m_hWnd);
  ASSERT_NE(nullptr, tooltip);
  EXPECT_EQ(1, SendMessageA(tooltip, TTM_GETTOOLCOUNT, 0, 0));
  EXPECT_EQ(c.url, TooltipText(tooltip, link.m_hWnd));
  TOOLINFOA tool{};
  tool.cbSize = TTTOOLINFOA_V2_SIZE;
  tool.hwnd = link.m_hWnd;
  tool.uId = CLinkLabel::kToolId;
  ASSERT_TRUE(SendMessageA(tooltip, TTM_GETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&tool)));
  RECT client;
  GetClientRect(link.m_hWnd, &client);
  EXPECT_TRUE(EqualRect(&client, &tool.rect));

  // A link without text has no area to click; the tooltip alone shows its
  // address.
  if (c.text[0] != '\0') {
    EXPECT_EQ(c.url, ClickedAddress(link.m_hWnd, shell));
  }
}

INSTANTIATE_TEST_SUITE_P(
    LinkLabel, PrepareLabel,
    ::testing::Values(PrepareCase{"TextBecomesTheAddress", IDC_LINK_HELP, nullptr, "Help", "Help"},
                      PrepareCase{"EmptyTextStaysEmpty", IDC_LINK_EMPTY, nullptr, "", ""},
                      PrepareCase{"AddressSetBeforeKeepsTheText", IDC_LINK_HELP, kQuotaHelp,
                                  kQuotaHelp, "Help"},
                      PrepareCase{"EmptyTextShowsTheAddress", IDC_LINK_EMPTY, kQuotaHelp,
                                  kQuotaHelp, kQuotaHelp}),
    [](const ::testing::TestParamInfo<PrepareCase>& info) { return info.param.name; });

TEST_F(LinkTest, SetUrlReplacesTheTooltipTextButNotTheControlText) {
  CLinkLabel help;
  CLinkLabel empty;
  ASSERT_TRUE(help.SubclassDlgItem(IDC_LINK_HELP, &dialog));
  ASSERT_TRUE(empty.SubclassDlgItem(IDC_LINK_EMPTY, &dialog));
  EXPECT_EQ("Help", TooltipText(LinkTooltip(help.m_hWnd), help.m_hWnd));

  for (CLinkLabel* link : {&help, &empty}) {
    std::string textBefore = ControlText(link->m_hWnd);
    link->SetUrl(kQuotaHelp);
    EXPECT_EQ(kQuotaHelp, TooltipText(LinkTooltip(link->m_hWnd), link->m_hWnd));
    EXPECT_EQ(textBefore, ControlText(link->m_hWnd));
  }
  EXPECT_EQ(0, Width(RectInDialog(empty.m_hWnd)));
  EXPECT_EQ(kQuotaHelp, ClickedAddress(help.m_hWnd, shell));
}

// Fitting keeps the edge or centre that the control's alignment names.
enum class Anchor { Left, Centre, Right };
struct FitCase {
  const char* name;
  int control;
  Anchor horizontal;
  bool middle;  // centred vertically
};

class FitToText : public LinkTest, public ::testing::WithParamInterface<FitCase> {};

TEST_P(FitToText, KeepsTheAnchorOfTheAlignment) {
  const FitCase& c = GetParam();
  HWND control = dialog.Control(c.control);
  RECT before = RectInDialog(control);
  SIZE extent = MeasureWithDefaultFont(control, "Help");
  ASSERT_GT(Width(before), extent.cx);
  ASSERT_GT(Height(before), extent.cy + 1);

  CLinkLabel link;
  ASSERT_TRUE(link.SubclassDlgItem(c.control, &dialog));
  RECT after = RectInDialog(control);

  // A difference of odd size leaves the one pixel it cannot halve.
  EXPECT_GE(Width(after), extent.cx);
  EXPECT_LE(Width(after), extent.cx + 1);
  switch (c.horizontal) {
    case Anchor::Left:
      EXPECT_EQ(before.left, after.left);
      EXPECT_EQ(extent.cx, Width(after));
      break;
    case Anchor::Centre:
      EXPECT_NEAR(before.left + before.right, after.left + after.right, 1);
      break;
    case Anchor::Right:
      EXPECT_EQ(before.right, after.right);
      EXPECT_EQ(extent.cx, Width(after));
      break;
  }
  if (c.middle) {
    EXPECT_NEAR(before.top + before.bottom, after.top + after.bottom, 1);
    EXPECT_LE(Height(after), extent.cy + 1);
  } else {
    EXPECT_EQ(before.top, after.top);
    EXPECT_EQ(extent.cy, Height(after));
  }
}

INSTANTIATE_TEST_SUITE_P(
    LinkLabel, FitToText,
    ::testing::Values(FitCase{"Left", IDC_LINK_HELP, Anchor::Left, false},
                      FitCase{"Centre", IDC_LINK_CENTRE, Anchor::Centre, false},
                      FitCase{"Right", IDC_LINK_RIGHT, Anchor::Right, false},
                      FitCase{"Middle", IDC_LINK_MIDDLE, Anchor::Left, true}),
    [](const ::testing::TestParamInfo<FitCase>& info) { return info.param.name; });

// The colours the dialog gets for painting the link.
struct PaintCase {
  const char* name;
  bool visited;
  bool underline;
  COLORREF colour;
};

class PaintLink : public LinkTest, public ::testing::WithParamInterface<PaintCase> {};

TEST_P(PaintLink, AnswersColourFontAndHollowBrush) {
  const PaintCase& c = GetParam();
  CLinkLabel link;
  ASSERT_TRUE(link.SubclassDlgItem(IDC_LINK_HELP, &dialog));
  link.SetUrl(kQuotaHelp);
  if (c.visited) {
    ASSERT_EQ(kQuotaHelp, ClickedAddress(link.m_hWnd, shell));  // opened: visited
  }
  link.SetUnderline(c.underline);

  HDC dc = CreateCompatibleDC(nullptr);
  LRESULT brush = SendMessageA(dialog.m_hWnd, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                               reinterpret_cast<LPARAM>(link.m_hWnd));
  EXPECT_EQ(reinterpret_cast<LRESULT>(GetStockObject(HOLLOW_BRUSH)), brush);
  EXPECT_EQ(c.colour, GetTextColor(dc));
  EXPECT_EQ(TRANSPARENT, GetBkMode(dc));
  LOGFONTA selected{};
  GetObjectA(GetCurrentObject(dc, OBJ_FONT), sizeof selected, &selected);
  EXPECT_EQ(c.underline, selected.lfUnderline != 0);
  if (c.underline) {
    LOGFONTA own{};
    GetObjectA(reinterpret_cast<HFONT>(SendMessageA(link.m_hWnd, WM_GETFONT, 0, 0)), sizeof own,
               &own);
    EXPECT_STREQ(own.lfFaceName, selected.lfFaceName);
    EXPECT_EQ(own.lfHeight, selected.lfHeight);
  }
  DeleteDC(dc);
}

INSTANTIATE_TEST_SUITE_P(
    LinkLabel, PaintLink,
    ::testing::Values(PaintCase{"Link", false, true, CLinkLabel::kLinkColour},
                      PaintCase{"Visited", true, true, CLinkLabel::kVisitedColour},
                      PaintCase{"LinkPlain", false, false, CLinkLabel::kLinkColour},
                      PaintCase{"VisitedPlain", true, false, CLinkLabel::kVisitedColour}),
    [](const ::testing::TestParamInfo<PaintCase>& info) { return info.param.name; });

HFONT PaintedFont(HWND dialog, HWND link) {
  HDC dc = CreateCompatibleDC(nullptr);
  SendMessageA(dialog, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
               reinterpret_cast<LPARAM>(link));
  HFONT font = static_cast<HFONT>(GetCurrentObject(dc, OBJ_FONT));
  DeleteDC(dc);
  return font;
}

TEST_F(LinkTest, TheUnderlinedFontIsMadeOnceAndGoesWithTheControl) {
  CLinkLabel link;
  ASSERT_TRUE(link.SubclassDlgItem(IDC_LINK_HELP, &dialog));
  HFONT first = PaintedFont(dialog.m_hWnd, link.m_hWnd);
  EXPECT_EQ(first, PaintedFont(dialog.m_hWnd, link.m_hWnd));
  EXPECT_EQ(OBJ_FONT, static_cast<int>(GetObjectType(first)));

  HWND tooltip = LinkTooltip(link.m_hWnd);
  ASSERT_NE(nullptr, tooltip);
  DestroyWindow(link.m_hWnd);
  EXPECT_EQ(0u, GetObjectType(first));
  EXPECT_FALSE(IsWindow(tooltip));
}

TEST_F(LinkTest, TheCursorRequestIsAnsweredWithTheHand) {
  CLinkLabel link;
  ASSERT_TRUE(link.SubclassDlgItem(IDC_LINK_HELP, &dialog));
  HCURSOR hand = LoadCursorA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDC_HAND_LINK));
  ASSERT_NE(nullptr, hand);
  SetCursor(LoadCursorA(nullptr, IDC_ARROW));

  EXPECT_EQ(TRUE, SendMessageA(link.m_hWnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(link.m_hWnd),
                               MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
  EXPECT_EQ(hand, GetCursor());
  ICONINFO info{};
  ASSERT_TRUE(GetIconInfo(hand, &info));
  EXPECT_EQ(8u, info.xHotspot);
  EXPECT_EQ(3u, info.yHotspot);
  DeleteObject(info.hbmMask);
  DeleteObject(info.hbmColor);
}

// Sees what reaches the tooltip.
class RelayWatch : public CHookWnd {
 public:
  std::vector<MSG> relayed;
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == TTM_RELAYEVENT) {
      relayed.push_back(*reinterpret_cast<const MSG*>(lParam));
    }
    return CHookWnd::OnMessage(message, wParam, lParam);
  }
};

class MouseCountingLink : public CLinkLabel {
 public:
  int mouseMoves = 0;

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    mouseMoves += message == WM_MOUSEMOVE ? 1 : 0;
    return CLinkLabel::WindowProc(message, wParam, lParam);
  }
};

TEST_F(LinkTest, QueuedMessagesAreRelayedToTheTooltipAndStillHandled) {
  MouseCountingLink link;
  ASSERT_TRUE(link.SubclassDlgItem(IDC_LINK_HELP, &dialog));
  RelayWatch watch;
  ASSERT_NE(nullptr, LinkTooltip(link.m_hWnd));
  watch.Attach(LinkTooltip(link.m_hWnd));

  PostMessageA(link.m_hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
  PumpMessages();

  ASSERT_EQ(1u, watch.relayed.size());
  EXPECT_EQ(link.m_hWnd, watch.relayed[0].hwnd);
  EXPECT_EQ(static_cast<UINT>(WM_MOUSEMOVE), watch.relayed[0].message);
  EXPECT_EQ(1, link.mouseMoves);
}

}  // namespace
