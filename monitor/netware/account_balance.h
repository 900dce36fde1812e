// The account balance query: the print-accounting attributes of the user
// object the workstation is logged in as.
#pragma once

#include <cstdint>

#include "netware/netware_client.h"
#include "core/quota_types.h"

// Answers of QueryAccountBalance besides a client status passed through.
constexpr int32_t kBalanceRead = 1;
constexpr int32_t NotAuthenticated = -124;
// No place for the record was given; the client was not touched.
constexpr int32_t kBalanceMissingOutput = MissingOutput;

// What the query calls when it cannot set up its directory request.
using ProgramEnd = void (*)(int status);

// Ends the process at once with the given exit status.
void EndProgramNow(int status);

// Resets the record (unlimited credit, balance 0, low limit 0), then reads
// "Account Balance", "Minimum Account Balance" and "Allow Unlimited Credit"
// into it. Answers 1, NotAuthenticated, or the failing client status. A
// failure while setting up the request calls endProgram(1); if that returns
// (as in tests) the query returns the failing status.
int32_t QueryAccountBalance(NetWareClient& client, AccountBalance* balance,
                            ProgramEnd endProgram = EndProgramNow);
