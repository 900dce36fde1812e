// netcheck: checks network description files for the simulated NetWare
// client and prints the same message the client would send to the debug
// output. Exit status 0 when every file is valid, else 1.
#include <cstdio>
#include <string>

#include "simulated/description_file.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: netcheck DESCRIPTION-FILE...\n");
    return 1;
  }
  bool allValid = true;
  for (int i = 1; i < argc; ++i) {
    NetworkDescription description;
    std::string message;
    if (LoadNetworkDescription(argv[i], &description, &message)) {
      std::printf("%s: ok\n", argv[i]);
    } else {
      std::printf("%s\n", message.c_str());
      allValid = false;
    }
  }
  return allValid ? 0 : 1;
}
