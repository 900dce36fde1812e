#include <windows.h>

#include <winnetwk.h>

#include <string>

#include "core/fixed_text.h"
#include "windows_drive/drive_figures.h"
#include "windows_drive/drive_names.h"
#include "windows_drive/drive_reading.h"

namespace {

struct DriveNames {
  std::string login;
  std::string server;
  std::string serverPath;
};

bool LoginName(std::string* login) {
  char name[256];
  DWORD size = sizeof name;
  if (!GetUserNameA(name, &size)) return false;
  *login = name;
  return true;
}

// The UNC form of a path on a network drive, from the redirector; empty for
// a local drive (the redirector then answers ERROR_NOT_CONNECTED).
std::string UniversalName(const char* path) {
  // The answer is a record that points into the buffer behind it.
  union {
    UNIVERSAL_NAME_INFOA info;
    char bytes[sizeof(UNIVERSAL_NAME_INFOA) + 1024];
  } buffer;
  DWORD size = sizeof buffer;
  if (WNetGetUniversalNameA(path, UNIVERSAL_NAME_INFO_LEVEL, &buffer, &size) != NO_ERROR) {
    return "";
  }
  return buffer.info.lpUniversalName != nullptr ? buffer.info.lpUniversalName : "";
}

bool ComputerName(std::string* computer) {
  char name[MAX_COMPUTERNAME_LENGTH + 1];
  DWORD size = sizeof name;
  if (!GetComputerNameA(name, &size)) return false;
  *computer = name;
  return true;
}

bool NamesOf(const char* watchedPath, DriveNames* names) {
  if (!LoginName(&names->login)) return false;
  std::string universal = IsUncPath(watchedPath) ? watchedPath : UniversalName(watchedPath);
  std::string server = ServerOfUncPath(universal);
  if (!server.empty()) {
    names->server = server;
    names->serverPath = universal;
    return true;
  }
  names->serverPath = watchedPath;
  return ComputerName(&names->server);
}

}  // namespace

QuotaReading ReadWindowsDrive(const char* watchedPath) {
  QuotaReading reading;
  reading.result = QueryFailed;
  ULARGE_INTEGER freeToCaller{}, total{}, totalFree{};
  // The first two outputs are the caller's: free to it and its total, both
  // within its disk quota. The third, free on the whole disk, is not the
  // user's to fill.
  if (!GetDiskFreeSpaceExA(DiskSpacePath(watchedPath).c_str(), &freeToCaller, &total, &totalFree)) {
    return reading;
  }
  DriveNames names;
  if (!NamesOf(watchedPath, &names)) return reading;

  DriveFigures figures = DriveFiguresOf(total.QuadPart, freeToCaller.QuadPart);
  CopyToBuffer(reading.loginName, names.login, Overlong::Cut);
  CopyToBuffer(reading.serverName, names.server, Overlong::Cut);
  CopyToBuffer(reading.serverPath, names.serverPath, Overlong::Cut);
  reading.dirUsedKb = figures.usedKb;
  reading.dirLimitKb = figures.limitKb;
  reading.dirFreeKb = figures.freeKb;
  reading.volUsedKb = figures.usedKb;
  reading.volLimitKb = 0;
  reading.result = figures.result;
  return reading;
}
