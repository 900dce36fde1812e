#include "output/daemon_events.h"

// The journal takes the daemon's lines here (alert_journal.h).
std::unique_ptr<DaemonEvents> DaemonEvents::forThisProcess() {
  return std::make_unique<DaemonEvents>();
}
