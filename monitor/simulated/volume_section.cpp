// [volume SERVER VOLUME]: a volume of a file server and the user's
// restriction on it.
#include "simulated/description_sections.h"
#include "simulated/description_values.h"

namespace {

class VolumeSection : public SectionReader {
 public:
  VolumeSection(const VolumeDescription& volume, const std::string& title, int line,
                ParsedNetwork* network)
      : SectionReader(title, line), network_(network), volume_(volume) {}

  bool Finish(DescriptionError* error) override {
    if (!Require({"number"}, error)) return false;
    network_->volumes.push_back({volume_, Line()});
    return true;
  }

 protected:
  bool Read(const std::string& key, const std::string& value, int, std::string* reason) override {
    std::string what = "'" + key + "'";
    if (key == "number") {
      uint32_t number = 0;
      if (!ReadUnsigned(what, value, UINT16_MAX, &number, reason)) return false;
      volume_.number = static_cast<uint16_t>(number);
      return true;
    }
    if (key == "restriction") {
      return ReadUnsigned(what, value, UINT32_MAX, &volume_.restrictionBlocks, reason);
    }
    if (key == "in use") return ReadUnsigned(what, value, UINT32_MAX, &volume_.inUseBlocks, reason);
    *reason = UnknownKey(key);
    return false;
  }

 private:
  ParsedNetwork* network_;
  VolumeDescription volume_;
};

}  // namespace

bool StartVolumeSection(const std::string& name, const std::string& title, int line,
                        ParsedNetwork* network, SectionStart* start, std::string* reason) {
  std::string rest;
  std::string extra;
  VolumeDescription volume;
  volume.server = FirstWord(name, &rest);
  volume.name = FirstWord(rest, &extra);
  if (volume.server.empty() || volume.name.empty() || !extra.empty()) {
    *reason = "expected [volume SERVER VOLUME]";
    return false;
  }
  if (volume.name.size() > kMaxVolumeNameLength) {
    *reason = "volume name is longer than " + std::to_string(kMaxVolumeNameLength) + " characters";
    return false;
  }
  start->identity = "volume " + VolumeKey(volume.server, volume.name);
  start->reader = std::make_unique<VolumeSection>(volume, title, line, network);
  return true;
}
