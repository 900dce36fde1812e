#include "process/service_manager.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstdlib>
#include <cstring>

#include "process/system_error.h"

// The notify protocol: one datagram "READY=1" to the Unix datagram socket
// that $NOTIFY_SOCKET names, either a path or, after a leading '@', a name in
// the abstract namespace (where the '@' stands for a leading zero byte and
// the name has no terminator).
bool notifyReady(std::string* error) {
  const char* name = std::getenv("NOTIFY_SOCKET");
  if (name == nullptr || name[0] == '\0') return true;

  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  const std::size_t length = std::strlen(name);
  if ((name[0] != '/' && name[0] != '@') || length >= sizeof address.sun_path) {
    *error = "NOTIFY_SOCKET=" + std::string(name) + ": " + describeSystemError(EINVAL);
    return false;
  }
  std::memcpy(address.sun_path, name, length);
  const bool abstract = name[0] == '@';
  if (abstract) address.sun_path[0] = '\0';
  const socklen_t addressLength =
      static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + length + (abstract ? 0 : 1));

  const int fd = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  if (fd < 0) {
    *error = describeSystemError(errno);
    return false;
  }
  static constexpr char kReady[] = "READY=1";
  const ssize_t sent = ::sendto(fd, kReady, sizeof kReady - 1, MSG_NOSIGNAL,
                                reinterpret_cast<const sockaddr*>(&address), addressLength);
  const int sendError = errno;
  ::close(fd);
  if (sent != static_cast<ssize_t>(sizeof kReady - 1)) {
    *error = std::string(name) + ": " + describeSystemError(sent < 0 ? sendError : EMSGSIZE);
    return false;
  }
  return true;
}
