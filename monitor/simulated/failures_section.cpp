// [failures]: operations told to answer a status and do nothing.
#include <map>
#include <utility>

#include "netware/netware_client.h"
#include "simulated/description_sections.h"
#include "simulated/description_text.h"
#include "simulated/description_values.h"

namespace {

// A rule answers its status without doing the operation. With status 0 that
// reads as success, so it is allowed only where doing nothing leaves the
// caller nothing unwritten: the operations that give back no output, which
// then claim a success they did not do (a buffer not freed, a name not added
// to a request). IsDirAuthenticated answers the value itself (0: not
// authenticated). StartClient = 0 is refused: StartClient answers 0 for a
// valid description anyway.
bool ZeroIsMeaningful(ClientOperation operation) {
  switch (operation) {
    case ClientOperation::IsDirAuthenticated:
    case ClientOperation::StartCharConversion:
    case ClientOperation::EndCharConversion:
    case ClientOperation::PrepareDirBuffer:
    case ClientOperation::AddAttributeName:
    case ClientOperation::CloseDirHandle:
    case ClientOperation::FreeDirBuffer:
    case ClientOperation::CloseDirContext:
      return true;
    default:
      return false;
  }
}

// key is the rule as written, qualifier included.
std::string ZeroRefusal(ClientOperation operation, const std::string& key) {
  std::string name = ClientOperationName(operation);
  if (operation == ClientOperation::StartClient) {
    return "'StartClient = 0' changes nothing (StartClient answers 0 for every valid "
           "description); give a nonzero status to make it fail";
  }
  return "'" + key + " = 0' would answer success without writing " + name +
         "'s outputs, so the caller would read whatever its buffers held before; "
         "give a nonzero status";
}

class FailuresSection : public SectionReader {
 public:
  FailuresSection(const std::string& title, int line, ParsedNetwork* network)
      : SectionReader(title, line), network_(network) {}

  bool Finish(DescriptionError*) override { return true; }

 protected:
  // Rules are told apart by operation and qualifier, not by the key's text.
  bool Repeats(const std::string&) const override { return true; }

  bool Read(const std::string& key, const std::string& value, int line,
            std::string* reason) override {
    std::string rest;
    std::string name = FirstWord(key, &rest);
    FailureRule rule;
    if (!ClientOperationFromName(name, &rule.operation)) {
      *reason = "unknown operation " + Quoted(name) + " (names are spelled as in the client seam)";
      return false;
    }
    if (!rest.empty() && !Qualifier(key, rest, &rule, reason)) return false;
    if (!ReadStatus("the status of " + Quoted(key), value, &rule.status, reason)) return false;
    if (rule.status == 0 && !ZeroIsMeaningful(rule.operation)) {
      *reason = ZeroRefusal(rule.operation, key);
      return false;
    }
    auto earlier = lines_.emplace(std::make_pair(rule.operation, rule.qualifier), line);
    if (!earlier.second) {
      *reason = Quoted(key) + " is given twice in [failures] (first at line " +
                std::to_string(earlier.first->second) + ")";
      return false;
    }
    network_->failures.push_back(rule);
    return true;
  }

 private:
  // "ConvertNameSpace source N" and "ConnectionItem selector N" narrow a rule
  // to the calls with that source name space or selector.
  static bool Qualifier(const std::string& key, const std::string& words, FailureRule* rule,
                        std::string* reason) {
    std::string number;
    std::string word = FirstWord(words, &number);
    bool convert = rule->operation == ClientOperation::ConvertNameSpace && word == "source";
    bool item = rule->operation == ClientOperation::ConnectionItem && word == "selector";
    if (!convert && !item) {
      *reason = Quoted(key) +
                ": only 'ConvertNameSpace source N' and 'ConnectionItem selector N' narrow a "
                "failure";
      return false;
    }
    uint32_t qualifier = 0;
    if (!ReadUnsigned(Quoted(key) + ": N", number, UINT32_MAX, &qualifier, reason)) return false;
    bool known = convert ? qualifier == kNameSpaceDos || qualifier == kNameSpaceLong
                         : qualifier == kItemConnectionNumber || qualifier == kItemUserObjectId;
    if (!known) {
      *reason = Quoted(key) + " can never apply: " +
                (convert ? std::string("the name spaces are 0 (short names) and 4 (long names)")
                         : std::string("the items are 5 (connection number) and 6 (user id)"));
      return false;
    }
    rule->qualifier = qualifier;
    return true;
  }

  ParsedNetwork* network_;
  std::map<std::pair<ClientOperation, int64_t>, int> lines_;  // rule -> its line
};

}  // namespace

bool StartFailuresSection(const std::string& name, const std::string& title, int line,
                          ParsedNetwork* network, SectionStart* start, std::string* reason) {
  if (!name.empty()) {
    *reason = "[failures] takes no name";
    return false;
  }
  start->identity = "failures";
  start->reader = std::make_unique<FailuresSection>(title, line, network);
  return true;
}
