// [drive PATH]: a local path (typically a drive root) mapped to a server path.
#include "simulated/description_sections.h"
#include "simulated/description_text.h"
#include "simulated/description_values.h"
#include "simulated/server_paths.h"

namespace {

class DriveSection : public SectionReader {
 public:
  DriveSection(const std::string& localPath, const std::string& title, int line,
               ParsedNetwork* network)
      : SectionReader(title, line), network_(network) {
    drive_.localPath = localPath;
  }

  bool Finish(DescriptionError* error) override {
    if (!Require({"server", "volume", "path"}, error)) return false;
    if (drive_.longPath.empty()) drive_.longPath = drive_.serverPath;
    network_->drives.push_back({drive_, Line()});
    return true;
  }

 protected:
  bool Read(const std::string& key, const std::string& value, int, std::string* reason) override {
    std::string what = "'" + key + "'";
    if (key == "server") {
      return ReadText(what, value, kMaxServerNameLength, &drive_.server, reason);
    }
    if (key == "volume") {
      return ReadText(what, value, kMaxVolumeNameLength, &drive_.volume, reason);
    }
    if (key == "path") return ServerPath(what, value, &drive_.serverPath, reason);
    if (key == "long path") return ServerPath(what, value, &drive_.longPath, reason);
    *reason = UnknownKey(key);
    return false;
  }

 private:
  static bool ServerPath(const std::string& what, const std::string& value, std::string* out,
                         std::string* reason) {
    if (!ReadText(what, value, kMaxServerPathLength, out, reason)) return false;
    if (VolumeOfServerPath(value).empty()) {
      *reason = what + " must start with its volume, e.g. SYS:USERS\\USER1";
      return false;
    }
    return true;
  }

  ParsedNetwork* network_;
  DriveMapping drive_;
};

}  // namespace

bool StartDriveSection(const std::string& name, const std::string& title, int line,
                       ParsedNetwork* network, SectionStart* start, std::string* reason) {
  if (name.empty()) {
    *reason = "expected [drive PATH], e.g. [drive H:\\]";
    return false;
  }
  // A watched path is matched below the mapped path without its trailing
  // backslashes; nothing is left of a path made of backslashes alone.
  if (PathKey(name).empty()) {
    *reason = "no watched path can match [drive " + Printable(name) +
              "]: give a drive or folder, e.g. [drive H:\\]";
    return false;
  }
  if (name.find('\t') != std::string::npos) {
    *reason = "the path of a [drive] holds a tab; paths take blanks only";
    return false;
  }
  start->identity = "drive " + PathKey(name);
  start->reader = std::make_unique<DriveSection>(name, title, line, network);
  return true;
}
