#include "simulated/client_operation.h"

namespace {

constexpr const char* kNames[kClientOperationCount] = {
#define NW_OPERATION(operation, ...) #operation,
#include "netware/netware_calls.def"
};

}  // namespace

const char* ClientOperationName(ClientOperation operation) {
  return kNames[static_cast<int>(operation)];
}

bool ClientOperationFromName(const std::string& name, ClientOperation* operation) {
  for (int i = 0; i < kClientOperationCount; ++i) {
    if (name == kNames[i]) {
      *operation = static_cast<ClientOperation>(i);
      return true;
    }
  }
  return false;
}
