#include "app/reading_source.h"

#ifndef BRIMLET_WINDOWS_DRIVE
#error "build variant definitions missing: link the target against brimlet_core"
#endif

#if BRIMLET_WINDOWS_DRIVE

#include "netware/windows_drive/drive_reading.h"

int ReadQuota(const char* watchedPath, QuotaReading* reading) {
  return ReadWindowsDrive(watchedPath, reading);
}

bool ReadBalance(AccountBalance*) { return false; }

#else

#include <memory>

#include "netware/account_balance.h"
#include "netware/disk_restriction.h"
#include "netware/make_client.h"

int ReadQuota(const char* watchedPath, QuotaReading* reading) {
  std::unique_ptr<NetWareClient> client = MakeNetWareClient();
  return QueryDiskRestriction(*client, watchedPath, reading->serverName, reading->loginName,
                              reading->serverPath, &reading->dirUsedKb, &reading->dirLimitKb,
                              &reading->dirFreeKb, &reading->volUsedKb, &reading->volLimitKb);
}

bool ReadBalance(AccountBalance* balance) {
  std::unique_ptr<NetWareClient> client = MakeNetWareClient();
  QueryAccountBalance(*client, balance);
  return true;
}

#endif
