#include "shell_recorder.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "ui/shell_notify.h"

namespace {
ShellRecorder* active = nullptr;
}

ShellRecorder::ShellRecorder() {
  active = this;
  SetShellNotify(Record);
}

ShellRecorder::~ShellRecorder() {
  SetShellNotify(nullptr);
  active = nullptr;
}

BOOL ShellRecorder::Record(DWORD action, NOTIFYICONDATAA* data) {
  BOOL answer = active->passThrough ? Shell_NotifyIconA(action, data) : active->answer;
  // The shell reads no tooltip byte beyond the record's size.
  const size_t tipStart = offsetof(NOTIFYICONDATAA, szTip);
  const size_t tipRoom =
      data->cbSize <= tipStart
          ? 0
          : std::min(sizeof(data->szTip), static_cast<size_t>(data->cbSize) - tipStart);
  const size_t tipLength = strnlen(data->szTip, tipRoom);
  active->calls.push_back(ShellCall{
      action, data->cbSize, data->hWnd, data->uID, data->uFlags, data->uCallbackMessage,
      data->hIcon, std::string(data->szTip, tipLength), tipLength < tipRoom, answer,
      std::string(data->szInfoTitle, strnlen(data->szInfoTitle, sizeof data->szInfoTitle)),
      std::string(data->szInfo, strnlen(data->szInfo, sizeof data->szInfo)), data->dwInfoFlags});
  return answer;
}

std::vector<HICON> ShellRecorder::ModifiedIcons(size_t first) const {
  std::vector<HICON> icons;
  for (size_t i = first; i < calls.size(); ++i) {
    if (calls[i].action == NIM_MODIFY && (calls[i].flags & NIF_ICON) != 0) {
      icons.push_back(calls[i].icon);
    }
  }
  return icons;
}
