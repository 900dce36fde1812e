// NETWIN32.DLL: the directory (NDS) calls. Directory buffers are pointers the
// client allocates; each stands for one buffer of the simulation.
#include <set>

#include "standin.h"

namespace {

struct StandinBuffer {
  NwDirBuffer simulated;
};

std::set<StandinBuffer*>& LiveBuffers() {
  static std::set<StandinBuffer*> buffers;
  return buffers;
}

// The simulation's number of a buffer we handed out; 0 (which it never hands
// out) for a pointer that is not one of ours.
NwDirBuffer Simulated(nwapi::Buffer buffer) {
  auto* ours = static_cast<StandinBuffer*>(buffer);
  return LiveBuffers().count(ours) != 0 ? ours->simulated : 0;
}

nwapi::DirStatus Answer(uint32_t status) { return static_cast<nwapi::DirStatus>(status); }

size_t ValueSize(uint32_t syntaxId) { return syntaxId == kSyntaxBoolean ? 1 : 4; }

}  // namespace

extern "C" {

__declspec(dllexport) int StandinLiveBuffers() { return static_cast<int>(LiveBuffers().size()); }

nwapi::DirStatus NW_CALL StandinCreateContextHandle(nwapi::Context* context) {
  return Answer(StandinClient()->OpenDirContext(context));
}

int32_t NW_CALL StandinIsDsAuthenticated() {
  return static_cast<int32_t>(StandinClient()->IsDirAuthenticated());
}

nwapi::DirStatus NW_CALL StandinAllocBuf(size_t size, nwapi::Buffer* buffer) {
  if (buffer == nullptr) return -331;
  NwDirBuffer simulated = 0;
  uint32_t status = StandinClient()->AllocDirBuffer(size, &simulated);
  if (status != 0) return Answer(status);
  auto* ours = new StandinBuffer{simulated};
  LiveBuffers().insert(ours);
  *buffer = ours;
  return 0;
}

nwapi::DirStatus NW_CALL StandinInitBuf(nwapi::Context context, uint32_t operation,
                                        nwapi::Buffer buffer) {
  return Answer(StandinClient()->PrepareDirBuffer(context, operation, Simulated(buffer)));
}

nwapi::DirStatus NW_CALL StandinPutAttrName(nwapi::Context context, nwapi::Buffer buffer,
                                            const char* name) {
  return Answer(StandinClient()->AddAttributeName(context, Simulated(buffer), name));
}

nwapi::DirStatus NW_CALL StandinWhoAmI(nwapi::Context context, char* objectName) {
  return Answer(
      StandinClient()->LoggedInObjectName(context, objectName, nwapi::kDistinguishedNameSize));
}

nwapi::DirStatus NW_CALL StandinRead(nwapi::Context context, const char* objectName,
                                     uint32_t infoType, uint8_t allAttributes,
                                     nwapi::Buffer attributeNames, int32_t* iterationHandle,
                                     nwapi::Buffer reply) {
  return Answer(StandinClient()->ReadObject(context, objectName, infoType, allAttributes,
                                            Simulated(attributeNames), iterationHandle,
                                            Simulated(reply)));
}

nwapi::DirStatus NW_CALL StandinGetAttrCount(nwapi::Context context, nwapi::Buffer buffer,
                                             uint32_t* count) {
  return Answer(StandinClient()->ReplyAttributeCount(context, Simulated(buffer), count));
}

nwapi::DirStatus NW_CALL StandinGetAttrName(nwapi::Context context, nwapi::Buffer buffer,
                                            char* name, uint32_t* valueCount, uint32_t* syntaxId) {
  return Answer(StandinClient()->NextAttributeName(context, Simulated(buffer), name,
                                                   nwapi::kSchemaNameSize, valueCount, syntaxId));
}

nwapi::DirStatus NW_CALL StandinGetAttrVal(nwapi::Context context, nwapi::Buffer buffer,
                                           uint32_t syntaxId, void* value) {
  return Answer(StandinClient()->NextAttributeValue(context, Simulated(buffer), syntaxId, value,
                                                    ValueSize(syntaxId)));
}

nwapi::DirStatus NW_CALL StandinFreeBuf(nwapi::Buffer buffer) {
  uint32_t status = StandinClient()->FreeDirBuffer(Simulated(buffer));
  if (status == 0) {
    auto* ours = static_cast<StandinBuffer*>(buffer);
    LiveBuffers().erase(ours);
    delete ours;
  }
  return Answer(status);
}

nwapi::DirStatus NW_CALL StandinFreeContext(nwapi::Context context) {
  return Answer(StandinClient()->CloseDirContext(context));
}

}  // extern "C"
