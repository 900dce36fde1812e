// A stand-in for the notification area: records every call the tray icon
// makes, with the record as it was at the call, and answers as told. With
// passThrough it calls the real shell and records the shell's answer.
#pragma once

#include <windows.h>

#include <shellapi.h>

#include <string>
#include <vector>

struct ShellCall {
  DWORD action;
  DWORD size;
  HWND window;
  UINT id;
  UINT flags;
  UINT callbackMessage;
  HICON icon;
  // The tooltip as far as the record's form holds it (64 bytes in the short
  // form, 128 in the extended one), and whether it ends there.
  std::string tooltip;
  bool tooltipEnds;
  BOOL answer;
  // The balloon fields as the record holds them; the shell reads them only
  // when the flags hold NIF_INFO.
  std::string infoTitle;
  std::string info;
  DWORD infoFlags;
};

class ShellRecorder {
 public:
  // Installs itself in the shell's place until destroyed.
  ShellRecorder();
  ~ShellRecorder();
  ShellRecorder(const ShellRecorder&) = delete;
  ShellRecorder& operator=(const ShellRecorder&) = delete;

  std::vector<ShellCall> calls;
  BOOL answer = TRUE;
  bool passThrough = false;

  // The icons of the modify calls recorded from `first` on, in order.
  std::vector<HICON> ModifiedIcons(size_t first = 0) const;

 private:
  static BOOL Record(DWORD action, NOTIFYICONDATAA* data);
};

// Distinct icon handles for the recorder, named after the pictures.
inline HICON FakeIcon(int id) { return reinterpret_cast<HICON>(static_cast<INT_PTR>(id)); }
