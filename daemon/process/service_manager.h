// Telling the service manager that the daemon is ready.
#pragma once

#include <string>

// Tells the service manager that started the daemon (systemd with
// Type=notify, which names its socket in $NOTIFY_SOCKET) that the daemon is
// ready: its socket is bound and it receives. Without such a socket, as
// when started by hand, it does nothing. Answers false, with the system's
// description in *error, when a socket is named but the message does not
// reach it. Written once per platform (posix/service_manager.cpp,
// win/service_manager.cpp: no such manager).
bool notifyReady(std::string* error);
