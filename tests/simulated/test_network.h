// Puts a network description in place for the simulated client: writes the
// text to a file of its own and points BRIMLET_NETWORK at it for as long as
// the object lives. Also collects what the client sends to the debug output.
#pragma once

#include <string>

class TestNetwork {
 public:
  explicit TestNetwork(const std::string& text);
  ~TestNetwork();
  TestNetwork(const TestNetwork&) = delete;
  TestNetwork& operator=(const TestNetwork&) = delete;

  void Rewrite(const std::string& text);
  const std::string& Path() const { return path_; }
  // Everything written to the debug output since this object was made.
  static std::string DebugOutput();

 private:
  std::string path_;
};

// A network with the drive H:\ of user1 on FS1 (volume SYS, number 0); the
// limit list and any further sections are appended.
std::string HomeNetwork(const std::string& limitEntries, const std::string& extra = "",
                        const std::string& volumeKeys = "");

std::string ExamplePath(const std::string& name);
std::string ExampleText(const std::string& name);
