// Reads the text of a network description (format: examples/README.md).
#pragma once

#include <string>

#include "simulated/network_description.h"

struct DescriptionError {
  int line = 0;  // 1-based; 0 when the error concerns the whole text
  std::string reason;
};

// Parses and checks the whole text. On failure *description is left as it was
// and *error says where and why: a description is applied whole or not at all.
bool ParseNetworkDescription(const std::string& text, NetworkDescription* description,
                             DescriptionError* error);
