// Clicking a link and opening its address: the shell first, then the browser
// registered for ".htm" pages (a recorder program of this build stands in for
// it), and the message box of every failure.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <memory>
#include <string>

#include "framework/win_app.h"
#include "link_test_ids.h"
#include "link_test_support.h"
#include "ui/browser_open.h"
#include "ui/link_label.h"

namespace {

constexpr const char* kAddress = "http://help.example/quota.html";
constexpr const char* kTestType = "BrimletTestPage";
constexpr const char* kMissingType = "BrimletMissingPage";
constexpr const char* kUnusableType = "BrimletUnusablePage";

std::string BesideThisProgram(const char* fileName) {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string result(path);
  return result.substr(0, result.find_last_of('\\') + 1) + fileName;
}

// The recorder's output file, named to it through the environment.
class RecordFile {
 public:
  RecordFile() {
    char directory[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, directory);
    path_ = std::string(directory) + "brimlet_link_record.txt";
    DeleteFileA(path_.c_str());
    SetEnvironmentVariableA("BRIMLET_RECORD_FILE", path_.c_str());
  }
  ~RecordFile() { DeleteFileA(path_.c_str()); }

  // The recorded command line, waiting at most `millis` for it to appear.
  std::string Wait(DWORD millis) const {
    DWORD start = GetTickCount();
    for (int round = 0; round < 1000; ++round) {
      HANDLE file = CreateFileA(path_.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
      if (file != INVALID_HANDLE_VALUE) {
        char text[2048] = {};
        DWORD read = 0;
        ReadFile(file, text, sizeof text - 1, &read, nullptr);
        CloseHandle(file);
        return std::string(text, read);
      }
      if (GetTickCount() - start >= millis) {
        break;
      }
      Sleep(20);
    }
    return std::string();
  }

 private:
  std::string path_;
};

class LinkOpenTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dialog.Create(nullptr));
    ASSERT_TRUE(link.SubclassDlgItem(IDC_LINK_HELP, &dialog));
    link.SetUrl(kAddress);
  }
  void TearDown() override { dialog.DestroyWindow(); }

  void Click(int x = 1, int y = 1) {
    Press();
    Release(x, y);
  }
  void Press() { SendMessageA(link.m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(1, 1)); }
  void Release(int x, int y) {
    SendMessageA(link.m_hWnd, WM_LBUTTONUP, 0,
                 MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)));
  }
  // The link and the visited colour tell whether the link counts as visited.
  COLORREF Colour() { return PaintedTextColour(link.m_hWnd); }

  fw::CWinApp app;
  FakeShell shell;
  // The fallback must never find the prefix's own browser.
  HtmAssociation association{kMissingType};
  LinkTestDialog dialog;
  CLinkLabel link;
};

TEST_F(LinkOpenTest, AClickOpensTheAddressWithTheShell) {
  shell.shellResults = {42};
  Click();
  ASSERT_EQ(1u, shell.opens.size());
  EXPECT_EQ("open", shell.opens[0].verb);
  EXPECT_EQ(kAddress, shell.opens[0].file);
  EXPECT_FALSE(shell.opens[0].withParameters);
  EXPECT_FALSE(shell.opens[0].withDirectory);
  EXPECT_EQ(SW_SHOWNORMAL, shell.opens[0].show);
  EXPECT_EQ(CLinkLabel::kVisitedColour, Colour());
  EXPECT_TRUE(shell.boxes.empty());
  EXPECT_EQ(nullptr, GetCapture());
}

TEST_F(LinkOpenTest, APressOrReleaseAloneIsNoClick) {
  shell.shellResults = {42};
  Release(1, 1);
  Press();
  EXPECT_EQ(link.m_hWnd, GetCapture());
  Release(-3, 1);  // dragged off the link before letting go
  Release(1, 1);
  EXPECT_TRUE(shell.opens.empty());
  EXPECT_EQ(nullptr, GetCapture());
}

// A double click arrives as press, release, double-click press, release:
// one browser window, not two. Its tooltip shows an "&" in the address as it
// stands.
TEST_F(LinkOpenTest, ADoubleClickOpensTheAddressOnceAndTheTooltipKeepsAmpersands) {
  shell.shellResults = {42, 42};
  Click();
  SendMessageA(link.m_hWnd, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(1, 1));
  Release(1, 1);
  EXPECT_EQ(1u, shell.opens.size());
  EXPECT_EQ(nullptr, GetCapture());

  HWND tooltip = LinkTooltip(link.m_hWnd);
  ASSERT_NE(nullptr, tooltip);
  EXPECT_NE(0, GetWindowLongA(tooltip, GWL_STYLE) & TTS_NOPREFIX);
}

struct FailureCase {
  const char* name;
  UINT code;
  const char* text;
};

class LinkOpenFailure : public LinkOpenTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(LinkOpenFailure, ClearsVisitedAndShowsTheText) {
  const FailureCase& c = GetParam();
  shell.shellResults = {42, c.code};
  Click();
  ASSERT_EQ(CLinkLabel::kVisitedColour, Colour());
  Click();
  EXPECT_EQ(CLinkLabel::kLinkColour, Colour());
  ASSERT_EQ(1u, shell.boxes.size());
  EXPECT_EQ(c.text, shell.boxes[0].text);
  EXPECT_EQ("Brimlet", shell.boxes[0].caption);
  EXPECT_EQ(static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION), shell.boxes[0].type);
  EXPECT_EQ(dialog.m_hWnd, shell.boxes[0].owner);

  // The link stays usable: the next click tries again.
  shell.shellResults = {42};
  shell.opens.clear();
  Click();
  EXPECT_EQ(1u, shell.opens.size());
  EXPECT_EQ(CLinkLabel::kVisitedColour, Colour());
}

INSTANTIATE_TEST_SUITE_P(
    LinkLabel, LinkOpenFailure,
    ::testing::Values(
        FailureCase{"SharingViolation", 26,
                    "Unable to open hyperlink:\n\nA sharing violation occurred. "},
        FailureCase{
            "LastOfTheTable", 32,
            "Unable to open hyperlink:\n\nThe specified dynamic-link library was not found."},
        FailureCase{"Unknown", 1, "Unable to open hyperlink:\n\nUnknown Error (1) occurred."}),
    [](const ::testing::TestParamInfo<FailureCase>& info) { return info.param.name; });

TEST_F(LinkOpenTest, TheFallbackStartsTheRegisteredBrowser) {
  std::string recorder = BesideThisProgram("link_browser_recorder.exe");
  ASSERT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(recorder.c_str()));
  std::string registered = "\"" + recorder + "\" \"%1\" -newwindow";
  PageType page(kTestType, registered.c_str());
  HtmAssociation pointed(kTestType);
  RecordFile record;

  shell.shellResults = {31};
  UINT result = OpenInBrowser(kAddress, SW_HIDE);
  EXPECT_GT(result, 32u);
  EXPECT_EQ("\"" + recorder + "\"  " + kAddress, record.Wait(10000));
  EXPECT_EQ(1u, shell.opens.size());
  EXPECT_EQ(SW_HIDE, shell.opens[0].show);
}

TEST_F(LinkOpenTest, AnAddressTooLongForTheCommandIsRefused) {
  std::string recorder = BesideThisProgram("link_browser_recorder.exe");
  std::string registered = "\"" + recorder + "\" \"%1\"";
  PageType page(kTestType, registered.c_str());
  HtmAssociation pointed(kTestType);
  RecordFile record;

  std::string address = "http://help.example/" + std::string(520, 'q');
  EXPECT_EQ(8u, OpenInBrowser(address.c_str(), SW_HIDE));
  link.SetUrl(address.c_str());
  Click();
  ASSERT_EQ(1u, shell.boxes.size());
  EXPECT_EQ("Unable to open hyperlink:\n\nThere was not enough memory to complete the operation.",
            shell.boxes[0].text);
  EXPECT_EQ("", record.Wait(0));
}

// An association the fallback cannot use leaves the shell's code standing.
enum class Registration { None, WithoutCommandKey, CommandWithoutValue };
struct UnusableCase {
  const char* name;
  Registration registration;
};

class UnusableAssociation : public LinkOpenTest,
                            public ::testing::WithParamInterface<UnusableCase> {};

TEST_P(UnusableAssociation, AnswersTheShellsCode) {
  const UnusableCase& c = GetParam();
  std::unique_ptr<PageType> page;
  if (c.registration == Registration::WithoutCommandKey) {
    page = std::make_unique<PageType>(kUnusableType);
  } else if (c.registration == Registration::CommandWithoutValue) {
    page = std::make_unique<PageType>(kUnusableType, nullptr);
  }
  HtmAssociation pointed(kUnusableType);
  shell.shellResults = {27};
  EXPECT_EQ(27u, OpenInBrowser(kAddress, SW_HIDE));
  EXPECT_EQ(1u, shell.opens.size());
}

INSTANTIATE_TEST_SUITE_P(
    LinkLabel, UnusableAssociation,
    ::testing::Values(UnusableCase{"TypeNotRegistered", Registration::None},
                      UnusableCase{"NoCommandKey", Registration::WithoutCommandKey},
                      UnusableCase{"CommandWithoutValue", Registration::CommandWithoutValue}),
    [](const ::testing::TestParamInfo<UnusableCase>& info) { return info.param.name; });

}  // namespace
