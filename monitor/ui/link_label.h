// A static text control of a dialog turned into a link: link colours, a hand
// cursor, a tooltip with the address, and the address opened in the user's
// web browser on a click. Bind it to the control with SubclassDlgItem.
//
// The dialog must be an fw::CWnd: the link paints itself through the
// reflected WM_CTLCOLORSTATIC, and its tooltip is fed from PreTranslateMessage
// by the application's message loop.
#pragma once

#include <windows.h>

#include <string>

#include "framework/wnd.h"
#include "ui/browser_open.h"

class CLinkLabel : public fw::CWnd {
 public:
  CLinkLabel();
  ~CLinkLabel() override;

  void SetUrl(const char* url);
  void SetUnderline(bool on);
  void SetVisited(bool on);
  void FitToText();

  const std::string& Url() const { return url; }
  bool Visited() const { return visited; }
  bool Underline() const { return underline; }
  HWND Tooltip() const { return tooltip; }

  // Opens `address` in the user's web browser through OpenInBrowser with
  // shellOpen below; above 32 is success.
  static UINT OpenUrl(const char* address, int show);
  // The message box of a failed open, owned by the link's dialog.
  void ReportOpenError(UINT code);

  static constexpr COLORREF kLinkColour = RGB(0, 0, 238);
  static constexpr COLORREF kVisitedColour = RGB(85, 26, 139);
  static constexpr int kToolId = 1;

  // Seams for the shell-open call and the message box: tests put their own
  // functions here, so that no browser starts and no message box waits for a
  // user who is not there.
  using MessageBoxFunction = int(WINAPI*)(HWND, LPCSTR, LPCSTR, UINT);
  static ShellOpenFunction shellOpen;
  static MessageBoxFunction messageBox;

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
