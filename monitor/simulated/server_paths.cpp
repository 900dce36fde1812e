#include "simulated/server_paths.h"

#include <cctype>
#include <cstring>

namespace {

char Upper(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }

std::string WithoutTrailingSeparators(const std::string& path) {
  size_t end = path.size();
  while (end > 0 && path[end - 1] == '\\') --end;
  return path.substr(0, end);
}

bool IsShortNameCharacter(char c) {
  if (c >= 'A' && c <= 'Z') return true;
  if (c >= '0' && c <= '9') return true;
  return c != '\0' && std::strchr("_-$~!#%&'(){}@^`", c) != nullptr;
}

bool IsShortName(const std::string& name) {
  size_t dot = name.find('.');
  std::string base = name.substr(0, dot);
  std::string extension = dot == std::string::npos ? "" : name.substr(dot + 1);
  if (base.empty() || base.size() > 8 || extension.size() > 3) return false;
  if (dot != std::string::npos && extension.empty()) return false;
  for (char c : base) {
    if (!IsShortNameCharacter(c)) return false;
  }
  for (char c : extension) {
    if (!IsShortNameCharacter(c)) return false;
  }
  return true;
}

}  // namespace

bool EqualsIgnoringCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (Upper(a[i]) != Upper(b[i])) return false;
  }
  return true;
}

bool PathUnder(const std::string& path, const std::string& root, std::string* rest) {
  std::string base = WithoutTrailingSeparators(root);
  if (base.empty() || path.size() < base.size()) return false;
  if (!EqualsIgnoringCase(path.substr(0, base.size()), base)) return false;
  std::string below = path.substr(base.size());
  if (!below.empty() && below[0] != '\\' && base.back() != ':') return false;
  size_t start = 0;
  while (start < below.size() && below[start] == '\\') ++start;
  *rest = WithoutTrailingSeparators(below.substr(start));
  return true;
}

std::string JoinPath(const std::string& root, const std::string& rest) {
  if (rest.empty()) return root;
  if (!root.empty() && (root.back() == ':' || root.back() == '\\')) return root + rest;
  return root + "\\" + rest;
}

std::string VolumeOfServerPath(const std::string& serverPath) {
  size_t colon = serverPath.find(':');
  return colon == std::string::npos ? std::string() : serverPath.substr(0, colon);
}

bool IsShortNamePath(const std::string& serverPath) {
  size_t colon = serverPath.find(':');
  std::string names = colon == std::string::npos ? serverPath : serverPath.substr(colon + 1);
  names = WithoutTrailingSeparators(names);
  size_t start = 0;
  while (start < names.size()) {
    size_t end = names.find('\\', start);
    if (end == std::string::npos) end = names.size();
    if (!IsShortName(names.substr(start, end - start))) return false;
    start = end + 1;
  }
  return true;
}
