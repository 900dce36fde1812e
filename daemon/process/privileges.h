// Giving up the capabilities that a service start grants.
#pragma once

#include <string>

// Gives up every Linux capability the process holds. The systemd unit grants
// CAP_NET_ADMIN for the start only, so that the socket can be given a receive
// buffer past net.core.rmem_max; once that is done the daemon needs no
// privilege. A process that holds none (an ordinary user, a hand start), or
// one running as root, is left as it is. Answers false, with the system's
// reason in *error, when a capability could not be dropped. Written once per
// platform (posix/privileges.cpp, win/privileges.cpp: nothing to drop).
bool dropCapabilities(std::string* error);
