#include "ui/largest_items_scan.h"

#include <memory>

#include "ui/largest_items_folders_win.h"

namespace {

// Posts `data` to `window`; the data is freed here when the post fails.
template <class Data>
void PostOrFree(HWND window, UINT message, WPARAM number, std::unique_ptr<Data> data) {
  if (PostMessageA(window, message, number, reinterpret_cast<LPARAM>(data.get()))) {
    data.release();
  }
}

class CPostingObserver : public ScanObserver {
 public:
  CPostingObserver(HWND window, WPARAM number) : window_(window), number_(number) {}
  void Progress(const ScanProgress& progress) override {
    PostOrFree(window_, WM_SCAN_PROGRESS, number_, std::make_unique<ScanProgress>(progress));
  }

 private:
  HWND window_;
  WPARAM number_;
};

void RunScan(HWND window, WPARAM number, std::string watchedPath, const std::atomic<bool>* stop) {
  CWinFolderSource source(watchedPath);
  CPostingObserver observer(window, number);
  auto result = std::make_unique<ScanResult>(ScanSpace(source, *stop, &observer));
  // The result must arrive; a full queue frees up as the window reads it.
  for (int attempt = 0; attempt < 50; ++attempt) {
    if (PostMessageA(window, WM_SCAN_DONE, number, reinterpret_cast<LPARAM>(result.get()))) {
      result.release();
      return;
    }
    if (!IsWindow(window)) return;
    Sleep(20);
  }
}

}  // namespace

WPARAM CLargestItemsScan::Start(HWND window, const std::string& watchedPath) {
  Stop();
  stop_ = false;
  running_ = true;
  ++number_;
  thread_ = std::thread(RunScan, window, number_, watchedPath, &stop_);
  return number_;
}

void CLargestItemsScan::Stop() {
  stop_ = true;
  if (thread_.joinable()) thread_.join();
  running_ = false;
}

void DropScanMessages(HWND window) {
  MSG message;
  for (int i = 0;
       i < 100000 && PeekMessageA(&message, window, WM_SCAN_PROGRESS, WM_SCAN_DONE, PM_REMOVE);
       ++i) {
    if (message.message == WM_SCAN_PROGRESS) {
      delete reinterpret_cast<ScanProgress*>(message.lParam);
    } else {
      delete reinterpret_cast<ScanResult*>(message.lParam);
    }
  }
}
