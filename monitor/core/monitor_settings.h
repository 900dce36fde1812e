// The monitor's settings, as the command line gives them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The nine command-line parameters; the member initialisers are the defaults
// that an invalid command line falls back to.
struct MonitorSettings {
  char watchedPath[256] = "H:\\";  // upper-cased by the parser
  int32_t pollSeconds = 300;
  int32_t warnThreshold = 75;
  int32_t dangerThreshold = 95;
  bool thresholdsInPercent = true;  // else both thresholds are megabytes of free space
  bool showDetailsAtStart = false;
  bool autoShow = false;
  char alertHost[50] = "0";
  int32_t alertPort = 0;
};

// The hidden main window's class is this prefix followed by the watched path,
// so a running copy for the same path can be found by its class name.
constexpr char kWindowClassPrefix[] = "LaSuperAppsDeQZ";
constexpr std::size_t kWindowClassNameSize = 258;  // with the terminator

// Longest path the parser accepts (a longer one, like a host too long for
// `alertHost`, makes the command line invalid): it keeps the window class name
// inside its buffer.
constexpr std::size_t kMaxWatchedPathLength =
    kWindowClassNameSize - 1 - (sizeof(kWindowClassPrefix) - 1);  // 242

// kWindowClassPrefix followed by the watched path.
std::string WindowClassName(const MonitorSettings& settings);
