#include "framework/current_message.h"

namespace fw {

MSG& CurrentMessage() {
  static thread_local MSG record{};
  return record;
}

CurrentMessageScope::CurrentMessageScope(HWND window, UINT message, WPARAM wParam,
                                         LPARAM lParam)
    : saved_(CurrentMessage()) {
  MSG& current = CurrentMessage();
  current.hwnd = window;
  current.message = message;
  current.wParam = wParam;
  current.lParam = lParam;
  current.time = GetMessageTime();
  DWORD pos = GetMessagePos();
  current.pt.x = static_cast<short>(LOWORD(pos));
  current.pt.y = static_cast<short>(HIWORD(pos));
}

CurrentMessageScope::~CurrentMessageScope() { CurrentMessage() = saved_; }

}  // namespace fw
