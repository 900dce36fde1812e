// [server NAME]: a file server the workstation holds a connection to.
#include "simulated/description_sections.h"
#include "simulated/description_values.h"

namespace {

class ServerSection : public SectionReader {
 public:
  ServerSection(const std::string& name, const std::string& title, int line, ParsedNetwork* network)
      : SectionReader(title, line), network_(network) {
    server_.name = name;
  }

  bool Finish(DescriptionError* error) override {
    if (!Require({"connection number", "login name", "user id"}, error)) return false;
    network_->servers.push_back({server_, Line()});
    return true;
  }

 protected:
  bool Read(const std::string& key, const std::string& value, int, std::string* reason) override {
    if (key == "connection number") {
      return ReadUnsigned("'" + key + "'", value, UINT32_MAX, &server_.connectionNumber, reason);
    }
    if (key == "login name") {
      return ReadText("'" + key + "'", value, kMaxLoginNameLength, &server_.loginName, reason);
    }
    if (key == "user id") {
      return ReadUnsigned("'" + key + "'", value, UINT32_MAX, &server_.userObjectId, reason);
    }
    *reason = UnknownKey(key);
    return false;
  }

 private:
  ParsedNetwork* network_;
  ServerDescription server_;
};

}  // namespace

bool StartServerSection(const std::string& name, const std::string& title, int line,
                        ParsedNetwork* network, SectionStart* start, std::string* reason) {
  std::string rest;
  std::string server = FirstWord(name, &rest);
  if (server.empty() || !rest.empty()) {
    *reason = "expected [server NAME], a name without blanks";
    return false;
  }
  if (server.size() > kMaxServerNameLength) {
    *reason = "server name is longer than " + std::to_string(kMaxServerNameLength) + " characters";
    return false;
  }
  start->identity = "server " + ServerKey(server);
  start->reader = std::make_unique<ServerSection>(server, title, line, network);
  return true;
}
