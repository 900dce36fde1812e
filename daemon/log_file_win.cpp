#include <windows.h>

#include "log_file.h"
#include "system_error.h"

bool appendLine(const std::string& fileName, const std::string& text, std::string* error) {
  const std::string record = text + kLineSeparator;
  // Append-only access makes every write land at the end as a whole; the
  // share modes let readers and log rotation open, rename or delete the file
  // while an entry is being written.
  const HANDLE file = CreateFileA(fileName.c_str(), FILE_APPEND_DATA,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    *error = describeSystemError(static_cast<int>(GetLastError()));
    return false;
  }
  DWORD written = 0;
  const BOOL ok =
      WriteFile(file, record.data(), static_cast<DWORD>(record.size()), &written, nullptr);
  const DWORD writeError = ok ? ERROR_DISK_FULL : GetLastError();
  const bool complete = ok && written == record.size();
  const bool closed = CloseHandle(file) != FALSE;
  if (complete && closed) return true;
  *error = describeSystemError(static_cast<int>(complete ? GetLastError() : writeError));
  return false;
}
