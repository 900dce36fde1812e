// LOCWIN32.DLL: the locale record and the character conversion tables.
#include "standin.h"

extern "C" {

nwapi::LocaleRecord* NW_CALL StandinLocaleConv(nwapi::LocaleRecord* record) {
  if (record == nullptr) return nullptr;
  uint32_t status =
      StandinClient()->LocaleNumbers(reinterpret_cast<uint8_t*>(record), sizeof *record);
  return status == 0 ? record : nullptr;
}

int32_t NW_CALL StandinInitUnicodeTables(int32_t country, int32_t codePage) {
  return static_cast<int32_t>(StandinClient()->StartCharConversion(
      static_cast<uint32_t>(country), static_cast<uint32_t>(codePage)));
}

int32_t NW_CALL StandinFreeUnicodeTables() {
  return static_cast<int32_t>(StandinClient()->EndCharConversion());
}

}  // extern "C"
