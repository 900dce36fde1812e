// Paths of the build tree as the programs under Wine name them.
#pragma once

#include <string>

// Wine maps the Unix root to Z:, so /a/b is Z:\a\b.
std::string WindowsPath(const std::string& unixPath);
