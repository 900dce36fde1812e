#include "receive/udp_receiver.h"

#include "process/system_error.h"

// Which sockets a port takes, the same on every platform; each platform
// opens one (openOne) and names its own "no IPv6" codes (lacksIPv6).
bool UdpReceiver::open(std::uint16_t port, const std::vector<SenderAddress>& addresses,
                       std::string* error, std::string* ipv4Only) {
  if (!prepare(error)) return false;
  int code = 0;
  for (const SenderAddress& address : addresses) {
    if (!openOne(address, !address.isIPv4(), false, port, &code)) {
      *error = formatAddress(address) + ": " + describeSystemError(code);
      closeAll();
      return false;
    }
  }
  if (!addresses.empty()) return true;
  const SenderAddress any{};  // ::
  if (openOne(any, true, true, port, &code)) return true;
  // No IPv6 in this system (not built in, or turned off): IPv4 alone.
  if (!lacksIPv6(code)) {
    *error = describeSystemError(code);
    return false;
  }
  *ipv4Only = describeSystemError(code);
  const std::uint8_t anyIPv4[4] = {0, 0, 0, 0};
  if (openOne(SenderAddress::fromIPv4(anyIPv4), false, false, port, &code)) return true;
  *error = describeSystemError(code);
  return false;
}
