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
// so a running copy for the same path can be found by its class name (the
// second copy looks for it so, and so may a site's own scripts).
constexpr char kWindowClassPrefix[] = "LaSuperAppsDeQZ";
// Windows registers no class whose name is longer than 255 characters: the
// path gets what the prefix leaves, and no check may accept more.
constexpr std::size_t kMaxWindowClassNameLength = 255;
constexpr std::size_t kWindowClassNameSize = kMaxWindowClassNameLength + 1;  // with the terminator

// Longest path the program watches, in bytes of the ANSI code page (a
// character is at least one, so the class name stays within its limit). The
// parser refuses a longer one, like a host too long for `alertHost`, and the
// installer's check refuses it before anything is installed.
constexpr std::size_t kMaxWatchedPathLength =
    kMaxWindowClassNameLength - (sizeof(kWindowClassPrefix) - 1);  // 240

// kWindowClassPrefix followed by the watched path.
std::string WindowClassName(const MonitorSettings& settings);
