// [limits SERVER VOLUME:PATH]: the directory space limit list of a directory.
#include "simulated/description_sections.h"
#include "simulated/description_text.h"
#include "simulated/description_values.h"
#include "simulated/server_paths.h"

namespace {

constexpr size_t kMaxEntries = 255;  // the list's count is one byte

class LimitsSection : public SectionReader {
 public:
  LimitsSection(const LimitListDescription& limits, const std::string& title, int line,
                ParsedNetwork* network)
      : SectionReader(title, line), network_(network), limits_(limits) {}

  bool Finish(DescriptionError*) override {
    network_->limitLists.push_back({limits_, Line()});
    return true;
  }

 protected:
  bool Repeats(const std::string& key) const override { return key == "entry"; }

  bool Read(const std::string& key, const std::string& value, int, std::string* reason) override {
    if (key == "entry") return Entry(value, reason);
    if (key == "announced count") {
      uint32_t count = 0;
      if (!ReadUnsigned("'announced count'", value, 255, &count, reason)) return false;
      limits_.announcedCount = static_cast<int>(count);
      return true;
    }
    *reason = UnknownKey(key);
    return false;
  }

 private:
  bool Entry(const std::string& value, std::string* reason) {
    std::vector<std::string> fields;
    if (!SplitList("'entry'", value, &fields, reason)) return false;
    if (fields.size() != 3) {
      *reason = "'entry' needs level, limit, remaining (three numbers), not " +
                std::to_string(fields.size());
      return false;
    }
    if (limits_.entries.size() == kMaxEntries) {
      *reason = "a list holds at most " + std::to_string(kMaxEntries) + " entries";
      return false;
    }
    uint32_t level = 0;
    DirSpaceLimitEntry entry;
    if (!ReadUnsigned("the level", fields[0], 255, &level, reason) ||
        !ReadSigned("the limit", fields[1], &entry.limitBlocks, reason) ||
        !ReadSigned("the remaining space", fields[2], &entry.remainingBlocks, reason)) {
      return false;
    }
    entry.level = static_cast<uint8_t>(level);
    limits_.entries.push_back(entry);
    return true;
  }

  ParsedNetwork* network_;
  LimitListDescription limits_;
};

}  // namespace

bool StartLimitsSection(const std::string& name, const std::string& title, int line,
                        ParsedNetwork* network, SectionStart* start, std::string* reason) {
  LimitListDescription limits;
  limits.server = FirstWord(name, &limits.path);
  if (limits.server.empty() || limits.path.empty()) {
    *reason = "expected [limits SERVER VOLUME:PATH]";
    return false;
  }
  if (VolumeOfServerPath(limits.path).empty()) {
    *reason = Quoted(limits.path) + " has no volume, e.g. SYS:";
    return false;
  }
  if (limits.path.find('\t') != std::string::npos) {
    *reason = "the path of a [limits] section holds a tab; paths take blanks only";
    return false;
  }
  start->identity = "limits " + ServerKey(limits.server) + " " + PathKey(limits.path);
  start->reader = std::make_unique<LimitsSection>(limits, title, line, network);
  return true;
}
