#include "netware/disk_restriction.h"

#include "core/fixed_text.h"
#include "netware/query_buffer_sizes.h"
#include "netware/restriction_figures.h"
#include "netware/space_limit_list.h"

namespace {

constexpr size_t kConvertSourceSize = 260;

// The server may hand back either name space's form of the path; the long
// form is the one we open and show. Only if both conversions fail is the
// path unusable.
bool ConvertToLongNames(NetWareClient& client, NwConnection connection, char* serverPath) {
  char source[kConvertSourceSize];
  char target[kLongPathBufferSize] = "";
  CopyToBuffer(source, serverPath, Overlong::Cut);
  uint32_t status = client.ConvertNameSpace(connection, 0, 0, kNameSpaceDos, kNameSpaceLong, source,
                                            target, kLongPathBufferSize);
  if (status != 0) {
    status = client.ConvertNameSpace(connection, 0, 0, kNameSpaceLong, kNameSpaceLong, source,
                                     target, kLongPathBufferSize);
  }
  if (status != 0) return false;
  target[kLongPathBufferSize - 1] = '\0';
  CopyToBuffer(serverPath, kServerPathSize, target, Overlong::Cut);
  return true;
}

RestrictionResult ResultOf(bool dirLimited, bool volLimited) {
  if (dirLimited && volLimited) return BothLimits;
  if (volLimited) return VolumeLimitOnly;
  if (dirLimited) return DirectoryLimitOnly;
  return NoLimit;
}

}  // namespace

QuotaReading QueryDiskRestriction(NetWareClient& client, const char* watchedPath) {
  QuotaReading reading;
  reading.result = QueryFailed;
  char* const serverPath = reading.serverPath;

  NwConnection connection = 0;
  NwDirHandle driveHandle = 0;  // the mapping's own; not ours to release
  if (watchedPath == nullptr ||
      client.ResolvePath(watchedPath, &connection, &driveHandle, serverPath, kServerPathSize) !=
          0) {
    return reading;
  }
  serverPath[kServerPathSize - 1] = '\0';
  if (!ConvertToLongNames(client, connection, serverPath)) return reading;

  // The volume comes from the local form of the path: that is the one the
  // client can always map back to a volume.
  char volumeName[kVolumeNameBufferSize] = "";
  if (client.VolumeNameOfPath(watchedPath, volumeName, sizeof volumeName) != 0) {
    return reading;
  }
  uint16_t volumeNumber = 0;
  if (client.VolumeNumber(connection, volumeName, &volumeNumber) != 0) return reading;

  uint32_t connectionNumber = 0;
  if (client.ConnectionItem(connection, kItemConnectionNumber, sizeof connectionNumber,
                            &connectionNumber) != 0) {
    return reading;
  }
  if (client.LoginNameOfConnection(connection, static_cast<uint16_t>(connectionNumber & 0xFFFF),
                                   reading.loginName, kLoginNameSize, nullptr, nullptr,
                                   nullptr) != 0) {
    return reading;
  }
  uint32_t userObjectId = 0;
  if (client.ConnectionItem(connection, kItemUserObjectId, sizeof userObjectId, &userObjectId) !=
      0) {
    return reading;
  }

  // A failed restriction read must not pass for a restriction of 0 blocks:
  // the monitor would show a full volume and raise the danger alarm.
  uint32_t restrictionBlocks = 0;
  uint32_t inUseBlocks = 0;
  if (client.UserVolumeRestriction(connection, static_cast<uint8_t>(volumeNumber & 0xFF),
                                   userObjectId, &restrictionBlocks, &inUseBlocks) != 0) {
    return reading;
  }

  if (client.QueryServerName(connection, reading.serverName, kServerNameSize, nullptr) != 0) {
    return reading;
  }

  NwDirHandle tempHandle = 0;
  if (client.OpenTempDirHandle(connection, 0, serverPath, &tempHandle, nullptr) != 0) {
    return reading;
  }
  uint8_t reply[kDirSpaceLimitListMaxSize];
  size_t replyLength = 0;
  uint32_t readStatus =
      client.ReadDirSpaceLimits(connection, tempHandle, reply, sizeof reply, &replyLength);
  client.CloseDirHandle(connection, tempHandle);  // whatever the read answered
  if (readStatus != 0) return reading;
  if (replyLength > sizeof reply) replyLength = sizeof reply;

  DirectoryFigures directory = DirectoryFiguresOf(DecodeDirSpaceLimitList(reply, replyLength));
  VolumeFigures volume = VolumeFiguresOf(restrictionBlocks, inUseBlocks);
  reading.dirUsedKb = directory.usedKb;
  reading.dirLimitKb = directory.limitKb;
  reading.dirFreeKb = directory.freeKb;
  reading.volUsedKb = volume.usedKb;
  reading.volLimitKb = volume.limitKb;
  reading.result = ResultOf(directory.limited, volume.limited);
  return reading;
}
