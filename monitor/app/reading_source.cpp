#include "app/reading_source.h"

#ifndef BRIMLET_WINDOWS_DRIVE
#error "build variant definitions missing: link the target against brimlet_core"
#endif

#if BRIMLET_WINDOWS_DRIVE

#include "windows_drive/drive_reading.h"

SourceReading ReadSource(const char* watchedPath) { return {ReadWindowsDrive(watchedPath), {}}; }

#else

#include <memory>

#include "app/brimlet_app.h"
#include "app/simulated_choice.h"
#include "netware/make_client.h"
#include "netware/netware_reading.h"

// One client per poll, started once for both queries.
SourceReading ReadSource(const char* watchedPath) {
  std::unique_ptr<NetWareClient> client = MakeNetWareClient(kSimulatedClientMaker);
  const NetWareReading reading = ReadNetWare(*client, watchedPath, EndProgramNow);
  return {reading.quota, reading.balance.balance};
}

#endif
