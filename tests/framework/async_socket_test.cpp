// The datagram socket: connected once, exact datagrams, refused destinations.
#include <gtest/gtest.h>
#include <winsock2.h>
#include <windows.h>

#include <string>

#include "framework/async_socket.h"

namespace {

class LoopbackReceiver {
 public:
  LoopbackReceiver() {
    socket_ = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(socket_, reinterpret_cast<sockaddr*>(&local), sizeof local);
    int length = sizeof local;
    getsockname(socket_, reinterpret_cast<sockaddr*>(&local), &length);
    port_ = ntohs(local.sin_port);
    DWORD timeoutMs = 2000;
    setsockopt(socket_, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeoutMs),
               sizeof timeoutMs);
  }
  ~LoopbackReceiver() { closesocket(socket_); }
  int Port() const { return port_; }
  std::string Receive() {
    char buffer[512];
    int n = recv(socket_, buffer, sizeof buffer, 0);
    return n < 0 ? std::string("<nothing>") : std::string(buffer, n);
  }

 private:
  SOCKET socket_;
  int port_;
};

TEST(AsyncSocket, SendsExactlyTheBytesGivenToTheConnectedDestination) {
  ASSERT_TRUE(fw::CAsyncSocket::StartSocketLayer());
  LoopbackReceiver receiver;
  fw::CAsyncSocket socket;
  ASSERT_TRUE(socket.CreateDatagram());
  ASSERT_TRUE(socket.Connect("127.0.0.1", receiver.Port()));
  const char text[] = "Danger,user1,100%,0.00 Mb free,48.83 Mb max";
  EXPECT_EQ(static_cast<int>(sizeof text - 1), socket.Send(text, sizeof text - 1));
  EXPECT_EQ(std::string(text), receiver.Receive());
}

TEST(AsyncSocket, ResolvesAHostNameOnce) {
  ASSERT_TRUE(fw::CAsyncSocket::StartSocketLayer());
  LoopbackReceiver receiver;
  fw::CAsyncSocket socket;
  ASSERT_TRUE(socket.CreateDatagram());
  ASSERT_TRUE(socket.Connect("localhost", receiver.Port()));
  socket.Send("x", 1);
  EXPECT_EQ("x", receiver.Receive());
}

TEST(AsyncSocket, RefusesTheUnspecifiedHostAndPortZero) {
  ASSERT_TRUE(fw::CAsyncSocket::StartSocketLayer());
  fw::CAsyncSocket socket;
  ASSERT_TRUE(socket.CreateDatagram());
  EXPECT_FALSE(socket.Connect("0", 0));
  EXPECT_FALSE(socket.Connect("0", 48000));
  EXPECT_FALSE(socket.Connect("0.0.0.0", 48000));
  EXPECT_FALSE(socket.Connect("127.0.0.1", 0));
  EXPECT_FALSE(socket.Connect("127.0.0.1", 65536));  // used as a 16-bit port: 0
}

TEST(AsyncSocket, NothingWorksBeforeCreation) {
  fw::CAsyncSocket socket;
  EXPECT_FALSE(socket.Connect("127.0.0.1", 48000));
  EXPECT_EQ(-1, socket.Send("x", 1));
}

}  // namespace
