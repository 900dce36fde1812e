// The disk restriction query: where the watched path lives and how much space
// the user has there, under the directory space limits and the user's volume
// restriction.
#pragma once

#include <cstdint>

#include "netware/netware_client.h"
#include "core/quota_types.h"

// Buffer sizes the caller provides (those of QuotaReading).
constexpr size_t kServerNameSize = 48;
constexpr size_t kLoginNameSize = 128;
constexpr size_t kServerPathSize = 258;

// Fills the names and the five kilobyte figures of one reading for
// watchedPath (e.g. "H:\"). loginName may be nullptr (the login name is then
// not asked for); any other nullptr gives MissingOutput without touching the
// client. On QueryFailed the figures are untouched and the names hold what the
// steps before the failure wrote. The connection and directory handle that
// ResolvePath yields belong to the drive mapping and stay open.
RestrictionResult QueryDiskRestriction(NetWareClient& client, const char* watchedPath,
                                       char* serverName, char* loginName, char* serverPath,
                                       uint32_t* dirUsedKb, uint32_t* dirLimitKb,
                                       uint32_t* dirFreeKb, uint32_t* volUsedKb,
                                       uint32_t* volLimitKb);
