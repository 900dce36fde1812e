#include "console.h"

void printLine(std::ostream& out, const std::string& line) {
  out << line << '\n';
  out.flush();
}
