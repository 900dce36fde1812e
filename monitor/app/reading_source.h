// Where this build's readings come from: the NetWare client's disk
// restriction and account balance queries, or the Windows drive itself. The
// build option QUOTA_SOURCE chooses; this is the only place that looks at it.
#pragma once

#include <optional>

#include "core/quota_types.h"

// One poll's reading: the watched path's space, its result included, and the
// user's print-accounting balance, which a Windows drive does not have.
struct SourceReading {
  QuotaReading quota;
  std::optional<AccountBalance> balance;
};

SourceReading ReadSource(const char* watchedPath);
