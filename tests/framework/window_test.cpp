// Window objects, default handling, command routing and the message loop.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "framework/current_message.h"
#include "framework/frame_wnd.h"
#include "framework/win_app.h"

namespace {

constexpr UINT kOuter = WM_APP + 1;
constexpr UINT kInner = WM_APP + 2;

// A class whose own procedure records what reaches it, so tests can see what
// the object passed on through Default().
std::vector<UINT> classProcSeen;
WPARAM lastOuterWParam = 0;

LRESULT CALLBACK RecordingClassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message >= WM_APP) {
    classProcSeen.push_back(message);
    if (message == kOuter) {
      lastOuterWParam = wParam;
    }
    return 7;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

const char* RecordingClass() {
  static const char* name = [] {
    WNDCLASSA wc{};
    wc.lpfnWndProc = RecordingClassProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "FwTestRecording";
    RegisterClassA(&wc);
    return "FwTestRecording";
  }();
  return name;
}

class TestApp : public fw::CWinApp {
 public:
  bool OnCommand(UINT id) override {
    routed.push_back(id);
    return id == 500;
  }
  std::vector<UINT> routed;
};

class TestFrame : public fw::CFrameWnd {
 public:
  explicit TestFrame(const char* className = nullptr) : className_(className) {}
  bool created = false;
  bool sawNcCreate = false;
  std::vector<UINT> commands;
  std::vector<UINT_PTR> timers;

 protected:
  bool PreCreateWindow(CREATESTRUCTA& cs) override {
    if (className_ != nullptr) {
      cs.lpszClass = className_;
    }
    return fw::CFrameWnd::PreCreateWindow(cs);
  }
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_NCCREATE) {
      sawNcCreate = true;
    }
    if (message == kOuter) {
      // A message sent from inside a handler must not disturb the record of
      // the one being handled.
      SendMessageA(m_hWnd, kInner, 99, 0);
      return Default();
    }
    return fw::CFrameWnd::WindowProc(message, wParam, lParam);
  }
  int OnCreate(CREATESTRUCTA* cs) override {
    created = true;
    return fw::CFrameWnd::OnCreate(cs);
  }
  bool OnCommand(UINT id, UINT code) override {
    commands.push_back(id);
    if (id == 400) {
      return true;
    }
    return fw::CFrameWnd::OnCommand(id, code);
  }
  void OnTimer(UINT_PTR id) override { timers.push_back(id); }

 private:
  const char* className_;
};

TEST(WindowObject, IsBoundBeforeItsFirstMessageWhateverItsClassProcedure) {
  TestApp app;
  TestFrame frame(RecordingClass());
  ASSERT_TRUE(frame.Create("title"));
  EXPECT_TRUE(frame.sawNcCreate);
  EXPECT_TRUE(frame.created);
  EXPECT_EQ(&frame, fw::CWnd::FromHandle(frame.m_hWnd));
  char className[64];
  GetClassNameA(frame.m_hWnd, className, sizeof className);
  EXPECT_STREQ("FwTestRecording", className);
  frame.DestroyWindow();
  EXPECT_EQ(nullptr, frame.m_hWnd);
}

TEST(WindowObject, DefaultAnswersTheMessageBeingHandledAfterNestedSends) {
  TestApp app;
  TestFrame frame(RecordingClass());
  ASSERT_TRUE(frame.Create("title"));
  classProcSeen.clear();
  LRESULT result = SendMessageA(frame.m_hWnd, kOuter, 42, 0);
  EXPECT_EQ(7, result);
  ASSERT_EQ(2u, classProcSeen.size());
  EXPECT_EQ(kInner, classProcSeen[0]);
  EXPECT_EQ(kOuter, classProcSeen[1]);
  EXPECT_EQ(42u, lastOuterWParam);
  frame.DestroyWindow();
}

TEST(CommandRouting, CommandsTheFrameLeavesReachTheApplication) {
  TestApp app;
  TestFrame frame;
  ASSERT_TRUE(frame.Create("title"));
  SendMessageA(frame.m_hWnd, WM_COMMAND, MAKEWPARAM(400, 0), 0);
  SendMessageA(frame.m_hWnd, WM_COMMAND, MAKEWPARAM(500, 0), 0);
  EXPECT_EQ((std::vector<UINT>{400, 500}), frame.commands);
  EXPECT_EQ((std::vector<UINT>{500}), app.routed);
  frame.DestroyWindow();
}

TEST(MessageLoop, EndsWhenTheMainWindowIsDestroyed) {
  TestApp app;
  TestFrame frame;
  ASSERT_TRUE(frame.Create("title"));
  app.m_pMainWnd = &frame;
  // WM_CLOSE reaches DefWindowProc, which destroys the window; the frame
  // then ends the loop.
  PostMessageA(frame.m_hWnd, WM_CLOSE, 0, 0);
  EXPECT_EQ(0, app.Run());
  EXPECT_EQ(nullptr, frame.m_hWnd);
}

}  // namespace
