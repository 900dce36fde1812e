// Replacing a file whole: readers (node-exporter's textfile collector) see
// the old text or the new one, never a part.
#pragma once

#include <string>

// Writes `text` under a temporary name beside `path` (a dot file, which the
// collector does not read) and renames it over `path`. On any failure
// nothing is left behind and `error` says why.
bool replaceFile(const std::string& path, const std::string& text, std::string* error);
