// The system's description of an error code, per platform.
#pragma once

#include <string>

// The platform's own description of an error code: an errno value on POSIX,
// a GetLastError or WSAGetLastError value on Windows. Every error line the
// daemon prints ends with it, except the fixed line of a failed receive.
std::string describeSystemError(int code);
