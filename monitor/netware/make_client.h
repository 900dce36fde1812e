// The client the monitor uses at each poll, decided in one place.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "netware/netware_client.h"

// What StartClient of NoNetWareClient answers (the status the simulated
// client gives when it has no network).
constexpr uint32_t kNoClientStatus = 0x88FF;

// Makes the in-process simulated network of a program that carries one (the
// 64-bit program and the tests), naming the description it reads in
// `network`; nullptr when no description is named. The shipped program
// carries none and passes no maker.
using SimulatedClientMaker = std::unique_ptr<NetWareClient> (*)(std::string* network);

// The libraries when they are bound, else the simulated network when there is
// a maker and it makes one, else NoNetWareClient. The libraries are looked for
// once per process. Whenever the choice differs from the last one (so at the
// first poll) the debug output names the client in use.
std::unique_ptr<NetWareClient> MakeNetWareClient(SimulatedClientMaker simulated = nullptr);
