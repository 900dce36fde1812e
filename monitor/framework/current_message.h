// The message being dispatched on this thread. Every window procedure of the
// framework, and every window hook, saves the record, fills it for its own
// message and restores it afterwards, so default handling always answers the
// message that is being handled even when handlers send messages themselves.
#pragma once

#include <windows.h>

namespace fw {

MSG& CurrentMessage();

// Fills the record for one dispatch and restores the previous one on exit.
class CurrentMessageScope {
 public:
  CurrentMessageScope(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  ~CurrentMessageScope();
  CurrentMessageScope(const CurrentMessageScope&) = delete;
  CurrentMessageScope& operator=(const CurrentMessageScope&) = delete;

 private:
  MSG saved_;
};

}  // namespace fw
