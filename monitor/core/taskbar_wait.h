// Waiting for the shell's taskbar at logon, before the tray icon can be added.
#pragma once

#include <cstdint>
#include <functional>

// Looks for the taskbar; while it is absent, waits `waitMs` and looks again,
// at most `maxWaits` times. Answers whether the taskbar is there in the end.
// The defaults give five waits of 10 s.
bool WaitForTaskbar(const std::function<bool()>& taskbarPresent,
                    const std::function<void(uint32_t ms)>& sleep, int maxWaits = 5,
                    uint32_t waitMs = 10000);
