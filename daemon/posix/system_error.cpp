#include <cstring>

#include "system_error.h"

std::string describeSystemError(int code) { return std::strerror(code); }
