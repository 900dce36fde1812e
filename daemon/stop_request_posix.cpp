#include <pthread.h>
#include <signal.h>

#include <thread>

#include "stop_request.h"

void watchForStopRequest(std::function<void()> onStop) {
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGTERM);
  sigaddset(&stopSignals, SIGINT);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
  // sigwait in a thread of its own rather than a handler: what follows a
  // signal may then lock and wait like any other code. The thread is never
  // joined; the process ends with it still parked after the first signal.
  std::thread([stopSignals, onStop] {
    int signal = 0;
    while (sigwait(&stopSignals, &signal) != 0) {
    }
    onStop();
  }).detach();
}

void stopRequestHandled() {}
