// The log and the console as the end-to-end tests read them.
#pragma once

#include <fstream>
#include <iterator>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

// Reception times differ from run to run; the unit tests check their format.
inline std::string withoutTimes(const std::string& text) {
  static const std::regex time(R"(^\d\d-\d\d-\d{4} \d\d:\d\d:\d\d,)", std::regex::multiline);
  return std::regex_replace(text, time, "<time>,");
}

inline std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

inline std::vector<std::string> lines(const std::string& text) {
  std::istringstream in(text);
  std::vector<std::string> result;
  for (std::string line; std::getline(in, line);) result.push_back(line);
  return result;
}
