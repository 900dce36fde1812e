// A network namespace of a test's own, for the end-to-end tests that need
// the system's counts to themselves or addresses of their own on loopback.
#pragma once

#include <fcntl.h>
#include <net/if.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

// The calling thread in a fresh network namespace with its loopback up, and
// back in the one it came from when the object goes, also after a failure.
class PrivateNetwork {
 public:
  PrivateNetwork() : home_(::open("/proc/thread-self/ns/net", O_RDONLY | O_CLOEXEC)) {
    if (home_ < 0 || ::unshare(CLONE_NEWNET) != 0) {
      error_ = std::strerror(errno);
      return;
    }
    entered_ = true;
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    ifreq loopback{};
    std::strcpy(loopback.ifr_name, "lo");
    loopback.ifr_flags = IFF_UP | IFF_LOOPBACK | IFF_RUNNING;
    if (fd < 0 || ::ioctl(fd, SIOCSIFFLAGS, &loopback) != 0) error_ = std::strerror(errno);
    if (fd >= 0) ::close(fd);
  }
  ~PrivateNetwork() {
    if (entered_) ::setns(home_, CLONE_NEWNET);
    if (home_ >= 0) ::close(home_);
  }
  PrivateNetwork(const PrivateNetwork&) = delete;
  PrivateNetwork& operator=(const PrivateNetwork&) = delete;

  bool ready() const { return entered_ && error_.empty(); }
  const std::string& error() const { return error_; }

 private:
  int home_;
  bool entered_ = false;
  std::string error_;
};
