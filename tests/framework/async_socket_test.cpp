// The datagram socket: exact datagrams to either family, refused
// destinations. Names are looked up by the program's own test,
// tests/monitor/end_to_end_alert.sh.
#include <gtest/gtest.h>
#include <winsock2.h>
#include <windows.h>

#include <string>
#include <vector>

#include "framework/async_socket.h"
#include "datagram_catcher.h"

namespace {

struct DestinationCase {
  const char* name;
  const char* host;
  int family;
};

class AsyncSocketTo : public testing::TestWithParam<DestinationCase> {};

TEST_P(AsyncSocketTo, SendsExactlyTheBytesGiven) {
  ASSERT_TRUE(fw::CAsyncSocket::StartSocketLayer());
  DatagramCatcher receiver(GetParam().family);
  const std::optional<fw::SocketAddress> address =
      fw::NumericAddress(GetParam().host, receiver.Port());
  ASSERT_TRUE(address.has_value());
  fw::CAsyncSocket socket;
  ASSERT_TRUE(socket.Open(*address));
  const char text[] = "Danger,user1,100%,0.00 Mb free,48.83 Mb max";
  EXPECT_EQ(static_cast<int>(sizeof text - 1), socket.Send(text, sizeof text - 1));
  EXPECT_EQ(std::vector<std::string>{text}, receiver.Drain());
}

INSTANTIATE_TEST_SUITE_P(Addresses, AsyncSocketTo,
                         testing::Values(DestinationCase{"Ipv4", "127.0.0.1", AF_INET},
                                         DestinationCase{"Ipv6", "::1", AF_INET6},
                                         DestinationCase{"Ipv6Full", "0:0:0:0:0:0:0:1", AF_INET6}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(AsyncSocket, RefusesTheUnspecifiedAddressAndPortZero) {
  ASSERT_TRUE(fw::CAsyncSocket::StartSocketLayer());
  fw::CAsyncSocket socket;
  const std::pair<const char*, int> refused[] = {
      {"0", 0}, {"0", 48000}, {"0.0.0.0", 48000}, {"::", 48000}, {"127.0.0.1", 0},
      {"::1", 0}, {"127.0.0.1", 65536}};  // used as a 16-bit port: 0
  for (const auto& [host, port] : refused) {
    const std::optional<fw::SocketAddress> address = fw::NumericAddress(host, port);
    ASSERT_TRUE(address.has_value()) << host;
    EXPECT_FALSE(socket.Open(*address)) << host << " " << port;
  }
  EXPECT_EQ(-1, socket.Send("x", 1));
}

}  // namespace
