// A host name looked up away from the user-interface thread: a resolver
// that answers slowly, or never, must not freeze the windows. The lookup runs
// on a thread of its own, which posts the answer to the window that asked.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <string>

#include "framework/socket_address.h"

namespace fw {

struct HostFound {
  // The first IPv4 or IPv6 address in the order the resolver gives, with the
  // port asked for; nothing when the name was not found.
  std::optional<SocketAddress> address;
  int error = 0;  // the resolver's code when nothing was found
};

// Looks `host` up for both families and posts `message` to `window`, its
// lParam a HostFound* that the window takes with TakeHostFound. Answers false
// when no thread could be started (nothing will be posted then).
bool StartHostLookup(HWND window, UINT message, const std::string& host, int port);

// The answer a posted message carries, now owned by the caller.
std::unique_ptr<HostFound> TakeHostFound(LPARAM lParam);

}  // namespace fw
