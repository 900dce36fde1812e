#include <winsock2.h>
#include <ws2tcpip.h>

#include "framework/async_socket.h"

#include <cstring>

namespace fw {

namespace {

constexpr UINT kSocketNotify = WM_USER + 1;

LRESULT CALLBACK SocketWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kSocketNotify) {
    return 0;  // events are requested so the socket works asynchronously, not acted on
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

// The hidden window that receives the events of every socket of the thread.
HWND SocketWindow() {
  static HWND window = [] {
    WNDCLASSA wc{};
    wc.lpfnWndProc = SocketWindowProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "FwSocketWindow";
    RegisterClassA(&wc);
    return CreateWindowExA(0, "FwSocketWindow", "", WS_OVERLAPPED, 0, 0, 0, 0, HWND_MESSAGE,
                           nullptr, wc.hInstance, nullptr);
  }();
  return window;
}

}  // namespace

bool CAsyncSocket::StartSocketLayer() {
  static const bool started = [] {
    WSADATA data;
    return WSAStartup(MAKEWORD(2, 2), &data) == 0;
  }();
  return started;
}

CAsyncSocket::~CAsyncSocket() { Close(); }

namespace {

// Windows refuses to connect to the unspecified address or port 0; other
// socket layers would quietly deliver to the local host instead.
bool IsUsable(const SocketAddress& destination) {
  if (destination.length == sizeof(sockaddr_in)) {
    sockaddr_in ipv4;
    std::memcpy(&ipv4, destination.bytes, sizeof ipv4);
    return ipv4.sin_family == AF_INET && ipv4.sin_port != 0 &&
           ipv4.sin_addr.s_addr != htonl(INADDR_ANY);
  }
  if (destination.length == sizeof(sockaddr_in6)) {
    sockaddr_in6 ipv6;
    std::memcpy(&ipv6, destination.bytes, sizeof ipv6);
    const in6_addr any = IN6ADDR_ANY_INIT;
    return ipv6.sin6_family == AF_INET6 && ipv6.sin6_port != 0 &&
           std::memcmp(&ipv6.sin6_addr, &any, sizeof any) != 0;
  }
  return false;
}

}  // namespace

bool CAsyncSocket::Open(const SocketAddress& destination) {
  Close();
  if (!IsUsable(destination)) return false;
  sockaddr_storage remote{};
  std::memcpy(&remote, destination.bytes, static_cast<std::size_t>(destination.length));
  SOCKET created = ::socket(remote.ss_family, SOCK_DGRAM, IPPROTO_UDP);
  if (created == INVALID_SOCKET) {
    return false;
  }
  socket_ = created;
  // Any local address of the family (all zero bytes), a port the system chooses.
  sockaddr_storage local{};
  local.ss_family = remote.ss_family;
  if (bind(socket_, reinterpret_cast<sockaddr*>(&local), destination.length) != 0 ||
      WSAAsyncSelect(socket_, SocketWindow(), kSocketNotify,
                     FD_READ | FD_WRITE | FD_OOB | FD_ACCEPT | FD_CONNECT | FD_CLOSE) != 0) {
    Close();
    return false;
  }
  if (::connect(socket_, reinterpret_cast<sockaddr*>(&remote), destination.length) != 0 &&
      WSAGetLastError() != WSAEWOULDBLOCK) {
    Close();
    return false;
  }
  return true;
}

int CAsyncSocket::Send(const void* data, std::size_t length) {
  if (socket_ == kNoSocket) {
    return -1;
  }
  return ::send(socket_, static_cast<const char*>(data), static_cast<int>(length), 0);
}

void CAsyncSocket::Close() {
  if (socket_ != kNoSocket) {
    closesocket(socket_);
    socket_ = kNoSocket;
  }
}

}  // namespace fw
