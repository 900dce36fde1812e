#include <cstring>

#include "process/system_error.h"

std::string describeSystemError(int code) { return std::strerror(code); }
