#include <winsock2.h>
#include <ws2tcpip.h>

#include "framework/host_lookup.h"

#include <cstddef>
#include <cstring>
#include <system_error>
#include <thread>

namespace fw {

namespace {

std::unique_ptr<HostFound> LookUp(const std::string& host, int port) {
  auto answer = std::make_unique<HostFound>();
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_DGRAM;
  addrinfo* found = nullptr;
  answer->error = getaddrinfo(host.c_str(), nullptr, &hints, &found);
  if (answer->error != 0) return answer;
  for (const addrinfo* entry = found; entry != nullptr; entry = entry->ai_next) {
    const bool ipv4 = entry->ai_family == AF_INET && entry->ai_addrlen == sizeof(sockaddr_in);
    const bool ipv6 = entry->ai_family == AF_INET6 && entry->ai_addrlen == sizeof(sockaddr_in6);
    if (!ipv4 && !ipv6) continue;
    SocketAddress address;
    std::memcpy(address.bytes, entry->ai_addr, entry->ai_addrlen);
    address.length = static_cast<int>(entry->ai_addrlen);
    // The port sits at the same place in both families' records.
    const u_short netPort = htons(static_cast<u_short>(port));
    static_assert(offsetof(sockaddr_in, sin_port) == offsetof(sockaddr_in6, sin6_port), "");
    std::memcpy(address.bytes + offsetof(sockaddr_in, sin_port), &netPort, sizeof netPort);
    answer->address = address;
    break;
  }
  freeaddrinfo(found);
  return answer;
}

void LookUpAndPost(HWND window, UINT message, const std::string& host, int port) {
  std::unique_ptr<HostFound> answer = LookUp(host, port);
  // The answer must arrive; a full queue frees up as the window reads it. A
  // window that went meanwhile gets nothing, and the answer is freed here.
  for (int attempt = 0; attempt < 50 && IsWindow(window); ++attempt) {
    if (PostMessageA(window, message, 0, reinterpret_cast<LPARAM>(answer.get()))) {
      answer.release();
      return;
    }
    Sleep(20);
  }
}

}  // namespace

bool StartHostLookup(HWND window, UINT message, const std::string& host, int port) {
  try {
    // Not joined: a resolver that never answers keeps this thread, and no
    // one waits for it; it touches nothing but its own copies.
    std::thread(LookUpAndPost, window, message, host, port).detach();
    return true;
  } catch (const std::system_error&) {
    return false;
  }
}

std::unique_ptr<HostFound> TakeHostFound(LPARAM lParam) {
  return std::unique_ptr<HostFound>(reinterpret_cast<HostFound*>(lParam));
}

}  // namespace fw
