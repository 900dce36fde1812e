// A static text control with its own text and background colours, bound to
// a dialog control with SubclassDlgItem. The dialog asks the control for its
// colours before painting it.
#pragma once

#include <windows.h>

#include "framework/wnd.h"

class CColourLabel : public fw::CWnd {
 public:
  // Colours of a button face with button text, as the dialog's own texts.
  CColourLabel();
  // Frees the brush when the object goes before its window.
  ~CColourLabel() override;

  // kSystemTextColour stands for the system's button-text colour; any other
  // value is an RGB colour. The control is repainted, background erased.
  void SetTextColour(COLORREF colour);
  COLORREF GetTextColour() const { return textColour; }

  static constexpr COLORREF kSystemTextColour = static_cast<COLORREF>(-1);

 protected:
  HBRUSH OnCtlColorReflect(HDC dc) override;
  void PostNcDestroy() override;

 private:
  void DeleteBrush();

  COLORREF textColour;
  COLORREF backColour;
  HBRUSH backBrush;
};
