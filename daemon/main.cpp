#include <csignal>
#include <string>
#include <vector>

#include "brimletd.h"

int main(int argc, char** argv) {
#ifdef SIGPIPE
  // The console is a courtesy and the log file is the record: a console
  // behind a closed pipe (`brimletd ... | head -n 1`) must not end the
  // daemon. The failed console write is then simply lost.
  std::signal(SIGPIPE, SIG_IGN);
#endif
#ifdef SIGXFSZ
  // Under a file-size limit the write that crosses it fails with EFBIG and is
  // reported like any other file error, instead of killing the daemon.
  std::signal(SIGXFSZ, SIG_IGN);
#endif
  return BrimletD::main(std::vector<std::string>(argv + 1, argv + argc));
}
