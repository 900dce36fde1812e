// Modeless and modal dialogs from dialog templates of the program's
// resources, in the user's language.
#pragma once

#include "framework/wnd.h"

namespace fw {

class CDialog : public CWnd {
 public:
  explicit CDialog(UINT templateId) : templateId_(templateId) {}

  // Modeless: creates the window (visible only if the template says so).
  bool Create(CWnd* parent);
  // Modal: runs the dialog until it ends, in a loop that offers every
  // message to the application's filters; shows it above every window of
  // the thread. Answers EndDialog's result, or -1 when the dialog could not
  // be created.
  INT_PTR DoModal(CWnd* parent);
  void EndDialog(int result);

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  bool PreTranslateMessage(MSG* message) override;
  bool OnCommand(UINT id, UINT notifyCode) override;

  // Bind controls here; the default centres the dialog over its owner, or
  // over the screen when the owner is hidden or absent. TRUE lets the first
  // control in tab order take the focus.
  virtual BOOL OnInitDialog();
  // Enter / the OK button, and Escape / the close box. A modal dialog ends;
  // a modeless one is destroyed.
  virtual void OnOK();
  virtual void OnCancel();

  void CenterWindow();

 private:
  void RunModalLoop(HWND window);
  static void BringAboveThreadWindows(HWND window);

  UINT templateId_;
  bool modal_ = false;
  bool ended_ = false;  // EndDialog ran in the modal loop
  INT_PTR result_ = -1;
};

}  // namespace fw
