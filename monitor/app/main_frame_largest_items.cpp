// The frame's part in the "what uses the space" window: it makes the window
// on first use and hands it the watched path and the directory limit of the
// last reading. The poll knows nothing of the window and goes on as before.
#include "app/main_frame.h"
#include "ui/largest_items_dlg.h"

void CMainFrame::ShowLargestItems() {
  if (largestItems == nullptr) {
    largestItems = std::make_unique<CLargestItemsDlg>();
    if (!largestItems->Create(nullptr)) {
      largestItems.reset();
      return;
    }
    // Owned by the frame, like the details window.
    SetWindowLongPtrA(largestItems->m_hWnd, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(m_hWnd));
  }
  largestItems->Open(settings.watchedPath, directoryLimitKb);
}
