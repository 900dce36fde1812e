// The "what uses the space" scan and window on the tree of make_fixture.py,
// mapped as the drive BRIMLET_SCAN_DRIVE; BRIMLET_SCAN_EXPECT holds what the
// scan must find there (largest_items_test.sh makes both).
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "child_process.h"
#include "core/space_scan.h"
#include "framework/resource_language.h"
#include "resources/resource.h"
#include "ui/desktop_doors.h"
#include "ui/largest_items_dlg.h"
#include "ui/largest_items_folders_win.h"
#include "window_search.h"
#include "windows_path.h"

namespace {

using Clock = std::chrono::steady_clock;

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line) && lines.size() < 1000;) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

// The expected rows, and "counts\tUNREADABLE\tNOT_FOLLOWED" first.
std::vector<std::string> Expected() {
  std::ifstream in(Env("BRIMLET_SCAN_EXPECT"), std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return Lines(text.str());
}

std::string StatusOf(HWND dialog) {
  char text[512] = {};
  GetDlgItemTextA(dialog, IDC_LARGEST_STATUS, text, sizeof(text));
  return text;
}

// Pumps messages until the status starts as the string `id` does before its
// first placeholder, for at most `ms`.
bool WaitForStatus(HWND dialog, UINT id, int ms) {
  const std::string text = fw::LoadResString(id);
  const std::string start = text.substr(0, text.find('%'));
  const Clock::time_point end = Clock::now() + std::chrono::milliseconds(ms);
  while (Clock::now() < end) {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    if (StatusOf(dialog).compare(0, start.size(), start) == 0) return true;
    Sleep(5);
  }
  return false;
}

std::string shellFile, shellParameters;
HINSTANCE WINAPI RecordShell(HWND, LPCSTR, LPCSTR file, LPCSTR parameters, LPCSTR, INT) {
  shellFile = file != nullptr ? file : "";
  shellParameters = parameters != nullptr ? parameters : "";
  return reinterpret_cast<HINSTANCE>(33);
}

class LargestItems : public testing::Test {
 protected:
  void SetUp() override {
    drive_ = Env("BRIMLET_SCAN_DRIVE");
    expected_ = Expected();
    ASSERT_FALSE(drive_.empty());
    ASSERT_GT(expected_.size(), 2u);
  }
  std::string drive_;
  std::vector<std::string> expected_;
};

TEST_F(LargestItems, ScanFindsTheFixturesSizesAndCountsWhatItDidNotEnter) {
  CWinFolderSource source(drive_);
  std::atomic<bool> stop{false};
  const ScanResult result = ScanSpace(source, stop, nullptr);
  std::vector<ScanRow> rows = result.folders;
  rows.insert(rows.end(), result.files.begin(), result.files.end());
  const std::vector<std::string> got = Lines(ClipboardText(drive_, ScanTime{}, rows));
  ASSERT_EQ(expected_.size(), got.size());
  for (std::size_t i = 1; i < got.size(); ++i) EXPECT_EQ(expected_[i], got[i]) << "row " << i;
  EXPECT_EQ(expected_[0], "counts\t" + std::to_string(result.unreadable) + "\t" +
                              std::to_string(result.notFollowed));
  EXPECT_EQ(2u, result.snapshots);
  EXPECT_FALSE(result.partial || result.rootUnreadable);
}

TEST_F(LargestItems, NamesOutsideTheCodePageAreMarkedAndAMissingDriveIsAnswered) {
  bool lossy = false;
  EXPECT_EQ("names\\?mega.bin", AnsiFromUtf8("names\\\xce\xa9mega.bin", &lossy));
  EXPECT_TRUE(lossy);
  EXPECT_EQ("caf\xe9", AnsiFromUtf8("caf\xc3\xa9", &lossy));
  EXPECT_FALSE(lossy);
  CWinFolderSource gone("B:\\nowhere");
  std::atomic<bool> stop{false};
  EXPECT_TRUE(ScanSpace(gone, stop, nullptr).rootUnreadable);
}

TEST_F(LargestItems, WindowListsCopiesOpensCancelsAndGoesDuringAScan) {
  CLargestItemsDlg dialog;
  ASSERT_TRUE(dialog.Create(nullptr));
  HWND window = dialog.m_hWnd;
  dialog.Open(drive_, 100000);
  ASSERT_TRUE(WaitForStatus(window, IDS_LARGEST_DONE, 30000)) << StatusOf(window);
  HWND list = GetDlgItem(window, IDC_LARGEST_LIST);
  EXPECT_EQ(static_cast<LRESULT>(expected_.size() - 1), SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));

  // Copy, read back as Unicode and as ANSI text, row by row.
  SendMessageA(window, WM_COMMAND, IDC_LARGEST_COPY, 0);
  ASSERT_TRUE(OpenClipboard(window));
  HANDLE unicode = GetClipboardData(CF_UNICODETEXT);
  ASSERT_NE(nullptr, unicode);
  const auto* wide = static_cast<const wchar_t*>(GlobalLock(unicode));
  const std::vector<std::string> got = Lines(Utf8FromWide(wide, wcslen(wide)));
  GlobalUnlock(unicode);
  const bool ansi = GetClipboardData(CF_TEXT) != nullptr;
  CloseClipboard();
  EXPECT_TRUE(ansi);
  ASSERT_EQ(expected_.size(), got.size());
  EXPECT_TRUE(std::regex_match(got[0], std::regex(R"(.:\\\t\d\d-\d\d-\d{4} \d\d:\d\d:\d\d)")))
      << got[0];
  for (std::size_t i = 1; i < got.size(); ++i) EXPECT_EQ(expected_[i], got[i]) << "row " << i;

  // Open: a folder in Explorer, a file selected in its folder.
  SetShellOpen(RecordShell);
  const std::size_t firstFile =
      1 + static_cast<std::size_t>(std::count_if(
              expected_.begin(), expected_.end(),
              [](const std::string& line) { return line.rfind("folder\t", 0) == 0; }));
  for (int row : {0, static_cast<int>(firstFile) - 1}) {
    LVITEMA item{};
    item.stateMask = item.state = LVIS_SELECTED;
    SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    SendMessageA(window, WM_COMMAND, IDC_LARGEST_OPEN, 0);
    const std::string path = expected_[static_cast<std::size_t>(row) + 1].substr(
        expected_[static_cast<std::size_t>(row) + 1].rfind('\t') + 1);
    EXPECT_EQ("explorer.exe", shellFile);
    EXPECT_EQ((row == 0 ? "\"" : "/select,\"") + drive_ + path + "\"", shellParameters);
  }
  SetShellOpen(nullptr);

  // Cancel right after the start: partial, within a second.
  dialog.Open(drive_, 0);
  SendMessageA(window, WM_COMMAND, IDC_LARGEST_STOP, 0);
  EXPECT_TRUE(WaitForStatus(window, IDS_LARGEST_PARTIAL, 1000)) << StatusOf(window);

  // Closing and destroying during a scan wait for its thread, within a second.
  dialog.Open(drive_, 0);
  const Clock::time_point start = Clock::now();
  SendMessageA(window, WM_COMMAND, IDCANCEL, 0);
  EXPECT_FALSE(IsWindowVisible(window));
  dialog.Open(drive_, 0);
  dialog.DestroyWindow();
  EXPECT_LT(Clock::now() - start, std::chrono::seconds(1));
}

// The real program: Exit right behind the command that starts a scan ends
// it, scan and all, cleanly and within a second.
TEST_F(LargestItems, ExitDuringAScanEndsTheProgramWithinASecond) {
  ChildProcess monitor(WindowsPath(BRIMLET_EXE), drive_ + " 3600 75 95 % N N 0 0");
  ASSERT_TRUE(monitor.Started());
  HWND frame = WaitForWindowClass(("LaSuperAppsDeQZ" + drive_).c_str(), 15000);
  EXPECT_NE(nullptr, frame);
  if (frame != nullptr) {
    PostMessageA(frame, WM_COMMAND, ID_LARGEST_ITEMS, 0);
    PostMessageA(frame, WM_COMMAND, ID_APP_EXIT, 0);
    EXPECT_TRUE(monitor.WaitForExit(1000));
    EXPECT_EQ(0u, monitor.ExitCode());
  }
}

}  // namespace
