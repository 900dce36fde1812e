#include "simulated/simulated_client.h"

#include <cstdlib>

#include "netware/debug_output.h"
#include "simulated/description_file.h"
#include "simulated/sim_status.h"

// The rule for this call: one narrowed to its qualifier wins over one for
// every call of the operation, whatever their order in the description.
std::optional<uint32_t> SimulatedNetWareClient::FailureFor(ClientOperation operation,
                                                           int64_t qualifier) const {
  if (qualifier != -1) {
    auto narrow = failureRules_.find({operation, qualifier});
    if (narrow != failureRules_.end()) return narrow->second;
  }
  auto any = failureRules_.find({operation, -1});
  if (any != failureRules_.end()) return any->second;
  return std::nullopt;
}

std::optional<uint32_t> SimulatedNetWareClient::Enter(ClientOperation operation,
                                                      const std::string& detail,
                                                      int64_t qualifier) {
  std::string entry = ClientOperationName(operation);
  if (!detail.empty()) entry += " " + detail;
  callLog_.push_back(entry);
  // A client that did not start answers nothing else, whatever the rules.
  if (!started_) return simstatus::kNotStarted;
  return FailureFor(operation, qualifier);
}

uint32_t SimulatedNetWareClient::StartClient(const void*, const void*) {
  callLog_.push_back(ClientOperationName(ClientOperation::StartClient));
  started_ = false;
  const char* path = std::getenv(kNetworkVariable);
  if (path == nullptr || *path == '\0') {
    NetWareDebugPrint("BRIMLET_NETWORK is not set: no NetWare network to talk to\n");
    return simstatus::kNoNetwork;
  }
  NetworkDescription fresh;
  std::string message;
  if (!LoadNetworkDescription(path, &fresh, &message)) {
    NetWareDebugPrint((message + "\n").c_str());
    return simstatus::kNoNetwork;
  }
  network_ = std::move(fresh);
  failureRules_.clear();
  for (const FailureRule& rule : network_.failures) {
    failureRules_[{rule.operation, rule.qualifier}] = rule.status;
  }
  // The description refuses StartClient = 0, so a rule here always fails it.
  if (auto status = FailureFor(ClientOperation::StartClient, -1)) return *status;
  started_ = true;
  return 0;
}

OpenObjectCounts SimulatedNetWareClient::OpenObjects() const {
  OpenObjectCounts counts;
  counts.connections = static_cast<int>(connections_.size());
  counts.dirHandles = static_cast<int>(dirHandles_.size());
  counts.contexts = static_cast<int>(contexts_.size());
  counts.buffers = static_cast<int>(buffers_.size());
  counts.conversions = conversions_;
  return counts;
}

std::unique_ptr<NetWareClient> MakeNamedSimulatedClient(std::string* network) {
  const char* path = std::getenv(kNetworkVariable);
  if (path == nullptr || *path == '\0') return nullptr;
  if (network != nullptr) *network = path;
  return std::make_unique<SimulatedNetWareClient>();
}
