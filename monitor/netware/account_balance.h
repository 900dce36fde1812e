// The account balance query: the print-accounting attributes of the user
// object the workstation is logged in as.
#pragma once

#include <cstdint>

#include "netware/netware_client.h"
#include "core/quota_types.h"

// Answers of QueryAccountBalance besides a client status passed through.
constexpr int32_t kBalanceRead = 1;
constexpr int32_t NotAuthenticated = -124;

// What the query calls when it cannot set up its directory request: the
// program's own end (EndProgramNow, app/brimlet_app.h), or in tests a
// recorder; nullptr only returns the failing status.
using ProgramEnd = void (*)(int status);

// What the query read, and its answer: 1, NotAuthenticated, or the failing
// client status.
struct BalanceReading {
  AccountBalance balance;  // unlimited credit, balance 0 and low limit 0 unless read
  int32_t result = kBalanceRead;
};

// Reads "Account Balance", "Minimum Account Balance" and "Allow Unlimited
// Credit", on a client the caller has started. A failure while setting up the
// request calls endProgram(1); if that returns (as in tests) the query
// returns the failing status.
BalanceReading QueryAccountBalance(NetWareClient& client, ProgramEnd endProgram);
