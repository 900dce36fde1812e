// One reading of a Windows drive: the space Windows gives the user on the
// watched path (GetDiskFreeSpaceExA, which honours NTFS and SMB disk quotas,
// locally and on a share), the user's login name, and the server and share
// path of a network drive or the computer and the path of a local one.
#pragma once

#include "core/quota_types.h"

// The reading of `watchedPath` ("H:\", a folder, or "\\FS1\home\user1").
// The figures are those of DriveFiguresOf: DirectoryLimitOnly, or NoLimit for
// a drive beyond 4 TiB; the volume's used figure is the drive's own, as the
// drive is the volume. A path that does not exist, or any call that fails,
// gives QueryFailed with empty names and no figures.
QuotaReading ReadWindowsDrive(const char* watchedPath);
