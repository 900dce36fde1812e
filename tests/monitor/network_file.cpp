#include "network_file.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>

std::string LimitWithFree(unsigned freeKb) { return "0, 25600, " + std::to_string(freeKb / 4); }

NetworkFile::NetworkFile() {
  char dir[MAX_PATH];
  GetTempPathA(sizeof dir, dir);
  path_ = std::string(dir) + "brimlet-test-" + std::to_string(GetCurrentProcessId()) + ".net";
  std::string assignment = "BRIMLET_NETWORK=" + path_;
  _putenv(assignment.c_str());
}

NetworkFile::~NetworkFile() {
  std::remove(path_.c_str());
  _putenv("BRIMLET_NETWORK=");
}

// Written to a file beside the description and moved over it, so that the
// monitor, polling meanwhile, reads the old network or the new one and never
// a file cut short. (The C library's rename does not replace a file here.)
void NetworkFile::Write(const NetworkState& state) {
  std::string temporary = path_ + ".new";
  WriteText(temporary, state);
  if (!MoveFileExA(temporary.c_str(), path_.c_str(), MOVEFILE_REPLACE_EXISTING)) {
    std::fprintf(stderr, "network_file: cannot move %s over %s (error %lu)\n", temporary.c_str(),
                 path_.c_str(), GetLastError());
    std::remove(temporary.c_str());
  }
}

void NetworkFile::WriteText(const std::string& path, const NetworkState& state) {
  std::ofstream out(path, std::ios::trunc);
  out << "[server FS1]\nconnection number = 12\nlogin name = user1\nuser id = 0x2A000101\n\n"
      << "[volume FS1 SYS]\nnumber = 0\nrestriction = " << state.restriction
      << "\nin use = " << state.inUse << "\n\n"
      << "[drive H:\\]\nserver = FS1\nvolume = SYS\npath = SYS:USERS\\USER1\n\n"
      << "[limits FS1 SYS:USERS\\USER1]\n";
  if (!state.limitEntries.empty()) {
    out << "entry = " << state.limitEntries << "\n";
  }
  out << "\n[directory]\nauthenticated = yes\nobject = CN=user1.O=Example\n"
      << "attribute Account Balance = " << state.balance << "\n"
      << "attribute Minimum Account Balance = " << state.lowLimit << "\n"
      << "attribute Allow Unlimited Credit = " << state.unlimited << "\n";
  if (state.failResolve) {
    out << "\n[failures]\nResolvePath = 0x8801\n";
  }
}
