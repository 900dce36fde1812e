// Stands in for a web browser in the link tests: writes the command line it
// was started with to the file named by BRIMLET_RECORD_FILE. The text goes
// to a temporary file first and is renamed into place, so a reader never
// sees half of it.
#include <windows.h>

#include <string>

int main() {
  char path[MAX_PATH];
  DWORD length = GetEnvironmentVariableA("BRIMLET_RECORD_FILE", path, sizeof path);
  if (length == 0 || length >= sizeof path) {
    return 2;
  }
  std::string temporary = std::string(path) + ".part";
  HANDLE file = CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    return 3;
  }
  const char* commandLine = GetCommandLineA();
  DWORD written = 0;
  BOOL wrote = WriteFile(file, commandLine, lstrlenA(commandLine), &written, nullptr);
  CloseHandle(file);
  if (!wrote || !MoveFileExA(temporary.c_str(), path, MOVEFILE_REPLACE_EXISTING)) {
    return 4;
  }
  return 0;
}
