#include "netware/make_client.h"

#include "netware/simulated/simulated_client.h"

std::unique_ptr<NetWareClient> MakeNetWareClient() {
  return std::make_unique<SimulatedNetWareClient>();
}
