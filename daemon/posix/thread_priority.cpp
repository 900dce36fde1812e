#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>

#include "process/thread_priority.h"

// On Linux the nice value belongs to each thread, addressed by its thread
// id; any user may raise it. Elsewhere this would renice the whole process,
// so it does nothing there.
void giveWayToOtherThreads() {
#ifdef __linux__
  const id_t thread = static_cast<id_t>(::syscall(SYS_gettid));
  errno = 0;
  const int nice = ::getpriority(PRIO_PROCESS, thread);
  if (errno == 0) ::setpriority(PRIO_PROCESS, thread, nice + 5);
#endif
}
