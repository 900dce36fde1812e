#include <string>
#include <vector>

#include "brimletd.h"

int main(int argc, char** argv) {
  return BrimletD::main(std::vector<std::string>(argv + 1, argv + argc));
}
