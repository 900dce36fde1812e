// Locale numbers and character conversion of the simulated client.
#include <cstring>

#include "simulated/sim_status.h"
#include "simulated/simulated_client.h"

namespace {

constexpr size_t kLocaleFirstOffset = 60;
constexpr size_t kLocaleSecondOffset = 56;
constexpr size_t kLocaleRecordMinSize = 64;

void PutNumber(uint8_t* record, size_t offset, uint32_t value) {
  std::memcpy(record + offset, &value, sizeof value);
}

}  // namespace

uint32_t SimulatedNetWareClient::LocaleNumbers(uint8_t* localeRecord, size_t localeRecordSize) {
  if (auto answer = Enter(ClientOperation::LocaleNumbers)) return *answer;
  if (localeRecord == nullptr) return simstatus::kInvalidParameter;
  if (localeRecordSize < kLocaleRecordMinSize) return simstatus::kBufferTooSmall;
  std::memset(localeRecord, 0, localeRecordSize);
  PutNumber(localeRecord, kLocaleFirstOffset, kSimulatedCountry);
  PutNumber(localeRecord, kLocaleSecondOffset, kSimulatedCodePage);
  return 0;
}

uint32_t SimulatedNetWareClient::StartCharConversion(uint32_t first, uint32_t second) {
  if (auto answer = Enter(ClientOperation::StartCharConversion)) return *answer;
  if (first != kSimulatedCountry || second != kSimulatedCodePage) return simstatus::kBadLocale;
  ++conversions_;
  return 0;
}

uint32_t SimulatedNetWareClient::EndCharConversion() {
  if (auto answer = Enter(ClientOperation::EndCharConversion)) return *answer;
  if (conversions_ == 0) return simstatus::kNoConversion;
  --conversions_;
  return 0;
}
