// A NetWare client without a network: it answers every operation from a
// description file (see examples/README.md) that BRIMLET_NETWORK names and
// that StartClient reads afresh each time, so editing the file changes the
// next poll.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "netware/netware_client.h"
#include "simulated/network_description.h"

constexpr const char* kNetworkVariable = "BRIMLET_NETWORK";

// A simulated client on the description BRIMLET_NETWORK names, that name in
// `network`; nullptr when the variable is unset or empty. The maker a program
// that carries the simulated network hands to MakeNetWareClient.
std::unique_ptr<NetWareClient> MakeNamedSimulatedClient(std::string* network);

// The two locale numbers the client hands out and expects back, in the order
// StartCharConversion takes them.
constexpr uint32_t kSimulatedCountry = 49;
constexpr uint32_t kSimulatedCodePage = 850;

// What the client holds open on behalf of its caller.
struct OpenObjectCounts {
  int connections = 0;
  int dirHandles = 0;
  int contexts = 0;
  int buffers = 0;
  int conversions = 0;

  bool operator==(const OpenObjectCounts& other) const {
    return connections == other.connections && dirHandles == other.dirHandles &&
           contexts == other.contexts && buffers == other.buffers &&
           conversions == other.conversions;
  }
};

class SimulatedNetWareClient : public NetWareClient {
 public:
#define NW_OPERATION(operation, library, ordinal, entry, stackBytes, answers, parameters, ...) \
  uint32_t operation parameters override;
#include "netware/netware_calls.def"

  OpenObjectCounts OpenObjects() const;
  // Every call in order: the operation's name, for some followed by a detail
  // ("ConvertNameSpace 0>4", "ConnectionItem 5", "FreeDirBuffer 2").
  const std::vector<std::string>& CallLog() const { return callLog_; }

 private:
  struct OpenDirHandle {
    NwConnection connection = 0;
    std::string path;  // long-name form
  };
  struct DirBufferState {
    size_t size = 0;
    bool preparedForRead = false;
    std::vector<std::string> requestedNames;
    bool holdsReply = false;
    std::vector<DirectoryAttribute> reply;
    size_t nextAttribute = 0;
    size_t nextValue = 0;
  };

  // Logs the call and answers kNotStarted before a successful StartClient, or
  // the failure rule for the call; nothing means the operation goes ahead.
  std::optional<uint32_t> Enter(ClientOperation operation, const std::string& detail = "",
                                int64_t qualifier = -1);
  std::optional<uint32_t> FailureFor(ClientOperation operation, int64_t qualifier) const;
  const ServerDescription* ServerOf(NwConnection connection) const;
  const DriveMapping* MappingOf(const std::string& localPath, std::string* rest) const;
  std::optional<std::string> LongFormOf(const std::string& server, const std::string& path) const;
  std::optional<NwDirHandle> AllocateDirHandle(NwConnection connection, const std::string& path);
  DirBufferState* BufferOf(NwDirBuffer buffer);

  NetworkDescription network_;
  std::map<std::pair<ClientOperation, int64_t>, uint32_t> failureRules_;
  bool started_ = false;
  std::vector<std::string> callLog_;

  std::map<NwConnection, std::string> connections_;  // handle -> server name
  std::map<NwDirHandle, OpenDirHandle> dirHandles_;
  std::map<std::string, NwDirHandle> driveHandles_;  // upper-cased local path -> handle
  std::set<NwDirContext> contexts_;
  std::map<NwDirBuffer, DirBufferState> buffers_;
  int conversions_ = 0;
  NwConnection nextConnection_ = 1;
  NwDirContext nextContext_ = 1;
  NwDirBuffer nextBuffer_ = 1;
};
