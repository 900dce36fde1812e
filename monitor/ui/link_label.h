// A static text control of a dialog turned into a link: link colours, a hand
// cursor, a tooltip with the address, and the address opened in the user's
// web browser on a click (ui/browser_open.h). Bind it to the control with
// SubclassDlgItem.
//
// The dialog must be an fw::CWnd: the link paints itself through the
// reflected WM_CTLCOLORSTATIC, and its tooltip is fed from PreTranslateMessage
// by the application's message loop.
#pragma once

#include <windows.h>

#include <string>

#include "framework/wnd.h"

class CLinkLabel : public fw::CWnd {
 public:
  CLinkLabel();
  ~CLinkLabel() override;

  void SetUrl(const char* url);
  void SetUnderline(bool on);
  void FitToText();

  static constexpr COLORREF kLinkColour = RGB(0, 0, 238);
  static constexpr COLORREF kVisitedColour = RGB(85, 26, 139);
  static constexpr int kToolId = 1;

 protected:
  void PreSubclassWindow() override;  // runs PrepareLabel once when bound
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  bool PreTranslateMessage(MSG* message) override;
  HBRUSH OnCtlColorReflect(HDC dc) override;
  void OnDestroy() override;

 private:
  void PrepareLabel();
  void CreateTooltip();
  void OnClicked();
  // The message box of a failed open, owned by the link's dialog.
  void ReportOpenError(UINT code);
  void Repaint();
  HFONT UnderlineFont();
  void ReleaseResources();

  COLORREF linkColour = kLinkColour;
  COLORREF visitedColour = kVisitedColour;
  bool visited = false;
  bool underline = true;
  bool fitToText = true;
  std::string url;
  HFONT underlineFont = nullptr;  // owned
  HCURSOR handCursor = nullptr;   // a shared resource cursor: never destroyed
  HWND tooltip = nullptr;         // owned
  bool pressed = false;           // the left button went down on the link
};
