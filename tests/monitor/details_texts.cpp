// details_texts [MS]: prints the texts of a running monitor's details window
// for a test script. Waits (at most MS milliseconds, default 20000) for a
// visible details window whose figures a poll has written, then prints
//   window=LEFT TOP WIDTH HEIGHT   its place on the screen
//   caption=TEXT
//   NAME=TEXT                      each control a poll writes (IDC_ names)
//   static=TEXT                    each fixed label, in template order
// Exit status 0, or 1 when no such window appeared.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "resources/resource.h"
#include "window_search.h"

namespace {

struct NamedControl {
  int id;
  const char* name;
};

const NamedControl kWrittenControls[] = {
    {IDC_WATCHED_PATH, "IDC_WATCHED_PATH"}, {IDC_LOGIN_NAME, "IDC_LOGIN_NAME"},
    {IDC_SERVER_NAME, "IDC_SERVER_NAME"},   {IDC_SERVER_PATH, "IDC_SERVER_PATH"},
    {IDC_DIR_USED, "IDC_DIR_USED"},         {IDC_DIR_LIMIT, "IDC_DIR_LIMIT"},
    {IDC_DIR_FREE, "IDC_DIR_FREE"},         {IDC_VOL_USED, "IDC_VOL_USED"},
    {IDC_VOL_LIMIT, "IDC_VOL_LIMIT"},       {IDC_VOL_FREE, "IDC_VOL_FREE"},
    {IDC_PERCENT_TEXT, "IDC_PERCENT_TEXT"}, {IDC_STATUS_TEXT, "IDC_STATUS_TEXT"},
    {IDC_BALANCE, "IDC_BALANCE"},           {IDC_LOW_LIMIT, "IDC_LOW_LIMIT"},
    {IDC_PARAMETER_LINE, "IDC_PARAMETER_LINE"},
};

// The template's text of the percentage, replaced by the first poll.
constexpr char kPercentPlaceholder[] = "percentused";

std::string Text(HWND window) {
  char text[1024] = {};
  SendMessageA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
  return text;
}

bool IsPolledDetails(HWND window) {
  HWND percent = GetDlgItem(window, IDC_PERCENT_TEXT);
  return IsWindowVisible(window) && ClassOf(window) == "#32770" && percent != nullptr &&
         Text(percent) != kPercentPlaceholder;
}

BOOL CALLBACK PrintStatic(HWND control, LPARAM) {
  // A template stores IDC_STATIC (-1) as the 16-bit id 0xFFFF.
  if ((GetDlgCtrlID(control) & 0xFFFF) == 0xFFFF) std::printf("static=%s\n", Text(control).c_str());
  return TRUE;
}

}  // namespace

int main(int argc, char** argv) {
  const DWORD limitMs = argc > 1 ? static_cast<DWORD>(std::atol(argv[1])) : 20000;
  HWND details = WaitForWindowWhere(IsPolledDetails, limitMs, 100);
  if (details == nullptr) {
    std::printf("no polled details window within %lu ms\n", static_cast<unsigned long>(limitMs));
    return 1;
  }
  RECT place{};
  GetWindowRect(details, &place);
  std::printf("window=%ld %ld %ld %ld\n", place.left, place.top, place.right - place.left,
              place.bottom - place.top);
  std::printf("caption=%s\n", Text(details).c_str());
  for (const NamedControl& control : kWrittenControls) {
    std::printf("%s=%s\n", control.name, Text(GetDlgItem(details, control.id)).c_str());
  }
  EnumChildWindows(details, PrintStatic, 0);
  return 0;
}
