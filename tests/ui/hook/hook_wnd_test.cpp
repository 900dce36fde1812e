// Window hooks: chains, detaching, the window's end, nested messages and
// hooks on windows that are bound to a window object.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "framework/current_message.h"
#include "framework/wnd.h"
#include "ui/hook_wnd.h"

namespace {

constexpr UINT kProbe = WM_APP + 1;    // logged by every hook and the window
constexpr UINT kInner = WM_APP + 2;    // sent from inside a hook
constexpr UINT kSwallow = WM_APP + 3;  // consumed by a hook
constexpr LRESULT kWindowAnswer = 7;
constexpr LRESULT kSwallowAnswer = 42;
constexpr const char* kClassName = "BrimletHookTestWindow";

// What the window's own procedure saw: a name per probe, and its state when
// the last message arrived.
struct WindowLog {
  std::vector<std::string> order;
  std::vector<MSG> received;
  LONG_PTR procAtNcDestroy = 0;
  HANDLE propertyAtNcDestroy = nullptr;
  bool ncDestroyed = false;
};
WindowLog windowLog;

LRESULT CALLBACK TestWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message >= WM_APP) {
    windowLog.order.push_back("window");
    windowLog.received.push_back(MSG{window, message, wParam, lParam, 0, {}});
    return kWindowAnswer;
  }
  if (message == WM_NCDESTROY) {
    windowLog.ncDestroyed = true;
    windowLog.procAtNcDestroy = GetWindowLongPtrA(window, GWLP_WNDPROC);
    windowLog.propertyAtNcDestroy = GetPropA(window, CHookWnd::kHookProperty);
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

// Logs its name for each probe it sees, and every message number.
class NamedHook : public CHookWnd {
 public:
  NamedHook(std::vector<std::string>* order, const char* name) : order_(order), name_(name) {}

  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    seen.push_back(message);
    if (message == kProbe) {
      order_->push_back(name_);
    }
    if (message == kSwallow) {
      return kSwallowAnswer;
    }
    return CHookWnd::OnMessage(message, wParam, lParam);
  }

  std::vector<UINT> seen;

 private:
  std::vector<std::string>* order_;
  std::string name_;
};

class HookTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = TestWindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kClassName;
    RegisterClassA(&windowClass);
  }

  void SetUp() override {
    windowLog = WindowLog{};
    window = CreateWindowExA(0, kClassName, "", WS_OVERLAPPED, 0, 0, 100, 100, nullptr, nullptr,
                             GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(nullptr, window);
  }

  void TearDown() override {
    if (IsWindow(window)) {
      DestroyWindow(window);
    }
  }

  LRESULT Probe() { return SendMessageA(window, kProbe, 0, 0); }
  LONG_PTR Procedure() const { return GetWindowLongPtrA(window, GWLP_WNDPROC); }
  CHookWnd* NewestHook() const {
    return static_cast<CHookWnd*>(GetPropA(window, CHookWnd::kHookProperty));
  }
  static LONG_PTR Own() { return reinterpret_cast<LONG_PTR>(TestWindowProc); }
  static LONG_PTR Hooked() { return reinterpret_cast<LONG_PTR>(CHookWnd::HookedWindowProc); }

  HWND window = nullptr;
};

TEST_F(HookTest, TwoHooksSeeEachMessageNewestFirst) {
  NamedHook older(&windowLog.order, "older");
  NamedHook newer(&windowLog.order, "newer");
  older.Attach(window);
  newer.Attach(window);
  EXPECT_EQ(Hooked(), Procedure());
  EXPECT_EQ(&newer, NewestHook());

  EXPECT_EQ(kWindowAnswer, Probe());
  EXPECT_EQ((std::vector<std::string>{"newer", "older", "window"}), windowLog.order);
}

// Detaching either hook of two leaves the other working; detaching the
// second as well gives the window its own procedure back.
class DetachOrder : public HookTest, public ::testing::WithParamInterface<bool> {};

TEST_P(DetachOrder, LeavesTheOtherHookWorking) {
  bool detachNewer = GetParam();
  NamedHook older(&windowLog.order, "older");
  NamedHook newer(&windowLog.order, "newer");
  older.Attach(window);
  newer.Attach(window);
  NamedHook& leaving = detachNewer ? newer : older;
  NamedHook& staying = detachNewer ? older : newer;

  leaving.Detach();
  EXPECT_EQ(nullptr, leaving.HookedWindow());
  EXPECT_EQ(&staying, NewestHook());
  EXPECT_EQ(Hooked(), Procedure());
  EXPECT_EQ(kWindowAnswer, Probe());
  EXPECT_EQ((std::vector<std::string>{detachNewer ? "older" : "newer", "window"}), windowLog.order);

  staying.Detach();
  EXPECT_EQ(nullptr, NewestHook());
  EXPECT_EQ(Own(), Procedure());
  windowLog.order.clear();
  EXPECT_EQ(kWindowAnswer, Probe());
  EXPECT_EQ(std::vector<std::string>{"window"}, windowLog.order);
}

// A subclass put on after our hook stays when the hook leaves: our
// procedure stays in the chain as a pass-through to the window's own, and a
// hook attached later takes that place again.
WNDPROC laterSubclassNext = nullptr;
int laterSubclassProbes = 0;
LRESULT CALLBACK LaterSubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kProbe) ++laterSubclassProbes;
  return CallWindowProcA(laterSubclassNext, window, message, wParam, lParam);
}

TEST_F(HookTest, DetachingUnderALaterSubclassLeavesItInPlace) {
  NamedHook hook(&windowLog.order, "hook");
  hook.Attach(window);
  laterSubclassProbes = 0;
  laterSubclassNext = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(LaterSubclassProc)));
  ASSERT_EQ(Hooked(), reinterpret_cast<LONG_PTR>(laterSubclassNext));

  hook.Detach();
  EXPECT_EQ(reinterpret_cast<LONG_PTR>(LaterSubclassProc), Procedure());
  EXPECT_EQ(kWindowAnswer, Probe());
  EXPECT_EQ(1, laterSubclassProbes);
  EXPECT_EQ(std::vector<std::string>{"window"}, windowLog.order);

  NamedHook again(&windowLog.order, "again");
  again.Attach(window);
  windowLog.order.clear();
  EXPECT_EQ(kWindowAnswer, Probe());
  EXPECT_EQ(2, laterSubclassProbes);
  EXPECT_EQ((std::vector<std::string>{"again", "window"}), windowLog.order);
  EXPECT_EQ(reinterpret_cast<LONG_PTR>(LaterSubclassProc), Procedure());
}

INSTANTIATE_TEST_SUITE_P(HookTest, DetachOrder, ::testing::Values(true, false),
                         [](const ::testing::TestParamInfo<bool>& info) {
                           return std::string(info.param ? "Newer" : "Older");
                         });

TEST_F(HookTest, TheMiddleOfThreeIsUnlinked) {
  NamedHook oldest(&windowLog.order, "oldest");
  NamedHook middle(&windowLog.order, "middle");
  NamedHook newest(&windowLog.order, "newest");
  oldest.Attach(window);
  middle.Attach(window);
  newest.Attach(window);
  middle.Detach();
  Probe();
  EXPECT_EQ((std::vector<std::string>{"newest", "oldest", "window"}), windowLog.order);
}

TEST_F(HookTest, AttachingTwiceOrDetachingUnattachedChangesNothing) {
  NamedHook hook(&windowLog.order, "hook");
  hook.Detach();
  EXPECT_EQ(Own(), Procedure());
  hook.Attach(window);
  hook.Attach(window);
  Probe();
  EXPECT_EQ((std::vector<std::string>{"hook", "window"}), windowLog.order);
  hook.Detach();
  EXPECT_EQ(Own(), Procedure());
}

TEST_F(HookTest, DestroyingTheWindowGivesBackItsProcedureBeforeTheLastMessage) {
  NamedHook older(&windowLog.order, "older");
  NamedHook newer(&windowLog.order, "newer");
  older.Attach(window);
  newer.Attach(window);
  DestroyWindow(window);

  ASSERT_TRUE(windowLog.ncDestroyed);
  EXPECT_EQ(Own(), windowLog.procAtNcDestroy);
  EXPECT_EQ(nullptr, windowLog.propertyAtNcDestroy);
  EXPECT_EQ(nullptr, older.HookedWindow());
  EXPECT_EQ(nullptr, newer.HookedWindow());
  for (const NamedHook* hook : {&older, &newer}) {
    EXPECT_NE(hook->seen.end(), std::find(hook->seen.begin(), hook->seen.end(), WM_DESTROY));
    EXPECT_EQ(hook->seen.end(), std::find(hook->seen.begin(), hook->seen.end(), WM_NCDESTROY));
  }
}

// A hook that sends the window another message before passing the current
// one on: the outer record must survive the inner dispatch.
class NestingHook : public CHookWnd {
 public:
  LRESULT OnMessage(UINT message, WPARAM, LPARAM) override {
    if (message == kProbe) {
      SendMessageA(HookedWindow(), kInner, 11, 12);
    }
    return PassOnCurrent();
  }
};

TEST_F(HookTest, ANestedMessageLeavesTheOuterRecordIntact) {
  NestingHook hook;
  hook.Attach(window);
  MSG before = fw::CurrentMessage();

  EXPECT_EQ(kWindowAnswer, SendMessageA(window, kProbe, 21, 22));
  ASSERT_EQ(2u, windowLog.received.size());
  EXPECT_EQ(kInner, windowLog.received[0].message);
  EXPECT_EQ(11u, windowLog.received[0].wParam);
  EXPECT_EQ(kProbe, windowLog.received[1].message);
  EXPECT_EQ(21u, windowLog.received[1].wParam);
  EXPECT_EQ(22, windowLog.received[1].lParam);
  EXPECT_EQ(before.message, fw::CurrentMessage().message);
  EXPECT_EQ(before.hwnd, fw::CurrentMessage().hwnd);
}

TEST_F(HookTest, AHookDestroyedBeforeItsWindowSeesNoMoreMessages) {
  std::vector<std::string> goneLog;
  NamedHook older(&windowLog.order, "older");
  older.Attach(window);
  {
    NamedHook newer(&goneLog, "newer");
    newer.Attach(window);
  }
  EXPECT_EQ(&older, NewestHook());
  Probe();
  EXPECT_EQ((std::vector<std::string>{"older", "window"}), windowLog.order);
  {
    NamedHook only(&goneLog, "only");
    older.Detach();
    only.Attach(window);
  }
  EXPECT_EQ(Own(), Procedure());
  EXPECT_EQ(nullptr, NewestHook());
  windowLog.order.clear();
  EXPECT_EQ(kWindowAnswer, Probe());
  EXPECT_EQ(std::vector<std::string>{"window"}, windowLog.order);
  EXPECT_TRUE(goneLog.empty());
}

// A window object with handlers of its own, hooked afterwards.
class CountingWnd : public fw::CWnd {
 public:
  int commands = 0;
  int timers = 0;
  std::vector<UINT> ended;

 protected:
  bool OnCommand(UINT id, UINT) override {
    commands += id == 5 ? 1 : 0;
    return true;
  }
  void OnTimer(UINT_PTR id) override { timers += id == 3 ? 1 : 0; }
  void PostNcDestroy() override { ended.push_back(WM_NCDESTROY); }
};

TEST_F(HookTest, AHookedWindowObjectKeepsItsHandlersAndDefaultHandling) {
  DestroyWindow(window);
  windowLog = WindowLog{};
  CountingWnd object;
  ASSERT_TRUE(object.CreateEx(0, kClassName, "", WS_OVERLAPPED, 0, 0, 100, 100, nullptr, nullptr));
  window = object.m_hWnd;
  NamedHook hook(&windowLog.order, "hook");
  hook.Attach(window);

  SendMessageA(window, WM_COMMAND, 5, 0);
  SendMessageA(window, WM_TIMER, 3, 0);
  EXPECT_EQ(1, object.commands);
  EXPECT_EQ(1, object.timers);
  // The object does not know the probe: its default handling must reach the
  // class's procedure with the probe's own parameters.
  EXPECT_EQ(kWindowAnswer, SendMessageA(window, kProbe, 31, 32));
  EXPECT_EQ((std::vector<std::string>{"hook", "window"}), windowLog.order);
  ASSERT_EQ(1u, windowLog.received.size());
  EXPECT_EQ(31u, windowLog.received[0].wParam);
  EXPECT_EQ(32, windowLog.received[0].lParam);
  EXPECT_EQ(kSwallowAnswer, SendMessageA(window, kSwallow, 0, 0));
  EXPECT_EQ(1u, windowLog.received.size());

  object.DestroyWindow();
  EXPECT_EQ(nullptr, object.m_hWnd);
  EXPECT_EQ(std::vector<UINT>{WM_NCDESTROY}, object.ended);
  EXPECT_EQ(nullptr, hook.HookedWindow());
  EXPECT_TRUE(windowLog.ncDestroyed);
}

}  // namespace
