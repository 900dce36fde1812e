// Stand-ins for the link's shell-open call and message box, a test dialog of
// static controls, and temporary ".htm" associations in the test's own Wine
// prefix.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "framework/dialog.h"

struct ShellOpenCall {
  std::string verb;
  std::string file;
  bool withParameters;
  bool withDirectory;
  int show;
};

struct MessageBoxCall {
  HWND owner;
  std::string text;
  std::string caption;
  UINT type;
};

// Stands in the shell's open door and the message box door for its lifetime
// and records every call. The shell answers `shellResults` in turn,
// repeating the last one.
class FakeShell {
 public:
  FakeShell();
  ~FakeShell();
  FakeShell(const FakeShell&) = delete;
  FakeShell& operator=(const FakeShell&) = delete;

  std::vector<UINT> shellResults{31};
  std::vector<ShellOpenCall> opens;
  std::vector<MessageBoxCall> boxes;
};

// The dialog of link_test.rc, created hidden, its controls not yet bound.
class LinkTestDialog : public fw::CDialog {
 public:
  LinkTestDialog();
  HWND Control(int id) const { return GetDlgItem(m_hWnd, id); }
};

// Points ".htm" under the classes root at `fileType` for its lifetime, and
// puts back what was there before.
class HtmAssociation {
 public:
  explicit HtmAssociation(const char* fileType);
  ~HtmAssociation();
  HtmAssociation(const HtmAssociation&) = delete;
  HtmAssociation& operator=(const HtmAssociation&) = delete;

 private:
  bool keyExisted_ = false;
  bool valueExisted_ = false;
  std::string previous_;
};

// Registers the file type `name` under the classes root for its lifetime:
// with the given open command (nullptr: the command key without a value), or
// with "shell\open" but no command key at all.
class PageType {
 public:
  PageType(const char* name, const char* openCommand);
  explicit PageType(const char* name);
  ~PageType();
  PageType(const PageType&) = delete;
  PageType& operator=(const PageType&) = delete;

 private:
  std::string name_;
};

// Rectangle of a control in its dialog's client co-ordinates.
RECT RectInDialog(HWND control);
SIZE MeasureWithDefaultFont(HWND control, const std::string& text);
std::string ControlText(HWND control);
// Text of tool 1 of a link's tooltip.
std::string TooltipText(HWND tooltip, HWND link);
// The tooltip window of this thread that has a tool for `link`, or nullptr.
HWND LinkTooltip(HWND link);
// The text colour that the link's dialog gets from it for painting it.
COLORREF PaintedTextColour(HWND link);
// A click on `link` with the shell answering success: the address it opened,
// or "" when it opened none.
std::string ClickedAddress(HWND link, FakeShell& shell);
// Runs everything queued on this thread through the application's loop.
void PumpMessages();
