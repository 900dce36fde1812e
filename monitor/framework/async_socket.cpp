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

bool CAsyncSocket::CreateDatagram() {
  Close();
  SOCKET created = ::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
  if (created == INVALID_SOCKET) {
    return false;
  }
  socket_ = created;
  sockaddr_in local{};
  local.sin_family = AF_INET;
  local.sin_addr.s_addr = htonl(INADDR_ANY);
  local.sin_port = 0;
  if (bind(socket_, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0 ||
      WSAAsyncSelect(socket_, SocketWindow(), kSocketNotify,
                     FD_READ | FD_WRITE | FD_OOB | FD_ACCEPT | FD_CONNECT | FD_CLOSE) != 0) {
    Close();
    return false;
  }
  return true;
}

bool CAsyncSocket::Connect(const char* host, int port) {
  if (socket_ == kNoSocket || host == nullptr) {
    return false;
  }
  sockaddr_in remote{};
  remote.sin_family = AF_INET;
  remote.sin_port = htons(static_cast<u_short>(port));
  remote.sin_addr.s_addr = inet_addr(host);
  if (remote.sin_addr.s_addr == INADDR_NONE && std::strcmp(host, "255.255.255.255") != 0) {
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_DGRAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(host, nullptr, &hints, &found) != 0 || found == nullptr) {
      return false;
    }
    remote.sin_addr = reinterpret_cast<sockaddr_in*>(found->ai_addr)->sin_addr;
    freeaddrinfo(found);
  }
  // Windows refuses to connect to 0.0.0.0 or port 0; other socket layers
  // would quietly deliver to the local host instead.
  if (remote.sin_addr.s_addr == htonl(INADDR_ANY) || remote.sin_port == 0) {
    return false;
  }
  int result = ::connect(socket_, reinterpret_cast<sockaddr*>(&remote), sizeof remote);
  return result == 0 || WSAGetLastError() == WSAEWOULDBLOCK;
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
