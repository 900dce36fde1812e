#include "netware/netware_reading.h"

#include "netware/disk_restriction.h"

NetWareReading ReadNetWare(NetWareClient& client, const char* watchedPath,
                           ProgramEnd endProgram) {
  NetWareReading reading;
  const uint32_t status = client.StartClient(nullptr, nullptr);
  if (status != 0) {
    reading.balance.result = static_cast<int32_t>(status);
    return reading;
  }
  reading.quota = QueryDiskRestriction(client, watchedPath);
  reading.balance = QueryAccountBalance(client, endProgram);
  return reading;
}
