// The checks across the sections of a description, once all are read. Each
// uses a map of the items it refers to, so a description of n sections is
// checked in n log n; of several mistakes the one on the earliest line is
// reported.
#include <map>
#include <utility>

#include "simulated/description_sections.h"
#include "simulated/description_text.h"
#include "simulated/server_paths.h"

namespace {

class Checker {
 public:
  explicit Checker(const ParsedNetwork& network) : network_(network) {}

  bool Run(DescriptionError* error) {
    std::map<std::string, const ServerDescription*> servers;
    for (const auto& server : network_.servers) servers[ServerKey(server.item.name)] = &server.item;
    CheckVolumes(servers);
    CheckDrives(servers);
    CheckLimits(servers);
    if (network_.authenticatedLine > 0 && network_.directory.objectName.empty()) {
      Report(network_.authenticatedLine,
             "'authenticated = yes' needs an 'object' in [directory]: an authenticated "
             "workstation is logged in as a user object");
    }
    if (found_.line == 0) return true;
    *error = found_;
    return false;
  }

 private:
  void Report(int line, const std::string& reason) {
    if (found_.line == 0 || line < found_.line) found_ = DescriptionError{line, reason};
  }

  void CheckVolumes(const std::map<std::string, const ServerDescription*>& servers) {
    // A restriction read names the volume by the low 8 bits of its number.
    std::map<std::pair<std::string, int>, const Placed<VolumeDescription>*> byNumber;
    for (const auto& volume : network_.volumes) {
      const VolumeDescription& v = volume.item;
      volumes_[VolumeKey(v.server, v.name)] = &v;
      if (servers.count(ServerKey(v.server)) == 0) {
        Report(volume.line, "volume of unknown server " + Quoted(v.server) + " (no [server " +
                                Printable(v.server) + "])");
      }
      auto key = std::make_pair(ServerKey(v.server), v.number & 0xFF);
      auto placed = byNumber.emplace(key, &volume);
      if (placed.second) continue;
      const Placed<VolumeDescription>& other = *placed.first->second;
      std::string reason =
          "volume " + Printable(v.name) + " has number " + std::to_string(v.number) + ", ";
      if (other.item.number == v.number) {
        reason += "the number of volume " + Printable(other.item.name) + " at line " +
                  std::to_string(other.line);
      } else {
        reason += "whose low 8 bits (" + std::to_string(v.number & 0xFF) +
                  ") are those of volume " + Printable(other.item.name) + " (number " +
                  std::to_string(other.item.number) + ", line " + std::to_string(other.line) +
                  "); restrictions are found by them";
      }
      Report(volume.line, reason);
    }
  }

  void CheckDrives(const std::map<std::string, const ServerDescription*>& servers) {
    for (const auto& drive : network_.drives) {
      const DriveMapping& d = drive.item;
      if (servers.count(ServerKey(d.server)) == 0) {
        Report(drive.line, "drive on unknown server " + Quoted(d.server));
        continue;
      }
      if (volumes_.count(VolumeKey(d.server, d.volume)) == 0) {
        Report(drive.line, "drive on unknown volume " + Quoted(d.volume) + " of " +
                               Printable(d.server) + " (no [volume " + Printable(d.server) + " " +
                               Printable(d.volume) + "])");
        continue;
      }
      for (const std::string* path : {&d.serverPath, &d.longPath}) {
        if (!EqualsIgnoringCase(VolumeOfServerPath(*path), d.volume)) {
          Report(drive.line, Quoted(*path) + " is not on volume " + Printable(d.volume));
        }
      }
    }
  }

  void CheckLimits(const std::map<std::string, const ServerDescription*>& servers) {
    for (const auto& limits : network_.limitLists) {
      const LimitListDescription& l = limits.item;
      std::string volume = VolumeOfServerPath(l.path);
      if (servers.count(ServerKey(l.server)) == 0) {
        Report(limits.line, "limits on unknown server " + Quoted(l.server) + " (no [server " +
                                Printable(l.server) + "])");
      } else if (volumes_.count(VolumeKey(l.server, volume)) == 0) {
        Report(limits.line, "limits on unknown volume " + Quoted(volume) + " of " +
                                Printable(l.server) + " (no [volume " + Printable(l.server) + " " +
                                Printable(volume) + "])");
      }
    }
  }

  const ParsedNetwork& network_;
  std::map<std::string, const VolumeDescription*> volumes_;
  DescriptionError found_;
};

}  // namespace

bool CheckParsedNetwork(const ParsedNetwork& network, DescriptionError* error) {
  return Checker(network).Run(error);
}
