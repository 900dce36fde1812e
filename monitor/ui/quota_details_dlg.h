// The details window: every figure of the watched home directory, the
// balance, the auto-show switch and two help links. Created once, hidden, by
// the main frame; shown on demand and hidden again when closed, so it keeps
// its place on the screen for the whole run.
#pragma once

#include <windows.h>

#include <functional>
#include <utility>

#include "core/details_view.h"
#include "framework/dialog.h"
#include "ui/colour_label.h"
#include "ui/link_label.h"

class CQuotaDetailsDlg : public fw::CDialog {
 public:
  CQuotaDetailsDlg();

  // Writes one poll's view into every control, whether the window is shown
  // or not.
  void Display(const DetailsView& view);
  // Shows the window and brings it to the front with the focus.
  void Open();
  // Makes `owner` the window's owner: a pop-up owned by the frame is what a
  // second copy of the program brings to the front.
  void SetOwner(HWND owner);
  // OK ends the program instead of hiding the window.
  void SetExitOnOk(bool on) { exitOnOk = on; }
  // Ticks or clears the auto-show box (whether the window may open by itself
  // when the level rises to danger); the frame keeps the switch itself.
  void SetAutoShowBox(bool on);
  // Called with the box's new state whenever the user switches it.
  void OnAutoShowChanged(std::function<void(bool)> changed) { autoShowChanged = std::move(changed); }
  // With the box hidden the user cannot switch auto-show on during the run.
  void HideAutoShowBox();

 protected:
  BOOL OnInitDialog() override;
  bool OnCommand(UINT id, UINT notifyCode) override;
  void OnOK() override;
  void OnCancel() override;

 private:
  CColourLabel balanceLabel;
  // The balance label's colour right after binding, to go back to.
  COLORREF balanceDefaultColour = 0;
  CLinkLabel printHelpLink;
  CLinkLabel quotaHelpLink;
  // OK ends the program instead of hiding the window.
  bool exitOnOk = false;
  std::function<void(bool)> autoShowChanged;
};
