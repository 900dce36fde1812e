// Where this build's readings come from: the NetWare client's disk
// restriction and account balance queries, or the Windows drive itself. The
// build option QUOTA_SOURCE chooses; this is the only place that looks at it.
#pragma once

#include "core/quota_types.h"

// One reading of the watched path's space; answers its RestrictionResult.
int ReadQuota(const char* watchedPath, QuotaReading* reading);

// Fills the user's print-accounting balance; false when the source has no
// balance at all (a Windows drive), and `balance` is then untouched.
bool ReadBalance(AccountBalance* balance);
