// brimletd_journal_stream IDENTIFIER PROGRAM [ARG...]
// Runs PROGRAM with its standard output on a stream to the journal, as a
// service's is under systemd: connected to the journal's stdout socket,
// announced with IDENTIFIER, and named in $JOURNAL_STREAM. For the benchmark
// and the tests, which run a journal of their own and no service manager.
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: brimletd_journal_stream IDENTIFIER PROGRAM [ARG...]\n");
    return 2;
  }
  const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strcpy(address.sun_path, "/run/systemd/journal/stdout");
  if (fd < 0 || ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    std::perror("brimletd_journal_stream: /run/systemd/journal/stdout");
    return 1;
  }
  ::shutdown(fd, SHUT_RD);
  // Identifier, unit, priority 6, no level prefix, no forwarding.
  const std::string header = std::string(argv[1]) + "\n\n6\n0\n0\n0\n0\n";
  struct stat stream;
  if (::write(fd, header.data(), header.size()) != static_cast<ssize_t>(header.size()) ||
      ::dup2(fd, STDOUT_FILENO) < 0 || ::fstat(STDOUT_FILENO, &stream) != 0) {
    std::perror("brimletd_journal_stream");
    return 1;
  }
  const std::string name = std::to_string(stream.st_dev) + ":" + std::to_string(stream.st_ino);
  ::setenv("JOURNAL_STREAM", name.c_str(), 1);
  ::execv(argv[2], argv + 2);
  std::perror(argv[2]);
  return 127;
}
