#include "ui/browser_open.h"

#include <optional>
#include <string>

#include "core/browser_command.h"
#include "core/open_error_text.h"
#include "ui/desktop_doors.h"

namespace {

// A registry value is read into a buffer of this many bytes.
constexpr DWORD kRegistryValueBytes = 260;

bool IsAnsiLeadByte(unsigned char byte) { return IsDBCSLeadByte(byte) != FALSE; }

// The default value of `keyName` under the classes root, opened for querying
// only. A value that is missing, longer than the buffer or not a text counts
// as unreadable: a cut or undefined command must not be started.
bool ReadClassesRootValue(const std::string& keyName, std::string* value) {
  HKEY key;
  if (RegOpenKeyExA(HKEY_CLASSES_ROOT, keyName.c_str(), 0, KEY_QUERY_VALUE, &key) !=
      ERROR_SUCCESS) {
    return false;
  }
  char data[kRegistryValueBytes + 1] = {};
  DWORD size = kRegistryValueBytes;
  DWORD type = REG_NONE;
  LONG read = RegQueryValueExA(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
  RegCloseKey(key);
  if (read != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) {
    return false;
  }
  data[size < kRegistryValueBytes ? size : kRegistryValueBytes] = '\0';
  if (type == REG_EXPAND_SZ) {
    char expanded[kBrowserCommandCapacity];
    DWORD needed = ExpandEnvironmentStringsA(data, expanded, sizeof expanded);
    if (needed == 0 || needed > sizeof expanded) {
      return false;
    }
    *value = expanded;
  } else {
    *value = data;
  }
  return true;
}

}  // namespace

UINT OpenInBrowser(const char* address, int show) {
  if (address == nullptr) {
    address = "";
  }
  UINT result = static_cast<UINT>(
      reinterpret_cast<UINT_PTR>(ShellOpen(nullptr, "open", address, nullptr, nullptr, show)));
  if (result > 32) {
    return result;
  }
  // The shell could not open it: start the browser registered for web pages.
  std::string fileType;
  if (!ReadClassesRootValue(".htm", &fileType)) {
    return result;
  }
  std::string registered;
  if (!ReadClassesRootValue(fileType + "\\shell\\open\\command", &registered)) {
    return result;
  }
  std::optional<std::string> command = BuildBrowserCommand(registered, address, IsAnsiLeadByte);
  if (!command) {
    return kOpenErrorCommandTooLong;
  }
  return WinExec(command->c_str(), static_cast<UINT>(show));
}
