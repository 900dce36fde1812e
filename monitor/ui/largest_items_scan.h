// The worker thread of the "what uses the space" window: one scan at a time,
// started by the window and joined before it goes. It tells the window by
// posted messages whose heap data the window takes and frees; progress at
// most every 100 ms (core/space_scan.h), then the result once.
#pragma once

#include <windows.h>

#include <atomic>
#include <string>
#include <thread>

#include "core/space_scan.h"

// wParam: the scan's number; lParam: a ScanProgress* the window deletes.
constexpr UINT WM_SCAN_PROGRESS = WM_APP + 40;
// wParam: the scan's number; lParam: a ScanResult* the window deletes.
constexpr UINT WM_SCAN_DONE = WM_APP + 41;

class CLargestItemsScan {
 public:
  CLargestItemsScan() = default;
  ~CLargestItemsScan() { Stop(); }
  CLargestItemsScan(const CLargestItemsScan&) = delete;
  CLargestItemsScan& operator=(const CLargestItemsScan&) = delete;

  // Starts scanning `watchedPath` for `window`; a scan still running is
  // stopped first. Answers the new scan's number.
  WPARAM Start(HWND window, const std::string& watchedPath);
  // Asks the scan to end; it posts what it found, marked partial.
  void Cancel() { stop_ = true; }
  // Cancels and waits for the thread; the walk reads the flag before every
  // name, so this takes as long as one call of the file system at most.
  void Stop();
  bool Running() const { return running_; }
  // The window calls this when the result arrives.
  void Finished() { running_ = false; }

 private:
  std::thread thread_;
  std::atomic<bool> stop_{false};
  bool running_ = false;
  WPARAM number_ = 0;
};

// Frees the data of every scan message still queued for `window`.
void DropScanMessages(HWND window);
