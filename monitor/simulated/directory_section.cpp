// [directory]: the NetWare directory (NDS), its logged-in user object and the
// attributes that object carries.
#include "netware/netware_client.h"
#include "simulated/description_sections.h"
#include "simulated/description_text.h"
#include "simulated/description_values.h"

namespace {

class DirectorySection : public SectionReader {
 public:
  DirectorySection(const std::string& title, int line, ParsedNetwork* network)
      : SectionReader(title, line), network_(network) {}

  bool Finish(DescriptionError*) override { return true; }

 protected:
  bool Read(const std::string& key, const std::string& value, int line,
            std::string* reason) override {
    DirectoryDescription& directory = network_->directory;
    if (key == "authenticated") {
      if (!ReadYesNo("'authenticated'", value, &directory.authenticated, reason)) return false;
      network_->authenticatedLine = directory.authenticated ? line : 0;
      return true;
    }
    if (key == "object") {
      return ReadText("'object'", value, kMaxObjectNameLength, &directory.objectName, reason);
    }
    std::string name;
    if (Lower(FirstWord(key, &name)) == "attribute" && !name.empty()) {
      return Attribute(name, value, reason);
    }
    *reason = UnknownKey(key);
    return false;
  }

 private:
  // Values are yes/no (a Boolean attribute) or signed integers (a counter),
  // several separated by commas; an empty value gives an attribute without
  // values.
  bool Attribute(const std::string& name, const std::string& value, std::string* reason) {
    std::string what = "attribute " + Quoted(name);
    if (name.size() > kMaxAttributeNameLength) {
      *reason = what + " has a name longer than " + std::to_string(kMaxAttributeNameLength) +
                " characters";
      return false;
    }
    // The directory names attributes without regard to letter case, so an
    // object cannot carry two that differ in case only.
    if (!names_.insert(Upper(name)).second) {
      *reason = what + " is given twice (attribute names ignore letter case)";
      return false;
    }
    std::vector<std::string> fields;
    if (!SplitList(what, value, &fields, reason)) return false;
    DirectoryAttribute attribute;
    attribute.name = name;
    bool anyBoolean = false;
    bool anyNumber = false;
    for (const std::string& field : fields) {
      if (IsYesNo(field)) {
        bool yes = false;
        ReadYesNo(what, field, &yes, reason);
        anyBoolean = true;
        attribute.values.push_back(yes ? 1 : 0);
      } else {
        int32_t number = 0;
        if (!ReadSigned(what + " value", field, &number, reason)) return false;
        anyNumber = true;
        attribute.values.push_back(number);
      }
    }
    if (anyBoolean && anyNumber) {
      *reason = what + " mixes yes/no and numbers";
      return false;
    }
    attribute.syntax = anyBoolean ? kSyntaxBoolean : kSyntaxCounter;
    network_->directory.attributes.push_back(attribute);
    return true;
  }

  ParsedNetwork* network_;
  std::set<std::string> names_;
};

}  // namespace

bool StartDirectorySection(const std::string& name, const std::string& title, int line,
                           ParsedNetwork* network, SectionStart* start, std::string* reason) {
  if (!name.empty()) {
    *reason = "[directory] takes no name";
    return false;
  }
  start->identity = "directory";
  start->reader = std::make_unique<DirectorySection>(title, line, network);
  return true;
}
