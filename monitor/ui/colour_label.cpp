#include "ui/colour_label.h"

CColourLabel::CColourLabel()
    : textColour(GetSysColor(COLOR_BTNTEXT)),
      backColour(GetSysColor(COLOR_BTNFACE)),
      backBrush(CreateSolidBrush(backColour)) {}

CColourLabel::~CColourLabel() { DeleteBrush(); }

void CColourLabel::DeleteBrush() {
  if (backBrush != nullptr) {
    DeleteObject(backBrush);
    backBrush = nullptr;
  }
}

void CColourLabel::SetTextColour(COLORREF colour) {
  textColour = colour == kSystemTextColour ? GetSysColor(COLOR_BTNTEXT) : colour;
  if (m_hWnd != nullptr) {
    InvalidateRect(m_hWnd, nullptr, TRUE);
  }
}

HBRUSH CColourLabel::OnCtlColorReflect(HDC dc) {
  // Bound again after its first window went: the brush went with it.
  if (backBrush == nullptr) {
    backBrush = CreateSolidBrush(backColour);
  }
  SetTextColor(dc, textColour);
  SetBkColor(dc, backColour);
  return backBrush;
}

void CColourLabel::PostNcDestroy() { DeleteBrush(); }
