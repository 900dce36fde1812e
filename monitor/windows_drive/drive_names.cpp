#include "windows_drive/drive_names.h"

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

}  // namespace

bool IsUncPath(const std::string& path) {
  return path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1]);
}

std::string ServerOfUncPath(const std::string& path) {
  if (!IsUncPath(path)) return "";
  size_t end = 2;
  while (end < path.size() && !IsSeparator(path[end])) ++end;
  return path.substr(2, end - 2);
}

std::string DiskSpacePath(const std::string& path) {
  if (!IsUncPath(path) || IsSeparator(path.back())) return path;
  return path + '\\';
}
