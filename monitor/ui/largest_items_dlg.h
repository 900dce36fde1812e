// The "what uses the space" window: a modeless dialog that scans the watched
// path on a worker thread and lists the folders directly under it with the
// size of their trees, then the largest files anywhere under it. It opens
// rows in Explorer and copies the list as text; it never deletes or moves
// anything. Made by the main frame on first use, hidden when closed (the
// scan stops then), destroyed with the frame.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "core/largest_items.h"
#include "core/space_scan.h"
#include "framework/dialog.h"
#include "ui/largest_items_scan.h"

class CLargestItemsDlg : public fw::CDialog {
 public:
  CLargestItemsDlg();

  // Shows the window; starts a scan of `watchedPath` unless one runs.
  // `limitKb` is the directory limit of the last reading, 0 without one.
  void Open(const std::string& watchedPath, uint64_t limitKb);
  // The clipboard text of the rows shown.
  std::string CopyText() const;

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  bool PreTranslateMessage(MSG* message) override;
  BOOL OnInitDialog() override;
  void OnDestroy() override;
  bool OnCommand(UINT id, UINT notifyCode) override;
  void OnOK() override;
  void OnCancel() override;

 private:
  void ShowProgress(const ScanProgress& progress);
  void ShowResult(const ScanResult& result);
  void AddRow(const ScanRow& row);
  void OpenSelected();
  void Copy();
  void SetStatus(const std::string& text);

  CLargestItemsScan scan;
  WPARAM scanNumber = 0;
  std::string watchedPath;
  uint64_t limitKb = 0;
  ScanTime scanTime;
  std::vector<ScanRow> rows;  // in the list's order, folders first
};
