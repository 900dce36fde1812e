// The disk restriction query: where the watched path lives and how much space
// the user has there, under the directory space limits and the user's volume
// restriction.
#pragma once

#include <cstdint>

#include "netware/netware_client.h"
#include "core/quota_types.h"

// One reading of watchedPath (e.g. "H:\"), on a client the caller has
// started: the names, the five kilobyte figures and the result. On QueryFailed
// the figures are 0 and the names hold what the steps before the failure
// wrote. The connection and directory handle that ResolvePath yields belong to
// the drive mapping and stay open.
QuotaReading QueryDiskRestriction(NetWareClient& client, const char* watchedPath);
