#include "summary/atomic_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

bool replaceFile(const std::string& path, const std::string& text, std::string* error) {
  const std::size_t slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? "" : path.substr(0, slash + 1);
  const std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
  if (base.empty()) {
    *error = path + ": " + std::strerror(EISDIR);
    return false;
  }
  std::string temporary = folder + "." + base + ".XXXXXX";
  std::vector<char> name(temporary.begin(), temporary.end());
  name.push_back('\0');
  const int fd = ::mkstemp(name.data());
  if (fd < 0) {
    *error = path + ": cannot create a file in its folder: " + std::strerror(errno);
    return false;
  }
  temporary = name.data();
  std::size_t done = 0;
  int failure = 0;
  while (done < text.size() && failure == 0) {
    const ssize_t now = ::write(fd, text.data() + done, text.size() - done);
    if (now > 0) {
      done += static_cast<std::size_t>(now);
    } else if (now < 0 && errno != EINTR) {
      failure = errno;
    }
  }
  // mkstemp makes it 0600; the collector may run as another user.
  if (failure == 0 && ::fchmod(fd, 0644) != 0) failure = errno;
  if (failure == 0 && ::fsync(fd) != 0) failure = errno;
  if (::close(fd) != 0 && failure == 0) failure = errno;
  if (failure == 0 && std::rename(temporary.c_str(), path.c_str()) != 0) failure = errno;
  if (failure != 0) {
    ::unlink(temporary.c_str());
    *error = path + ": " + std::strerror(failure);
    return false;
  }
  return true;
}
