// Entry point of the monitor.
#include <windows.h>

#include "app/brimlet_app.h"
#include "netware/client_libraries/library_loading_win.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
  // Before any library is loaded by name: none from the current directory.
  RestrictDllSearch();
  static CBrimletApp app;
  return fw::RunApplication(app, instance, commandLine);
}
