#include "process/privileges.h"

// Windows has no capability sets to give up.
bool dropCapabilities(std::string*) { return true; }
