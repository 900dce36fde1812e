// Every text the real monitor shows must fit its control: brimlet.exe runs
// on a simulated network at each level and balance state, in the language of
// the test's LANG, at 96, 144 and 192 DPI; each visible static, button and
// check box of the details window and the About box is measured with the
// templates' font at that DPI and the control's own wrapping rules, and the
// tray menu with its snooze menu must lie on the screen.
//
// With BRIMLET_SCREENSHOT_DIR set, each window is also saved as a BMP there
// (scripts/screenshots.sh turns them into PNG files).
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "child_process.h"
#include "network_file.h"
#include "resources/resource.h"
#include "screen_picture.h"
#include "window_search.h"
#include "windows_path.h"

namespace {

constexpr char kWatchedPath[] = "H:\\";
constexpr char kFrameClass[] = "LaSuperAppsDeQZH:\\";
constexpr char kDesktopKey[] = "Control Panel\\Desktop";
constexpr char kDpiValue[] = "LogPixels";

// Wine reads the display scaling of a process from the user's LogPixels
// value when the process starts. Sets it for the programs started while the
// object lives and puts the old value (or its absence) back afterwards.
class ScreenDpi {
 public:
  explicit ScreenDpi(DWORD dpi) {
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kDesktopKey, 0, nullptr, 0,
                        KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, &key_, nullptr) != ERROR_SUCCESS) {
      key_ = nullptr;
      return;
    }
    DWORD size = sizeof old_;
    DWORD type = 0;
    hadOld_ = RegQueryValueExA(key_, kDpiValue, nullptr, &type, reinterpret_cast<BYTE*>(&old_),
                               &size) == ERROR_SUCCESS &&
              type == REG_DWORD;
    set_ = RegSetValueExA(key_, kDpiValue, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi),
                          sizeof dpi) == ERROR_SUCCESS;
  }
  ~ScreenDpi() {
    if (key_ == nullptr) {
      return;
    }
    if (hadOld_) {
      RegSetValueExA(key_, kDpiValue, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&old_),
                     sizeof old_);
    } else {
      RegDeleteValueA(key_, kDpiValue);
    }
    RegCloseKey(key_);
  }
  ScreenDpi(const ScreenDpi&) = delete;
  ScreenDpi& operator=(const ScreenDpi&) = delete;
  bool IsSet() const { return set_; }

 private:
  HKEY key_ = nullptr;
  DWORD old_ = 0;
  bool hadOld_ = false;
  bool set_ = false;
};

std::string Text(HWND window) {
  char text[1024] = {};
  SendMessageA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
  return text;
}

// Polls (at most `ms`) for a visible dialog of `process`: the details
// window (the one with the status control) or another, the "what uses the
// space" window only when `largestItems`.
HWND WaitForDialog(DWORD process, bool details, DWORD ms, bool largestItems = false) {
  return WaitForWindowWhere(
      [=](HWND window) {
        return ProcessOf(window) == process && IsWindowVisible(window) &&
               ClassOf(window) == "#32770" &&
               largestItems == (GetDlgItem(window, IDC_LARGEST_LIST) != nullptr) &&
               details == (GetDlgItem(window, IDC_STATUS_TEXT) != nullptr);
      },
      ms);
}

// How a control lays out its text, as DrawText flags, and the part of its
// client area the text may use; false for controls without a text of their
// own to check (pictures, bars, frames drawn by the program).
bool TextLayout(HWND control, int dpi, UINT* flags, RECT* area) {
  std::string name = ClassOf(control);
  LONG style = GetWindowLongA(control, GWL_STYLE);
  GetClientRect(control, area);
  if (lstrcmpiA(name.c_str(), "Static") == 0) {
    switch (style & SS_TYPEMASK) {
      case SS_LEFT:
        *flags = DT_LEFT | DT_WORDBREAK | DT_EXPANDTABS;
        break;
      case SS_CENTER:
        *flags = DT_CENTER | DT_WORDBREAK | DT_EXPANDTABS;
        break;
      case SS_RIGHT:
        *flags = DT_RIGHT | DT_WORDBREAK | DT_EXPANDTABS;
        break;
      case SS_SIMPLE:
      case SS_LEFTNOWORDWRAP:
        *flags = DT_LEFT | DT_SINGLELINE;
        break;
      default:
        return false;  // icons, frames and rectangles
    }
    if (style & SS_NOTIFY) {
      return false;  // a link sizes itself to its text; its own tests check that
    }
    if (style & SS_NOPREFIX) {
      *flags |= DT_NOPREFIX;
    }
    return true;
  }
  if (lstrcmpiA(name.c_str(), "Button") == 0) {
    LONG kind = style & BS_TYPEMASK;
    *flags = (style & BS_MULTILINE) ? DT_WORDBREAK : DT_SINGLELINE;
    if (kind == BS_GROUPBOX) {
      // The caption sits in the frame's top line, a few pixels in from each
      // side.
      InflateRect(area, -MulDiv(8, dpi, 96), 0);
      *flags = DT_SINGLELINE;
    } else if (kind == BS_CHECKBOX || kind == BS_AUTOCHECKBOX || kind == BS_RADIOBUTTON ||
               kind == BS_AUTORADIOBUTTON || kind == BS_3STATE || kind == BS_AUTO3STATE) {
      // The box and the gap before its text.
      area->left += MulDiv(16, dpi, 96);
    } else {
      InflateRect(area, -MulDiv(3, dpi, 96), -MulDiv(3, dpi, 96));
    }
    return true;
  }
  return false;
}

struct Misfit {
  int id;
  std::string text;
  SIZE needed;
  SIZE room;
};

struct ChildScan {
  HDC dc;
  int dpi;
  std::vector<Misfit>* misfits;
  int checked;
};

BOOL CALLBACK CheckChild(HWND control, LPARAM parameter) {
  auto* scan = reinterpret_cast<ChildScan*>(parameter);
  UINT flags = 0;
  RECT area{};
  std::string text = Text(control);
  if (!IsWindowVisible(control) || text.empty() || !TextLayout(control, scan->dpi, &flags, &area)) {
    return TRUE;
  }
  scan->checked++;
  RECT needed = {0, 0, area.right - area.left, 0};
  DrawTextA(scan->dc, text.c_str(), -1, &needed, flags | DT_CALCRECT);
  SIZE room = {area.right - area.left, area.bottom - area.top};
  SIZE size = {needed.right - needed.left, needed.bottom - needed.top};
  if (size.cx > room.cx || size.cy > room.cy) {
    scan->misfits->push_back({GetDlgCtrlID(control), text, size, room});
  }
  return TRUE;
}

// The controls of `dialog` whose text does not fit, measured in the font of
// the templates ("MS Sans Serif", 8 points) at `dpi`. The font is made here:
// a font handle of the program's own process means nothing in this one.
std::vector<Misfit> Misfits(HWND dialog, int dpi, int* checked) {
  std::vector<Misfit> misfits;
  HDC dc = CreateCompatibleDC(nullptr);
  HFONT font = CreateFontA(-MulDiv(8, dpi, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                           DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                           DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, "MS Sans Serif");
  HGDIOBJ old = SelectObject(dc, font);
  ChildScan scan{dc, dpi, &misfits, 0};
  EnumChildWindows(dialog, CheckChild, reinterpret_cast<LPARAM>(&scan));
  SelectObject(dc, old);
  DeleteObject(font);
  DeleteDC(dc);
  *checked = scan.checked;
  return misfits;
}

std::string Describe(const std::vector<Misfit>& misfits) {
  std::string out;
  for (const Misfit& m : misfits) {
    char line[256];
    std::snprintf(line, sizeof line, "control %d needs %ldx%ld, has %ldx%ld: ", m.id, m.needed.cx,
                  m.needed.cy, m.room.cx, m.room.cy);
    out += line + m.text + "\n";
  }
  return out;
}

std::string Locale() {
  const char* lang = std::getenv("LANG");
  std::string locale = lang != nullptr ? lang : "C";
  return locale.substr(0, locale.find('.'));
}

void Screenshot(HWND window, const std::string& name, int dpi) {
  const char* dir = std::getenv("BRIMLET_SCREENSHOT_DIR");
  if (dir == nullptr || *dir == '\0') {
    return;
  }
  // Let the program finish painting before the picture is taken.
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  Sleep(300);
  SaveWindowPicture(window, std::string(dir) + "\\" + name + "_" + Locale() + "_" +
                             std::to_string(dpi) + ".bmp");
}

// The monitor running at one state of the network; ended at destruction.
class RunningMonitor {
 public:
  explicit RunningMonitor(const NetworkState& state) {
    network_.Write(state);
    // Details shown at start, automatic display off, no alerts.
    process_ = std::make_unique<ChildProcess>(WindowsPath(BRIMLET_EXE),
                                              std::string(kWatchedPath) + " 3600 75 95 % Y N 0 0");
    if (HWND frame = WaitForWindowClass(kFrameClass, 15000)) {
      frame_ = frame;
      details_ = WaitForDialog(ProcessOf(frame), true, 15000);
    }
  }
  HWND Frame() const { return frame_; }
  HWND Details() const { return details_; }

  // Opens the About box through the frame's command and answers it.
  HWND OpenAbout() const {
    PostMessageA(frame_, WM_COMMAND, ID_APP_ABOUT, 0);
    return WaitForDialog(ProcessOf(frame_), false, 15000);
  }

  // Opens the "what uses the space" window and lets its scan end.
  HWND OpenLargestItems() const {
    PostMessageA(frame_, WM_COMMAND, ID_LARGEST_ITEMS, 0);
    HWND window = WaitForDialog(ProcessOf(frame_), false, 15000, true);
    for (int wait = 0; window != nullptr && wait < 100 && Text(GetDlgItem(window, IDC_LARGEST_COUNTS)).empty(); ++wait) {
      Sleep(50);
    }
    return window;
  }

 private:
  NetworkFile network_;
  std::unique_ptr<ChildProcess> process_;
  HWND frame_ = nullptr;
  HWND details_ = nullptr;
};

NetworkState WithFree(unsigned freeKb) {
  NetworkState state;
  state.limitEntries = LimitWithFree(freeKb);
  return state;
}

struct FitCase {
  const char* name;
  NetworkState state;
};

std::vector<FitCase> FitCases() {
  NetworkState unknown = WithFree(20000);
  unknown.failResolve = true;
  NetworkState lowBalance = WithFree(20000);  // yellow: near the low limit
  lowBalance.balance = "120";
  lowBalance.lowLimit = "100";
  NetworkState overdrawn = WithFree(20000);  // red: below the low limit
  overdrawn.balance = "-123456";
  overdrawn.lowLimit = "-100000";
  NetworkState unlimited = WithFree(20000);
  unlimited.balance = "-2500";
  unlimited.unlimited = "yes";
  return {{"unknown", unknown},       {"ok", WithFree(90000)},
          {"warning", WithFree(20000)}, {"danger", WithFree(2000)},
          {"low_balance", lowBalance},  {"overdrawn", overdrawn},
          {"unlimited", unlimited}};
}

class TextFit : public testing::TestWithParam<int> {};

TEST_P(TextFit, EveryTextOfTheFilledDetailsWindowFitsAtEachLevel) {
  int dpi = GetParam();
  ScreenDpi screen(static_cast<DWORD>(dpi));
  ASSERT_TRUE(screen.IsSet());
  for (const FitCase& fit : FitCases()) {
    SCOPED_TRACE(fit.name);
    RunningMonitor monitor(fit.state);
    ASSERT_NE(monitor.Details(), nullptr) << "no details window";
    int checked = 0;
    std::vector<Misfit> misfits = Misfits(monitor.Details(), dpi, &checked);
    EXPECT_GT(checked, 20);
    EXPECT_TRUE(misfits.empty()) << Describe(misfits);
    Screenshot(monitor.Details(), std::string("details_") + fit.name, dpi);
  }
}

TEST_P(TextFit, EveryTextOfTheAboutBoxFitsAndTheBoxIsInFront) {
  int dpi = GetParam();
  ScreenDpi screen(static_cast<DWORD>(dpi));
  ASSERT_TRUE(screen.IsSet());
  RunningMonitor monitor(FitCases()[2].state);
  ASSERT_NE(monitor.Details(), nullptr);
  HWND about = monitor.OpenAbout();
  ASSERT_NE(about, nullptr) << "no About box";
  int checked = 0;
  std::vector<Misfit> misfits = Misfits(about, dpi, &checked);
  EXPECT_GE(checked, 3);
  EXPECT_TRUE(misfits.empty()) << Describe(misfits);
  // Above the details window, also where that one stays above other windows.
  // The box is visible a moment before the program has raised it, so its
  // place is looked at for up to two seconds.
  bool aboveDetails = false;
  for (int look = 0; look < 40 && !aboveDetails; ++look) {
    if (look > 0) Sleep(50);
    for (HWND window = GetWindow(about, GW_HWNDNEXT); window != nullptr && !aboveDetails;
         window = GetWindow(window, GW_HWNDNEXT)) {
      aboveDetails = window == monitor.Details();
    }
  }
  EXPECT_TRUE(aboveDetails) << "the About box opened behind the details window";
  Screenshot(about, "about", dpi);
  PostMessageA(about, WM_COMMAND, IDOK, 0);
}

TEST_P(TextFit, EveryTextOfTheLargestItemsWindowFitsWithItsStatusLines) {
  int dpi = GetParam();
  ScreenDpi screen(static_cast<DWORD>(dpi));
  ASSERT_TRUE(screen.IsSet());
  RunningMonitor monitor(FitCases()[2].state);
  ASSERT_NE(monitor.Details(), nullptr);
  HWND window = monitor.OpenLargestItems();
  ASSERT_NE(window, nullptr) << "no \"what uses the space\" window";
  EXPECT_FALSE(Text(GetDlgItem(window, IDC_LARGEST_COUNTS)).empty()) << "the scan did not end";
  int checked = 0;
  std::vector<Misfit> misfits = Misfits(window, dpi, &checked);
  EXPECT_GE(checked, 5);  // four buttons and the status lines
  EXPECT_TRUE(misfits.empty()) << Describe(misfits);
  Screenshot(window, "largest_items", dpi);
}

// Polls (at most `ms`) until `count` pop-up menus of `process` are open.
std::vector<HWND> WaitForMenus(DWORD process, std::size_t count, DWORD ms) {
  std::vector<HWND> found;
  for (DWORD waited = 0; waited <= ms; waited += 50) {
    found = FindWindows([process](HWND window) {
      return ProcessOf(window) == process && IsWindowVisible(window) &&
             ClassOf(window) == "#32768";
    });
    if (found.size() >= count) break;
    Sleep(50);
  }
  return found;
}

// A menu sizes itself to its longest text; what can go wrong is a menu that
// leaves the screen, or a sub-menu that covers its parent. The tray menu is
// opened as a right click opens it, with a snooze running so that the
// sub-menu holds its longest line, and "Remind me later" (the third item)
// is opened with the keyboard.
TEST_P(TextFit, TheTrayMenuAndItsSnoozeMenuFitOnTheScreen) {
  int dpi = GetParam();
  ScreenDpi screen(static_cast<DWORD>(dpi));
  ASSERT_TRUE(screen.IsSet());
  RunningMonitor monitor(FitCases()[2].state);
  ASSERT_NE(monitor.Frame(), nullptr);
  const DWORD process = ProcessOf(monitor.Frame());
  PostMessageA(monitor.Frame(), WM_COMMAND, ID_SNOOZE_MORNING, 0);
  PostMessageA(monitor.Frame(), WM_USER + 100, 129, WM_RBUTTONUP);  // the tray icon's callback
  std::vector<HWND> menus = WaitForMenus(process, 1, 15000);
  ASSERT_EQ(1u, menus.size()) << "the tray menu did not open";
  // The menu opens at the cursor, whose moves would select the item under
  // it: take it out of the way before the keys select.
  SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
  Sleep(300);
  for (UINT key : {VK_DOWN, VK_DOWN, VK_DOWN, VK_RIGHT}) {
    PostMessageA(menus[0], WM_KEYDOWN, key, 0);
    Sleep(100);
  }
  menus = WaitForMenus(process, 2, 15000);
  ASSERT_EQ(2u, menus.size()) << "the snooze menu did not open";
  const RECT desktop{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  RECT both{};
  RECT rects[2];
  for (int i = 0; i < 2; ++i) {
    GetWindowRect(menus[i], &rects[i]);
    EXPECT_TRUE(rects[i].left >= desktop.left && rects[i].top >= desktop.top &&
                rects[i].right <= desktop.right && rects[i].bottom <= desktop.bottom)
        << "menu " << i << " leaves the screen";
    UnionRect(&both, &both, &rects[i]);
  }
  RECT overlap{};
  EXPECT_FALSE(IntersectRect(&overlap, &rects[0], &rects[1]) &&
               overlap.right - overlap.left > MulDiv(8, dpi, 96))
      << "the snooze menu covers the tray menu";
  const char* dir = std::getenv("BRIMLET_SCREENSHOT_DIR");
  if (dir != nullptr && *dir != '\0') {
    Sleep(300);
    SaveScreenPart(both, std::string(dir) + "\\tray_menu_snoozed_" + Locale() + "_" +
                             std::to_string(dpi) + ".bmp");
  }
  PostMessageA(menus[0], WM_KEYDOWN, VK_ESCAPE, 0);
  PostMessageA(menus[0], WM_KEYDOWN, VK_ESCAPE, 0);
}

INSTANTIATE_TEST_SUITE_P(Dpi, TextFit, testing::Values(96, 144, 192),
                         [](const testing::TestParamInfo<int>& info) {
                           return std::to_string(info.param);
                         });

}  // namespace
