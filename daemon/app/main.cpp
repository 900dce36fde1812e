#include <csignal>
#include <string>
#include <vector>

#include "app/brimletd.h"
#ifdef _WIN32
#include "win/service.h"
#endif

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
  const std::vector<std::string> args(argv + 1, argv + argc);
#ifdef _WIN32
  int status = 0;
  if (runAsService(args, &BrimletD::main, &status)) return status;
#endif
  return BrimletD::main(args);
}
