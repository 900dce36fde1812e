#include <pthread.h>
#include <signal.h>

#include <thread>

#include "process/stop_request.h"

void watchForStopRequest(std::function<void(std::chrono::milliseconds lockPatience)> onStop) {
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGTERM);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGHUP);
  sigaddset(&stopSignals, SIGQUIT);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
  // sigwait in a thread of its own rather than a handler: what follows a
  // signal may then lock and wait like any other code. The thread is never
  // joined; the process ends with it still parked after the first signal.
  // Later stop signals stay pending and blocked: the stop that runs goes on.
  std::thread([stopSignals, onStop] {
    int signal = 0;
    while (sigwait(&stopSignals, &signal) != 0) {
    }
    onStop(kStopLockPatience);
  }).detach();
}

void stopRequestHandled() {}
