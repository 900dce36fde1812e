// Standard output, where the daemon reports everything, one line at a time.
#pragma once

#include <ostream>
#include <string>

// Prints one line and flushes it at once: under a service manager standard
// output is a pipe, and an operator watching the journal must see each line
// as it happens.
void printLine(std::ostream& out, const std::string& line);
