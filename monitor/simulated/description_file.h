// Reading a network description file whole before anything of it is used: a
// file with a mistake is not applied at all. A file cut short at a line
// boundary may still read as a smaller network, so writers replace it whole.
#pragma once

#include <string>

#include "simulated/network_description.h"

// Larger files are refused rather than read: a description is a few lines.
constexpr size_t kMaxDescriptionFileSize = 1 << 20;

// Reads and parses the file. On failure *description is untouched and
// *message is "<path>:<line>: <reason>" (or "<path>: <reason>" when no line
// is to blame).
bool LoadNetworkDescription(const std::string& path, NetworkDescription* description,
                            std::string* message);
