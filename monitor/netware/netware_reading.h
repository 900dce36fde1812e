// One poll's reading of the NetWare side: the disk restriction and the
// account balance, from one start of the client, so both come from the same
// state of the network.
#pragma once

#include "core/quota_types.h"
#include "netware/account_balance.h"
#include "netware/netware_client.h"

struct NetWareReading {
  QuotaReading quota;
  BalanceReading balance;
};

// Starts the client, then runs the disk restriction query and the account
// balance query on it. A client that does not start gives QueryFailed and
// the reset balance with the client's status.
NetWareReading ReadNetWare(NetWareClient& client, const char* watchedPath, ProgramEnd endProgram);
