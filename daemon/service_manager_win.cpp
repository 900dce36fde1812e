#include "service_manager.h"

// A Windows service would report to the service control manager instead;
// brimletd.exe runs as a console program.
bool notifyReady(std::string*) { return true; }
