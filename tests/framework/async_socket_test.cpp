// The datagram socket and the lookup of its destination: exact datagrams to
// either family, refused destinations, a name answered by a posted message.
#include <gtest/gtest.h>
#include <winsock2.h>
#include <windows.h>
#include <ws2tcpip.h>

#include <cstring>
#include <string>
#include <vector>

#include "framework/async_socket.h"
#include "framework/host_lookup.h"
#include "udp_receiver.h"

namespace {

struct DestinationCase {
  const char* name;
  const char* host;
  int family;
};

class AsyncSocketTo : public testing::TestWithParam<DestinationCase> {};

TEST_P(AsyncSocketTo, SendsExactlyTheBytesGiven) {
  ASSERT_TRUE(fw::CAsyncSocket::StartSocketLayer());
  UdpReceiver receiver(GetParam().family);
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

TEST(AsyncSocket, NamesAreNoAddress) {
  for (const char* host : {"localhost", "loghost:48000", "fd00::10::1", ""}) {
    EXPECT_FALSE(fw::NumericAddress(host, 48000).has_value()) << host;
  }
}

constexpr UINT kFound = WM_APP + 1;

// localhost may come first as 127.0.0.1 or as ::1, as the resolver orders it.
TEST(HostLookup, PostsTheAddressOfANameToTheWindow) {
  ASSERT_TRUE(fw::CAsyncSocket::StartSocketLayer());
  HWND window = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr,
                                nullptr);
  ASSERT_TRUE(fw::StartHostLookup(window, kFound, "localhost", 48000));
  MSG message{};
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < 20000 &&
         !PeekMessageA(&message, window, kFound, kFound, PM_REMOVE)) {
    Sleep(10);
  }
  DestroyWindow(window);
  ASSERT_EQ(kFound, message.message) << "no answer within 20 s";
  const std::unique_ptr<fw::HostFound> found = fw::TakeHostFound(message.lParam);
  ASSERT_TRUE(found->address.has_value()) << found->error;
  sockaddr_in6 address{};  // the port sits at the same place in both families
  std::memcpy(&address, found->address->bytes, found->address->length);
  EXPECT_TRUE(address.sin6_family == AF_INET || address.sin6_family == AF_INET6);
  EXPECT_EQ(48000, ntohs(address.sin6_port));
}

}  // namespace
