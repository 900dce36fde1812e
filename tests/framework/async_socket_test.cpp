// The datagram socket: connected once, exact datagrams, refused destinations.
#include <gtest/gtest.h>
#include <winsock2.h>
#include <windows.h>

#include <string>
#include <vector>

#include "framework/async_socket.h"
#include "udp_receiver.h"

namespace {

TEST(AsyncSocket, SendsExactlyTheBytesGivenToTheConnectedDestination) {
  ASSERT_TRUE(fw::CAsyncSocket::StartSocketLayer());
  UdpReceiver receiver;
  fw::CAsyncSocket socket;
  ASSERT_TRUE(socket.CreateDatagram());
  ASSERT_TRUE(socket.Connect("127.0.0.1", receiver.Port()));
  const char text[] = "Danger,user1,100%,0.00 Mb free,48.83 Mb max";
  EXPECT_EQ(static_cast<int>(sizeof text - 1), socket.Send(text, sizeof text - 1));
  EXPECT_EQ(std::vector<std::string>{text}, receiver.Drain());
}

TEST(AsyncSocket, ResolvesAHostNameOnce) {
  ASSERT_TRUE(fw::CAsyncSocket::StartSocketLayer());
  UdpReceiver receiver;
  fw::CAsyncSocket socket;
  ASSERT_TRUE(socket.CreateDatagram());
  ASSERT_TRUE(socket.Connect("localhost", receiver.Port()));
  socket.Send("x", 1);
  EXPECT_EQ(std::vector<std::string>{"x"}, receiver.Drain());
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
