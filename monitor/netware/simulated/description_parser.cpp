#include "netware/simulated/description_parser.h"

#include <cctype>
#include <cstdint>
#include <initializer_list>
#include <set>
#include <sstream>
#include <utility>

#include "netware/netware_client.h"
#include "netware/simulated/server_paths.h"

namespace {

std::string Trim(const std::string& text) {
  size_t start = 0;
  size_t end = text.size();
  while (start < end && std::isspace(static_cast<unsigned char>(text[start]))) ++start;
  while (end > start && std::isspace(static_cast<unsigned char>(text[end - 1]))) --end;
  return text.substr(start, end - start);
}

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// Splits off the first blank-separated word; *rest gets the trimmed remainder.
std::string FirstWord(const std::string& text, std::string* rest) {
  size_t end = 0;
  while (end < text.size() && !std::isspace(static_cast<unsigned char>(text[end]))) ++end;
  *rest = Trim(text.substr(end));
  return text.substr(0, end);
}

// A '#' starts a comment at the beginning of a line or after a blank.
std::string WithoutComment(const std::string& line) {
  for (size_t i = 0; i < line.size(); ++i) {
    if (line[i] == '#' && (i == 0 || line[i - 1] == ' ' || line[i - 1] == '\t')) {
      return line.substr(0, i);
    }
  }
  return line;
}

// Decimal (optionally negative) or 0x-prefixed hexadecimal of at most 8
// digits, read into a wide integer for range checks.
bool ReadInteger(const std::string& text, int64_t* value, bool* hex) {
  *hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
  if (*hex) {
    std::string digits = text.substr(2);
    if (digits.size() > 8) return false;
    int64_t result = 0;
    for (char c : digits) {
      if (!std::isxdigit(static_cast<unsigned char>(c))) return false;
      result = result * 16 + (std::isdigit(static_cast<unsigned char>(c))
                                  ? c - '0'
                                  : std::tolower(static_cast<unsigned char>(c)) - 'a' + 10);
    }
    *value = result;
    return true;
  }
  size_t start = !text.empty() && text[0] == '-' ? 1 : 0;
  std::string digits = text.substr(start);
  if (digits.empty() || digits.size() > 11) return false;
  int64_t result = 0;
  for (char c : digits) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    result = result * 10 + (c - '0');
  }
  *value = start == 1 ? -result : result;
  return true;
}

class Parser {
 public:
  explicit Parser(NetworkDescription* out) : out_(out) {}

  bool Parse(const std::string& text, DescriptionError* error) {
    std::istringstream lines(text);
    std::string raw;
    // Bounded by the text itself: every pass consumes one line.
    while (std::getline(lines, raw)) {
      ++line_;
      if (!raw.empty() && raw.back() == '\r') raw.pop_back();
      std::string content = Trim(WithoutComment(raw));
      if (content.empty()) continue;
      bool ok = content[0] == '[' ? StartSection(content) : KeyValue(content);
      if (!ok) break;
    }
    if (failed_.reason.empty()) FinishSection();
    if (failed_.reason.empty()) CheckReferences();
    if (!failed_.reason.empty()) {
      *error = failed_;
      return false;
    }
    return true;
  }

 private:
  enum class Section { None, Server, Volume, Drive, Limits, Directory, Failures };

  bool Fail(int line, const std::string& reason) {
    if (failed_.reason.empty()) failed_ = DescriptionError{line, reason};
    return false;
  }
  bool Fail(const std::string& reason) { return Fail(line_, reason); }

  std::string SectionTitle() const { return "[" + sectionText_ + "]"; }

  // --- Sections ---

  bool StartSection(const std::string& content) {
    if (content.back() != ']') return Fail("a section header must end with ']'");
    if (!FinishSection()) return false;
    sectionText_ = Trim(content.substr(1, content.size() - 2));
    sectionLine_ = line_;
    keysSeen_.clear();
    std::string argument;
    std::string kind = Lower(FirstWord(sectionText_, &argument));
    if (!sectionsSeen_.insert(Lower(sectionText_)).second) {
      return Fail(SectionTitle() + " is given twice");
    }
    if (kind == "server") return StartServer(argument);
    if (kind == "volume") return StartVolume(argument);
    if (kind == "drive") return StartDrive(argument);
    if (kind == "limits") return StartLimits(argument);
    if (kind == "directory" || kind == "failures") {
      if (!argument.empty()) return Fail("[" + kind + "] takes no name");
      section_ = kind == "directory" ? Section::Directory : Section::Failures;
      return true;
    }
    return Fail("unknown section [" + sectionText_ +
                "] (expected server, volume, drive, limits, directory or failures)");
  }

  bool StartServer(const std::string& argument) {
    std::string rest;
    std::string name = FirstWord(argument, &rest);
    if (name.empty() || !rest.empty()) return Fail("expected [server NAME]");
    if (name.size() > kMaxServerNameLength) return Fail("server name is longer than 47");
    section_ = Section::Server;
    server_ = ServerDescription{};
    server_.name = name;
    return true;
  }

  bool StartVolume(const std::string& argument) {
    std::string rest;
    std::string server = FirstWord(argument, &rest);
    std::string extra;
    std::string volume = FirstWord(rest, &extra);
    if (server.empty() || volume.empty() || !extra.empty()) {
      return Fail("expected [volume SERVER VOLUME]");
    }
    if (volume.size() > kMaxVolumeNameLength) return Fail("volume name is longer than 47");
    section_ = Section::Volume;
    volume_ = VolumeDescription{};
    volume_.server = server;
    volume_.name = volume;
    return true;
  }

  bool StartDrive(const std::string& argument) {
    if (argument.empty()) return Fail("expected [drive PATH], e.g. [drive H:\\]");
    section_ = Section::Drive;
    drive_ = DriveMapping{};
    drive_.localPath = argument;
    return true;
  }

  bool StartLimits(const std::string& argument) {
    std::string path;
    std::string server = FirstWord(argument, &path);
    if (server.empty() || path.empty()) return Fail("expected [limits SERVER VOLUME:PATH]");
    if (VolumeOfServerPath(path).empty()) return Fail("'" + path + "' has no volume, e.g. SYS:");
    section_ = Section::Limits;
    limits_ = LimitListDescription{};
    limits_.server = server;
    limits_.path = path;
    return true;
  }

  bool Require(const char* key) {
    if (keysSeen_.count(key) != 0) return true;
    return Fail(sectionLine_, SectionTitle() + " needs '" + key + "'");
  }

  bool FinishSection() {
    switch (section_) {
      case Section::Server:
        if (!Require("connection number") || !Require("login name") || !Require("user id")) {
          return false;
        }
        servers_.push_back({server_, sectionLine_});
        break;
      case Section::Volume:
        if (!Require("number")) return false;
        volumes_.push_back({volume_, sectionLine_});
        break;
      case Section::Drive:
        if (!Require("server") || !Require("volume") || !Require("path")) return false;
        if (drive_.longPath.empty()) drive_.longPath = drive_.serverPath;
        drives_.push_back({drive_, sectionLine_});
        break;
      case Section::Limits:
        limitLists_.push_back({limits_, sectionLine_});
        break;
      case Section::Directory:
      case Section::Failures:
      case Section::None:
        break;
    }
    section_ = Section::None;
    return true;
  }

  // --- Keys ---

  bool KeyValue(const std::string& content) {
    size_t equals = content.find('=');
    if (equals == std::string::npos) return Fail("expected 'key = value' or a [section]");
    std::string key = Trim(content.substr(0, equals));
    std::string value = Trim(content.substr(equals + 1));
    if (key.empty()) return Fail("a key is missing before '='");
    if (section_ == Section::None) return Fail("'" + key + "' is outside any section");
    bool repeatable = section_ == Section::Limits && key == "entry";
    if (!repeatable && !keysSeen_.insert(key).second) {
      return Fail("'" + key + "' is given twice in " + SectionTitle());
    }
    switch (section_) {
      case Section::Server:
        return ServerKey(key, value);
      case Section::Volume:
        return VolumeKey(key, value);
      case Section::Drive:
        return DriveKey(key, value);
      case Section::Limits:
        return LimitsKey(key, value);
      case Section::Directory:
        return DirectoryKey(key, value);
      case Section::Failures:
        return FailureKey(key, value);
      case Section::None:
        break;
    }
    return false;
  }

  bool UnknownKey(const std::string& key) {
    return Fail("unknown key '" + key + "' in " + SectionTitle());
  }

  bool Text(const std::string& key, const std::string& value, size_t maxLength, std::string* out) {
    if (value.empty()) return Fail("'" + key + "' needs a value");
    if (value.size() > maxLength) {
      return Fail("'" + key + "' is longer than " + std::to_string(maxLength) + " characters");
    }
    *out = value;
    return true;
  }

  bool Unsigned(const std::string& value, int64_t max, uint32_t* out) {
    int64_t number = 0;
    bool hex = false;
    if (!ReadInteger(value, &number, &hex)) return Fail("'" + value + "' is not a number");
    if (number < 0 || number > max) {
      return Fail("'" + value + "' is out of range (0 to " + std::to_string(max) + ")");
    }
    *out = static_cast<uint32_t>(number);
    return true;
  }

  // Signed 32-bit: decimal within range, or hexadecimal as the raw bits.
  bool Signed(const std::string& value, int32_t* out) {
    int64_t number = 0;
    bool hex = false;
    if (!ReadInteger(value, &number, &hex)) return Fail("'" + value + "' is not a number");
    if (!hex && (number < INT32_MIN || number > INT32_MAX)) {
      return Fail("'" + value + "' is out of range for a signed 32-bit value");
    }
    *out = static_cast<int32_t>(static_cast<uint32_t>(number));
    return true;
  }

  // A status: any 32-bit pattern, written unsigned, hexadecimal or negative.
  bool Status(const std::string& value, uint32_t* out) {
    int64_t number = 0;
    bool hex = false;
    if (!ReadInteger(value, &number, &hex)) return Fail("'" + value + "' is not a number");
    if (number < INT32_MIN || number > UINT32_MAX) {
      return Fail("'" + value + "' is out of range for a 32-bit status");
    }
    *out = static_cast<uint32_t>(number);
    return true;
  }

  bool YesNo(const std::string& value, bool* out) {
    std::string word = Lower(value);
    if (word != "yes" && word != "true" && word != "no" && word != "false") {
      return Fail("'" + value + "' is not yes or no");
    }
    *out = word == "yes" || word == "true";
    return true;
  }

  bool ServerKey(const std::string& key, const std::string& value) {
    if (key == "connection number") return Unsigned(value, UINT32_MAX, &server_.connectionNumber);
    if (key == "login name") return Text(key, value, kMaxLoginNameLength, &server_.loginName);
    if (key == "user id") return Unsigned(value, UINT32_MAX, &server_.userObjectId);
    return UnknownKey(key);
  }

  bool VolumeKey(const std::string& key, const std::string& value) {
    if (key == "number") {
      uint32_t number = 0;
      if (!Unsigned(value, UINT16_MAX, &number)) return false;
      volume_.number = static_cast<uint16_t>(number);
      return true;
    }
    if (key == "restriction") return Unsigned(value, UINT32_MAX, &volume_.restrictionBlocks);
    if (key == "in use") return Unsigned(value, UINT32_MAX, &volume_.inUseBlocks);
    return UnknownKey(key);
  }

  bool ServerPath(const std::string& key, const std::string& value, std::string* out) {
    if (!Text(key, value, kMaxServerPathLength, out)) return false;
    if (VolumeOfServerPath(value).empty()) {
      return Fail("'" + key + "' must start with its volume, e.g. SYS:USERS\\USER1");
    }
    return true;
  }

  bool DriveKey(const std::string& key, const std::string& value) {
    if (key == "server") return Text(key, value, kMaxServerNameLength, &drive_.server);
    if (key == "volume") return Text(key, value, kMaxVolumeNameLength, &drive_.volume);
    if (key == "path") return ServerPath(key, value, &drive_.serverPath);
    if (key == "long path") return ServerPath(key, value, &drive_.longPath);
    return UnknownKey(key);
  }

  bool LimitsKey(const std::string& key, const std::string& value) {
    if (key == "entry") {
      std::vector<std::string> fields;
      std::istringstream parts(value);
      std::string field;
      while (std::getline(parts, field, ',')) fields.push_back(Trim(field));
      if (fields.size() != 3) return Fail("'entry' needs level, limit, remaining");
      uint32_t level = 0;
      DirSpaceLimitEntry entry;
      if (!Unsigned(fields[0], 255, &level) || !Signed(fields[1], &entry.limitBlocks) ||
          !Signed(fields[2], &entry.remainingBlocks)) {
        return false;
      }
      if (limits_.entries.size() == 255) return Fail("a list holds at most 255 entries");
      entry.level = static_cast<uint8_t>(level);
      limits_.entries.push_back(entry);
      return true;
    }
    if (key == "announced count") {
      uint32_t count = 0;
      if (!Unsigned(value, 255, &count)) return false;
      limits_.announcedCount = static_cast<int>(count);
      return true;
    }
    return UnknownKey(key);
  }

  bool DirectoryKey(const std::string& key, const std::string& value) {
    if (key == "authenticated") return YesNo(value, &directory_.authenticated);
    if (key == "object") return Text(key, value, kMaxObjectNameLength, &directory_.objectName);
    std::string name;
    if (Lower(FirstWord(key, &name)) == "attribute" && !name.empty()) {
      return Attribute(name, value);
    }
    return UnknownKey(key);
  }

  // Values are yes/no (a Boolean attribute) or signed integers (a counter),
  // several separated by commas; an empty value gives an attribute without
  // values.
  bool Attribute(const std::string& name, const std::string& value) {
    if (name.size() > kMaxAttributeNameLength) return Fail("attribute name is too long");
    DirectoryAttribute attribute;
    attribute.name = name;
    std::istringstream parts(value);
    std::string field;
    bool anyBoolean = false;
    bool anyNumber = false;
    while (!value.empty() && std::getline(parts, field, ',')) {
      field = Trim(field);
      std::string word = Lower(field);
      if (word == "yes" || word == "true" || word == "no" || word == "false") {
        anyBoolean = true;
        attribute.values.push_back(word == "yes" || word == "true" ? 1 : 0);
      } else {
        int32_t number = 0;
        if (!Signed(field, &number)) return false;
        anyNumber = true;
        attribute.values.push_back(number);
      }
    }
    if (anyBoolean && anyNumber) return Fail("attribute '" + name + "' mixes yes/no and numbers");
    attribute.syntax = anyBoolean ? kSyntaxBoolean : kSyntaxCounter;
    directory_.attributes.push_back(attribute);
    return true;
  }

  bool FailureKey(const std::string& key, const std::string& value) {
    std::string rest;
    std::string name = FirstWord(key, &rest);
    FailureRule rule;
    if (!ClientOperationFromName(name, &rule.operation)) {
      return Fail("unknown operation '" + name + "' (names are spelled as in the client seam)");
    }
    if (!rest.empty()) {
      std::string number;
      std::string word = FirstWord(rest, &number);
      bool convert = rule.operation == ClientOperation::ConvertNameSpace && word == "source";
      bool item = rule.operation == ClientOperation::ConnectionItem && word == "selector";
      if (!convert && !item) {
        return Fail("'" + key +
                    "': only 'ConvertNameSpace source N' and "
                    "'ConnectionItem selector N' narrow a failure");
      }
      uint32_t qualifier = 0;
      if (!Unsigned(number, convert ? 255 : UINT32_MAX, &qualifier)) return false;
      rule.qualifier = qualifier;
    }
    if (!Status(value, &rule.status)) return false;
    for (const FailureRule& earlier : failures_) {
      if (earlier.operation == rule.operation && earlier.qualifier == rule.qualifier) {
        return Fail("'" + key + "' is given twice in " + SectionTitle());
      }
    }
    failures_.push_back(rule);
    return true;
  }

  // --- Cross references, checked once everything is read ---

  template <typename T>
  const T* Find(const std::vector<std::pair<T, int>>& items, const std::string& server,
                const std::string* name) const {
    for (const auto& item : items) {
      if (EqualsIgnoringCase(ServerOf(item.first), server) &&
          (name == nullptr || EqualsIgnoringCase(NameOf(item.first), *name))) {
        return &item.first;
      }
    }
    return nullptr;
  }
  static const std::string& ServerOf(const ServerDescription& s) { return s.name; }
  static const std::string& ServerOf(const VolumeDescription& v) { return v.server; }
  static const std::string& NameOf(const ServerDescription& s) { return s.name; }
  static const std::string& NameOf(const VolumeDescription& v) { return v.name; }

  bool CheckReferences() {
    for (const auto& [volume, line] : volumes_) {
      if (Find(servers_, volume.server, nullptr) == nullptr) {
        return Fail(line, "volume of unknown server '" + volume.server + "'");
      }
    }
    for (const auto& [drive, line] : drives_) {
      if (Find(servers_, drive.server, nullptr) == nullptr) {
        return Fail(line, "drive on unknown server '" + drive.server + "'");
      }
      if (Find(volumes_, drive.server, &drive.volume) == nullptr) {
        return Fail(line, "drive on unknown volume '" + drive.volume + "' of " + drive.server);
      }
      for (const std::string* path : {&drive.serverPath, &drive.longPath}) {
        if (!EqualsIgnoringCase(VolumeOfServerPath(*path), drive.volume)) {
          return Fail(line, "'" + *path + "' is not on volume " + drive.volume);
        }
      }
    }
    for (size_t i = 0; i < drives_.size(); ++i) {
      for (size_t j = 0; j < i; ++j) {
        if (EqualsIgnoringCase(drives_[i].first.localPath, drives_[j].first.localPath)) {
          return Fail(drives_[i].second,
                      "drive " + drives_[i].first.localPath + " is mapped twice");
        }
      }
    }
    for (const auto& [limits, line] : limitLists_) {
      if (Find(servers_, limits.server, nullptr) == nullptr) {
        return Fail(line, "limits on unknown server '" + limits.server + "'");
      }
    }
    for (size_t i = 0; i < servers_.size(); ++i) {
      for (size_t j = 0; j < i; ++j) {
        if (EqualsIgnoringCase(servers_[i].first.name, servers_[j].first.name)) {
          return Fail(servers_[i].second, "server " + servers_[i].first.name + " is given twice");
        }
      }
    }
    Apply();
    return true;
  }

  void Apply() {
    NetworkDescription result;
    for (const auto& item : servers_) result.servers.push_back(item.first);
    for (const auto& item : volumes_) result.volumes.push_back(item.first);
    for (const auto& item : drives_) result.drives.push_back(item.first);
    for (const auto& item : limitLists_) result.limitLists.push_back(item.first);
    result.directory = directory_;
    result.failures = failures_;
    *out_ = std::move(result);
  }

  NetworkDescription* out_;
  DescriptionError failed_;
  int line_ = 0;
  Section section_ = Section::None;
  std::string sectionText_;
  int sectionLine_ = 0;
  std::set<std::string> keysSeen_;
  std::set<std::string> sectionsSeen_;

  ServerDescription server_;
  VolumeDescription volume_;
  DriveMapping drive_;
  LimitListDescription limits_;
  // Each item with the line of its section header, for error messages.
  std::vector<std::pair<ServerDescription, int>> servers_;
  std::vector<std::pair<VolumeDescription, int>> volumes_;
  std::vector<std::pair<DriveMapping, int>> drives_;
  std::vector<std::pair<LimitListDescription, int>> limitLists_;
  DirectoryDescription directory_;
  std::vector<FailureRule> failures_;
};

}  // namespace

bool ParseNetworkDescription(const std::string& text, NetworkDescription* description,
                             DescriptionError* error) {
  Parser parser(description);
  return parser.Parse(text, error);
}
