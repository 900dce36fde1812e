// Path rules of the simulated network. Paths use backslashes and compare
// without regard to letter case, as on NetWare and DOS.
#pragma once

#include <string>

bool EqualsIgnoringCase(const std::string& a, const std::string& b);

// True when path is root itself or lies below it (at a component boundary);
// rest is then the part below root, without separators at either end.
bool PathUnder(const std::string& path, const std::string& root, std::string* rest);

// root and rest joined by one backslash (none after "VOL:" or a trailing one).
std::string JoinPath(const std::string& root, const std::string& rest);

// The volume part of a server path ("SYS" of "SYS:USERS"); empty without ':'.
std::string VolumeOfServerPath(const std::string& serverPath);

// True when every directory name after the volume is a valid short 8.3 name
// (upper case, at most 8 characters, an extension of at most 3).
bool IsShortNamePath(const std::string& serverPath);
