// A simulated network description that a test rewrites between polls.
#pragma once

#include <string>

struct NetworkState {
  // Directory space limit entries "level, limit, remaining" in blocks; empty
  // for none.
  std::string limitEntries = "0, 25600, 5000";
  std::string restriction = "0x40000000";  // blocks; 0x40000000: none
  std::string inUse = "20600";
  bool failResolve = false;
  std::string balance = "1234";
  std::string lowLimit = "-500";
  std::string unlimited = "no";
};

// Directory limits giving the walk-through's 102400 KB with `freeKb` free.
std::string LimitWithFree(unsigned freeKb);

class NetworkFile {
 public:
  NetworkFile();
  ~NetworkFile();
  void Write(const NetworkState& state);
  const std::string& Path() const { return path_; }

 private:
  static void WriteText(const std::string& path, const NetworkState& state);

  std::string path_;
};
