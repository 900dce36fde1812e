#include "output/journal_socket.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdlib>
#include <cstring>

#include "process/system_error.h"

namespace {

// A decimal number up to `end`, digits only.
bool readNumber(const char* from, const char* end, unsigned long long* number) {
  if (from == end || end - from > 20) return false;
  unsigned long long value = 0;
  for (const char* at = from; at != end; ++at) {
    if (*at < '0' || *at > '9') return false;
    const unsigned long long next = value * 10 + static_cast<unsigned>(*at - '0');
    if (next / 10 != value) return false;
    value = next;
  }
  *number = value;
  return true;
}

}  // namespace

bool standardOutputIsJournal() {
  const char* stream = std::getenv("JOURNAL_STREAM");
  if (stream == nullptr) return false;
  const char* colon = std::strchr(stream, ':');
  unsigned long long device = 0;
  unsigned long long inode = 0;
  if (colon == nullptr || !readNumber(stream, colon, &device) ||
      !readNumber(colon + 1, colon + 1 + std::strlen(colon + 1), &inode)) {
    return false;
  }
  struct stat output;
  if (::fstat(STDOUT_FILENO, &output) != 0) return false;
  return static_cast<unsigned long long>(output.st_dev) == device &&
         static_cast<unsigned long long>(output.st_ino) == inode;
}

JournalSocket::JournalSocket(std::string path) : path_(std::move(path)) {}

JournalSocket::~JournalSocket() {
  if (fd_ >= 0) ::close(fd_);
}

namespace {

bool journalAddress(const std::string& path, sockaddr_un* address) {
  if (path.empty() || path.size() >= sizeof address->sun_path) return false;
  *address = sockaddr_un{};
  address->sun_family = AF_UNIX;
  std::memcpy(address->sun_path, path.data(), path.size());
  return true;
}

}  // namespace

// Makes the socket and connects it to the journal, unless that is done.
bool JournalSocket::connected(std::string* error) {
  if (fd_ >= 0) return true;
  sockaddr_un address;
  if (!journalAddress(path_, &address)) {
    *error = path_ + ": " + describeSystemError(ENAMETOOLONG);
    return false;
  }
  fd_ = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  if (fd_ < 0) {
    *error = describeSystemError(errno);
    return false;
  }
  // A journal that stalls must not hold up the log for long: the wait of a
  // patient send ends after a second.
  const timeval limit{1, 0};
  ::setsockopt(fd_, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
  // A turn's entries sent at once stay booked to this socket until the
  // journal has read them: room for a few hundred, as far as the system
  // allows without privilege (it caps the size at net.core.wmem_max).
  const int sendBuffer = 1 << 20;
  ::setsockopt(fd_, SOL_SOCKET, SO_SNDBUF, &sendBuffer, sizeof sendBuffer);
  if (::connect(fd_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
    *error = path_ + ": " + describeSystemError(errno);
    ::close(fd_);
    fd_ = -1;
    return false;
  }
  return true;
}

bool JournalSocket::send(const std::string& payload, bool patient, std::string* error) {
  const int flags = MSG_NOSIGNAL | (patient ? 0 : MSG_DONTWAIT);
  ssize_t sent = -1;
  // Connected once, the socket sends without looking the journal's path up
  // for every entry. A journal that was restarted since refuses the old
  // connection: the socket is made and connected again, once.
  for (int attempt = 0; attempt < 2; ++attempt) {
    if (!connected(error)) return false;
    do {
      sent = ::send(fd_, payload.data(), payload.size(), flags);
    } while (sent < 0 && errno == EINTR);
    if (sent >= 0 || (errno != ECONNREFUSED && errno != ENOTCONN)) break;
    ::close(fd_);
    fd_ = -1;
  }
  if (sent == static_cast<ssize_t>(payload.size())) return true;
  if (sent < 0 && errno == EMSGSIZE) return sendInMemoryFile(payload, error);
  *error = path_ + ": " + describeSystemError(sent < 0 ? errno : EMSGSIZE);
  return false;
}

std::size_t JournalSocket::sendWhileTaken(const std::string* payloads, std::size_t count,
                                          bool* full) {
  *full = false;
  std::string error;
  if (count == 0 || !connected(&error)) return 0;
  constexpr std::size_t kAtOnce = 64;
  iovec parts[kAtOnce];
  mmsghdr messages[kAtOnce];
  std::size_t taken = 0;
  while (taken < count) {
    const std::size_t now = std::min(count - taken, kAtOnce);
    for (std::size_t i = 0; i < now; ++i) {
      const std::string& payload = payloads[taken + i];
      parts[i] = iovec{const_cast<char*>(payload.data()), payload.size()};
      messages[i] = mmsghdr{};
      messages[i].msg_hdr.msg_iov = &parts[i];
      messages[i].msg_hdr.msg_iovlen = 1;
    }
    int sent;
    do {
      sent = ::sendmmsg(fd_, messages, static_cast<unsigned>(now), MSG_NOSIGNAL | MSG_DONTWAIT);
    } while (sent < 0 && errno == EINTR);
    // After a short count the next call, from the first one not sent, tells
    // why it was not.
    if (sent < 0) {
      *full = errno == EAGAIN || errno == EWOULDBLOCK;
      break;
    }
    // A datagram goes whole or not at all.
    taken += static_cast<std::size_t>(sent);
  }
  return taken;
}

bool JournalSocket::sendInMemoryFile(const std::string& payload, std::string* error) {
  const int memory = ::memfd_create("brimletd-journal", MFD_CLOEXEC | MFD_ALLOW_SEALING);
  if (memory < 0) {
    *error = path_ + ": entry too large, and no memory file: " + describeSystemError(errno);
    return false;
  }
  std::size_t done = 0;
  while (done < payload.size()) {
    const ssize_t now = ::write(memory, payload.data() + done, payload.size() - done);
    if (now <= 0 && errno != EINTR) break;
    if (now > 0) done += static_cast<std::size_t>(now);
  }
  // The journal takes only a memory file that nobody can change any more.
  if (done != payload.size() ||
      ::fcntl(memory, F_ADD_SEALS, F_SEAL_SHRINK | F_SEAL_GROW | F_SEAL_WRITE | F_SEAL_SEAL) != 0) {
    *error = path_ + ": entry too large, memory file failed: " + describeSystemError(errno);
    ::close(memory);
    return false;
  }
  sockaddr_un address;
  journalAddress(path_, &address);
  alignas(cmsghdr) char control[CMSG_SPACE(sizeof(int))] = {};
  msghdr message{};
  message.msg_name = &address;
  message.msg_namelen = sizeof address;
  message.msg_control = control;
  message.msg_controllen = sizeof control;
  cmsghdr* header = CMSG_FIRSTHDR(&message);
  header->cmsg_level = SOL_SOCKET;
  header->cmsg_type = SCM_RIGHTS;
  header->cmsg_len = CMSG_LEN(sizeof(int));
  std::memcpy(CMSG_DATA(header), &memory, sizeof memory);
  ssize_t sent;
  do {
    sent = ::sendmsg(fd_, &message, MSG_NOSIGNAL);
  } while (sent < 0 && errno == EINTR);
  const int sendError = errno;
  ::close(memory);
  if (sent < 0) {
    *error = path_ + ": " + describeSystemError(sendError);
    return false;
  }
  return true;
}
