// Entry point of the monitor.
#include <windows.h>

#include "app/brimlet_app.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
  static CBrimletApp app;
  return fw::RunApplication(app, instance, commandLine);
}
