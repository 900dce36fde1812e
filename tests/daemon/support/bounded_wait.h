// Waiting in the tests for what the daemon does in another process or
// thread: the condition is looked at again after each pause, never past the
// timeout.
#pragma once

#include <chrono>
#include <thread>

template <typename Condition>
bool waitUntil(Condition done, std::chrono::milliseconds timeout,
               std::chrono::milliseconds pause = std::chrono::milliseconds(5)) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!done()) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(pause);
  }
  return true;
}
