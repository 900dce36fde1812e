// A static text control of a dialog turned into a link: link colours, a hand
// cursor, a tooltip with the address, and the address opened in the user's
// web browser on a click. Bind it to the control with SubclassDlgItem.
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
  void SetVisited(bool on);
  void FitToText();

  const std::string& Url() const { return url; }
  bool Visited() const { return visited; }
  bool Underline() const { return underline; }

  static constexpr COLORREF kLinkColour = RGB(0, 0, 238);
  static constexpr COLORREF kVisitedColour = RGB(85, 26, 139);

 protected:
  void PreSubclassWindow() override;  // runs PrepareLabel once when bound

 private:
  COLORREF linkColour = kLinkColour;
  COLORREF visitedColour = kVisitedColour;
  bool visited = false;
  bool underline = true;
  bool fitToText = true;
  std::string url;
};
