// Records that the NetWare queries fill and the monitor reads.
#pragma once

#include <cstddef>
#include <cstdint>

// Sizes of the reading's text buffers, terminator included: the sizes the
// NetWare client's calls fill, and the sizes every source writes into.
constexpr std::size_t kServerNameSize = 48;
constexpr std::size_t kServerPathSize = 258;
constexpr std::size_t kLoginNameSize = 128;

// Outcome of one disk restriction query.
enum RestrictionResult : int {
  QueryFailed = 1,         // a client operation failed; no figure was written
  DirectoryLimitOnly = 2,  // a directory space limit applies, no volume restriction
  VolumeLimitOnly = 3,     // a volume restriction applies, no directory space limit
  BothLimits = 4,
  NoLimit = 5,
  MissingOutput = 6,       // no longer given by any source; reads as failed
};

// One reading of the space restrictions of the watched path. Figures are
// kilobytes, exact: the server's 4 KB block counts are 32-bit, so a count
// times 4 needs 34 bits (volumes pass 4 TB), and 32-bit kilobytes would wrap
// into false levels. Every figure the monitor derives from them is computed
// in core/quota_evaluation.
struct QuotaReading {
  char serverName[kServerNameSize] = "";
  char serverPath[kServerPathSize] = "";
  char loginName[kLoginNameSize] = "";
  uint64_t dirUsedKb = 0;
  uint64_t dirLimitKb = 0;
  uint64_t dirFreeKb = 0;
  uint64_t volUsedKb = 0;
  uint64_t volLimitKb = 0;
  int result = QueryFailed;  // a RestrictionResult; any other value reads as failed
};

// Print-accounting figures of the logged-in user; amounts in hundredths.
struct AccountBalance {
  uint8_t unlimitedCredit = 1;
  int32_t balance = 0;
  int32_t lowLimit = 0;
};
