#include "process/service_manager.h"

#include "win/service.h"

// As the service, the service control manager hears that it is running;
// a console start has no manager to tell.
bool notifyReady(std::string*) {
  reportServiceRunning();
  return true;
}
